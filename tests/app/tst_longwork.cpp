#include "app/mainwindow.h"
#include "app/workprogressbox.h"

#include "faultyfilesystem.h"
#include "memorysettingsstore.h"
#include "recordingshell.h"
#include "scriptedprompter.h"
#include "tempfiles.h"

#include "runtime/nativefilesystem.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace dyadix;
using namespace dyadix::test;

// Copies, moves and deletes that a person watches and stops, through the real window.
class tst_LongWork : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowStaysAliveAndAsksInOrder();
    void stopAfterThisFile_data();
    void stopAfterThisFile();
    void closingStopsTheFileAtOnce_data();
    void closingStopsTheFileAtOnce();
    void progressText_data();
    void progressText();

private:
    NativeFileSystem m_realFs;
    std::unique_ptr<FaultyFileSystem> m_fs;
    ScriptedPrompter m_prompter;
    std::unique_ptr<MemorySettingsStore> m_settings;
    RecordingShell m_shell;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    QString m_left, m_right, m_oldCurrent;
    QStringList m_captions;

    void listBoth();
    void tickAll(int pane);
};

void tst_LongWork::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_left = m_dir->path() + "/left";
    m_right = m_dir->path() + "/right";
    QVERIFY(QDir().mkdir(m_left) && QDir().mkdir(m_right));
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_fs = std::make_unique<FaultyFileSystem>(m_realFs);
    m_fs->sortEnumerations();
    m_prompter.clear();
    m_settings = std::make_unique<MemorySettingsStore>();
    m_captions.clear();
    m_window = std::make_unique<MainWindow>(*m_fs, &m_prompter, *m_settings, m_shell,
                                            ProgramInfo {"dyadix", 1, 8, 0, "DYX 261206"});
    m_window->start();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->form().mnuOptionAction.setChecked(false); // no question before each action
    connect(&m_window->form(), &FormModel::captionChanged, this,
            [this] { m_captions << m_window->form().Caption(); });
}

void tst_LongWork::cleanup()
{
    m_window.reset();
    QDir::setCurrent(m_oldCurrent);
}

void tst_LongWork::listBoth()
{
    QVERIFY(m_window->form().pane(1).dirList.setPath(m_left).has_value());
    QVERIFY(m_window->form().pane(2).dirList.setPath(m_right).has_value());
}

void tst_LongWork::tickAll(int pane)
{
    FileListModel &list = m_window->form().pane(pane).lstFiles;
    for (int i = 0; i < list.ListCount(); ++i)
        list.setSelected(i, true);
}

// While many files are copied (large ones off the window's thread) the window goes on with
// its events, the title names each file in turn, and the questions come in the list's order.
void tst_LongWork::windowStaysAliveAndAsksInOrder()
{
    const QByteArray large(int(FormWork::OffThreadBytes) + 5, 'L');
    for (int i = 0; i < 40; ++i) {
        const QString name = QStringLiteral("/f%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        QVERIFY(writeFile(m_left + name, i % 10 == 0 ? large : QByteArray("small"), localTime(2024, 1, 1, 0, 0)));
    }
    // Two targets are newer than their sources: each asks before it is copied over.
    QVERIFY(writeFile(m_right + "/f05.txt", "newer", localTime(2025, 1, 1, 0, 0)));
    QVERIFY(writeFile(m_right + "/f31.txt", "newer", localTime(2025, 1, 1, 0, 0)));
    m_window->form().mnuOptionNewer.setChecked(false);
    listBoth();
    tickAll(1);
    m_prompter.answer(MsgAnswer::No);
    m_prompter.answer(MsgAnswer::Yes);
    int ticks = 0;
    QTimer beat;
    connect(&beat, &QTimer::timeout, this, [&ticks] { ++ticks; });
    beat.start(0);
    m_window->form().mnuCopy(1)->trigger();
    beat.stop();
    QVERIFY2(ticks > 0, "no timer fired while the files were copied");

    QCOMPARE(m_prompter.shown().size(), size_t(2));
    QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Target File is Newer!"));
    QVERIFY(m_prompter.shown()[0].text.contains("f05.txt"));
    QVERIFY(m_prompter.shown()[1].text.contains("f31.txt"));
    QCOMPARE(m_captions.size(), 40 - 1 + 1); // every file but the one declined, then the name
    QCOMPARE(m_captions.front(), "Copying " + m_left + "/f00.txt to " + m_right + "/f00.txt");
    QCOMPARE(m_captions[10], "Copying " + m_left + "/f11.txt to " + m_right + "/f11.txt");
    QCOMPARE(m_captions.back(), QStringLiteral("Dyadix"));
    QCOMPARE(readFile(m_right + "/f05.txt"), QByteArray("newer"));
    QCOMPARE(readFile(m_right + "/f31.txt"), QByteArray("small"));
    QCOMPARE(readFile(m_right + "/f20.txt"), large);
    QCOMPARE(m_window->form().pane(1).lstFiles.SelCount(), 1); // f05, declined
}

// Escape during the work asks "Stop after this file?"; on Yes the work ends once that file is
// done: what was done is unticked (or gone from the list), the rest stays ticked and untouched.
void tst_LongWork::stopAfterThisFile_data()
{
    QTest::addColumn<int>("command"); // copy/move index 1 or 3; 0: delete the left's files
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<QList<bool>>("ticked"); // the left lines afterwards
    const QStringList all {"f1", "f2", "f3", "f4", "f5", "f6"};
    QTest::newRow("copy") << 1 << all << QStringList {"f1", "f2", "f3"}
                          << QList<bool> {false, false, false, true, true, true};
    QTest::newRow("move") << 3 << QStringList {"f4", "f5", "f6"} << QStringList {"f1", "f2", "f3"}
                          << QList<bool> {false, false, false, true, true, true};
    // Deleting goes from the last line up.
    QTest::newRow("delete") << 0 << QStringList {"f1", "f2", "f3"} << QStringList()
                            << QList<bool> {true, true, true};
}

void tst_LongWork::stopAfterThisFile()
{
    QFETCH(int, command);
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    QFETCH(QList<bool>, ticked);
    for (int i = 1; i <= 6; ++i)
        QVERIFY(writeFile(m_left + QStringLiteral("/f%1").arg(i), QByteArray::number(i)));
    listBoth();
    tickAll(1);
    const QString third = command == 0 ? "Deleting " + m_left + "/f4" : m_left + "/f3 to ";
    connect(&m_window->form(), &FormModel::captionChanged, this, [&] {
        if (m_window->form().Caption().contains(third))
            QTest::keyClick(m_window->workBox(), Qt::Key_Escape);
    });
    m_prompter.answer(MsgAnswer::Yes);
    if (command == 0)
        m_window->form().mnuDel(1)->trigger();
    else
        m_window->form().mnuCopy(command)->trigger();

    QCOMPARE(m_prompter.shown().size(), size_t(1));
    QCOMPARE(m_prompter.shown()[0].title, QStringLiteral("Stop"));
    QVERIFY(m_prompter.shown()[0].text.startsWith("Stop after this file?"));
    QCOMPARE(m_prompter.shown()[0].style, MsgStyle::YesNo + MsgStyle::Question);
    QCOMPARE(namesIn(m_left), left);
    QCOMPARE(namesIn(m_right), right);
    FileListModel &list = m_window->form().pane(1).lstFiles;
    QCOMPARE(list.ListCount(), int(ticked.size()));
    for (int i = 0; i < list.ListCount(); ++i)
        QCOMPARE(list.Selected(i), ticked[i]);
    QCOMPARE(m_window->form().Caption(), QStringLiteral("Dyadix"));
}

// Closing the window or SIGTERM while a large file is copied stops at once: the old target
// is left byte for byte with its time, no unfinished file is left, a move keeps its source,
// the line stays ticked; then the window closes and stores its settings.
void tst_LongWork::closingStopsTheFileAtOnce_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("bySignal");
    QTest::newRow("copy, window closed") << 1 << false;
    QTest::newRow("move, window closed") << 3 << false;
    QTest::newRow("copy, SIGTERM") << 1 << true;
    QTest::newRow("move, SIGTERM") << 3 << true;
}

void tst_LongWork::closingStopsTheFileAtOnce()
{
    QFETCH(int, command);
    QFETCH(bool, bySignal);
    const QByteArray large(int(FormWork::OffThreadBytes) * 3, 'N');
    QVERIFY(writeFile(m_left + "/1big.bin", large, localTime(2024, 1, 1, 0, 0)));
    QVERIFY(writeFile(m_left + "/2after.txt", "after"));
    const std::int64_t oldTime = localTime(2020, 1, 1, 0, 0);
    QVERIFY(writeFile(m_right + "/1big.bin", "old content", oldTime));
    listBoth();
    tickAll(1);
    m_fs->holdNextCopyUntilStopped();
    QString boxText;
    bool boxModal = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        WorkProgressBox *box = m_window->workBox();
        if (box == nullptr || !box->isVisible())
            return;
        watch.stop();
        boxText = box->text();
        boxModal = QApplication::activeModalWidget() == box && box->stopButton()->text() == "&Stop";
        if (bySignal)
            ::raise(SIGTERM);
        else
            m_window->close();
    });
    watch.start(5);
    m_window->form().mnuCopy(command)->trigger();
    QTRY_VERIFY(!m_window->isVisible());

    QVERIFY2(boxText.startsWith(QString(command == 1 ? "Copying" : "Moving") + " file 1 of 2 - "),
             qPrintable(boxText));
    QVERIFY(boxModal);
    QCOMPARE(readFile(m_right + "/1big.bin"), QByteArray("old content"));
    QCOMPARE(modifiedOf(m_right + "/1big.bin"), oldTime);
    QCOMPARE(namesIn(m_right), QStringList {"1big.bin"});
    QCOMPARE(namesIn(m_left), (QStringList {"1big.bin", "2after.txt"}));
    QVERIFY(m_window->form().pane(1).lstFiles.Selected(0));
    QVERIFY(m_window->form().pane(1).lstFiles.Selected(1));
    QVERIFY(m_prompter.shown().empty());
    QVERIFY(!m_settings->values().isEmpty()); // the window closed as usual, storing its settings
}

// The progress box's line: file k of n and bytes, then the rate and time left once a second
// has gone by.
void tst_LongWork::progressText_data()
{
    QTest::addColumn<int>("file");
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("text");
    QTest::newRow("at the start") << 1 << qint64(0) << qint64(999) << qint64(0)
                                  << "Copying file 1 of 10 - 0 bytes of 999 bytes";
    QTest::newRow("rate unknown yet") << 3 << qint64(1'200'000) << qint64(5'600'000) << qint64(999)
                                      << "Copying file 3 of 10 - 1.2 MB of 5.6 MB";
    QTest::newRow("rate and time left") << 3 << qint64(2'000'000) << qint64(12'000'000) << qint64(2000)
                                        << "Copying file 3 of 10 - 2.0 MB of 12.0 MB - 1.0 MB/s - 0:10 left";
    QTest::newRow("hours left") << 9 << qint64(1'000'000) << qint64(4'001'000'000) << qint64(1000)
                                << "Copying file 9 of 10 - 1.0 MB of 4.0 GB - 1.0 MB/s - 1:06:40 left";
    QTest::newRow("nothing to count in bytes") << 2 << qint64(0) << qint64(0) << qint64(5000)
                                               << "Copying file 2 of 10";
}

void tst_LongWork::progressText()
{
    QFETCH(int, file);
    QFETCH(qint64, done);
    QFETCH(qint64, bytes);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, text);
    QCOMPARE(dyadix::progressText(WorkProgress {"Copying", file, 10, done, bytes, elapsedMs}), text);
}

QTEST_MAIN(tst_LongWork)
#include "tst_longwork.moc"
