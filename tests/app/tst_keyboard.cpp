#include "app/mainwindow.h"

#include "faultyfilesystem.h"
#include "memorysettingsstore.h"
#include "recordingshell.h"
#include "tempfiles.h"

#include "runtime/nativefilesystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace dyadix;
using namespace dyadix::test;

namespace {

// A key as a person presses it: "Alt+M", "Return", "M".
struct Key
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};
Key parseKey(const QString &text)
{
    const QKeyCombination combination = QKeySequence(text)[0];
    return {combination.key(), combination.keyboardModifiers()};
}

// Presses keys on whatever has the keyboard: an open menu, else the focus widget.
void press(const QString &keys)
{
    for (const QString &text : keys.split(QStringLiteral(", "))) {
        const Key key = parseKey(text);
        QWidget *target = QApplication::activePopupWidget();
        if (target == nullptr)
            target = QApplication::focusWidget();
        QVERIFY2(target != nullptr, qPrintable(text));
        QTest::keyClick(target, key.key, key.modifiers);
    }
}

// Answers the boxes that the window opens, one key each in turn, and records what each said.
// A box's access keys work only once it is the active window, so the key waits for that; a
// box that never takes the keyboard, or is still open two seconds after its key, is closed
// and counted as stuck.
class BoxAnswerer : public QObject
{
public:
    struct Seen
    {
        QString title, text;
        QStringList buttons;
    };
    explicit BoxAnswerer(QStringList keys)
        : m_keys(std::move(keys))
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::look);
        m_timer.start();
    }
    const std::vector<Seen> &seen() const { return m_seen; }
    int stuck() const { return m_stuck; }

private:
    void look()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        if (box == m_answered) {
            if (m_sinceKey.elapsed() > 2000) {
                ++m_stuck;
                box->reject();
            }
            return;
        }
        if (m_waiting != box) {
            m_waiting = box;
            m_sinceShown.start();
        }
        if (QApplication::activeWindow() != box) {
            if (m_sinceShown.elapsed() > 3000) { // it never took the keyboard
                ++m_stuck;
                m_answered = box;
                m_sinceKey.start();
                box->reject();
            }
            return;
        }
        Seen seen {box->windowTitle(), box->text(), {}};
        for (QAbstractButton *button : box->buttons())
            seen.buttons << button->text();
        m_seen.push_back(seen);
        m_answered = box;
        m_sinceKey.start();
        if (m_keys.isEmpty()) {
            box->reject();
            return;
        }
        const Key key = parseKey(m_keys.takeFirst());
        QTest::keyClick(box, key.key, key.modifiers);
    }

    QStringList m_keys;
    QTimer m_timer;
    std::vector<Seen> m_seen;
    QPointer<QMessageBox> m_answered, m_waiting;
    QElapsedTimer m_sinceShown, m_sinceKey;
    int m_stuck = 0;
};

} // namespace

class tst_Keyboard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void accessKeysReachEveryCommand_data();
    void accessKeysReachEveryCommand();
    void questionsAnswerToKeys_data();
    void questionsAnswerToKeys();
    void errorPromptAnswersToKeys_data();
    void errorPromptAnswersToKeys();

private:
    void tickBoth();
    NativeFileSystem m_realFs;
    std::unique_ptr<FaultyFileSystem> m_fs;
    MemorySettingsStore m_settings;
    RecordingShell m_shell;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    QString m_left, m_right;
    QString m_oldCurrent;
};

void tst_Keyboard::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_left = m_dir->path() + "/left";
    m_right = m_dir->path() + "/right";
    QVERIFY(QDir().mkdir(m_left) && QDir().mkdir(m_right));
    QVERIFY(writeFile(m_left + "/a.txt", "new", localTime(2024, 5, 6, 7, 8)));
    QVERIFY(writeFile(m_right + "/a.txt", "old", localTime(2020, 1, 2, 3, 4)));
    QVERIFY(writeFile(m_right + "/b.txt", "bee", localTime(2021, 1, 2, 3, 4)));
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_fs = std::make_unique<FaultyFileSystem>(m_realFs);
    // No prompter: the window shows its own boxes.
    m_window = std::make_unique<MainWindow>(*m_fs, nullptr, m_settings, m_shell,
                                            ProgramInfo {"dyadix", 1, 8, 0, "DYX 261206"});
    m_window->start();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    FormModel &form = m_window->form();
    QVERIFY(form.pane(1).dirList.setPath(m_left).has_value());
    QVERIFY(form.pane(2).dirList.setPath(m_right).has_value());
    QTRY_COMPARE(QApplication::focusWidget(), m_window->control(ControlId::txtSelect));
}

void tst_Keyboard::cleanup()
{
    m_window.reset();
    QDir::setCurrent(m_oldCurrent);
}

void tst_Keyboard::tickBoth()
{
    m_window->form().pane(1).lstFiles.setSelected(0, true);
    m_window->form().pane(2).lstFiles.setSelected(0, true);
}

// From the filter box, each menu-bar access key opens its menu or runs its command; the
// commands ask their question first, and Escape answers No. M is the key of both Match and
// Move: it highlights them in turn, and Enter or Space runs the one highlighted.
void tst_Keyboard::accessKeysReachEveryCommand_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("menu");     // the menu that opens
    QTest::addColumn<QString>("question"); // else the title of the question asked
    QTest::newRow("Alt+F") << "Alt+F" << "&File" << "";
    QTest::newRow("Alt+O") << "Alt+O" << "&Options" << "";
    QTest::newRow("Alt+H") << "Alt+H" << "&Help" << "";
    QTest::newRow("Alt+C") << "Alt+C" << "" << "Copy Left to Right >>>?";
    QTest::newRow("Alt+Y") << "Alt+Y" << "" << "Copy <<< Right to Left?";
    QTest::newRow("Alt+M, M, Return") << "Alt+M, M, Return" << "" << "Move Left to Right >>>?";
    QTest::newRow("Alt+M, Alt+M, Space") << "Alt+M, Alt+M, Space" << "" << "Move Left to Right >>>?";
    QTest::newRow("Alt+V") << "Alt+V" << "" << "Move <<< Right to Left?";
    QTest::newRow("Alt+D") << "Alt+D" << "" << "DELETE from >> Left?";
    QTest::newRow("Alt+L") << "Alt+L" << "" << "DELETE from Right <<?";
}

void tst_Keyboard::accessKeysReachEveryCommand()
{
    QFETCH(QString, keys);
    QFETCH(QString, menu);
    QFETCH(QString, question);
    tickBoth();
    BoxAnswerer answerer({QStringLiteral("Escape")});
    press(keys);
    if (!menu.isEmpty()) {
        auto *open = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(open != nullptr);
        QCOMPARE(open->title(), menu);
        // The first Escape closes the menu, the second leaves the menu bar.
        press(QStringLiteral("Escape, Escape"));
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QVERIFY(answerer.seen().empty());
    } else {
        QCOMPARE(answerer.stuck(), 0);
    QCOMPARE(answerer.seen().size(), size_t(1));
        QCOMPARE(answerer.seen().front().title, question);
        QCOMPARE(answerer.seen().front().buttons.size(), 2);
    }
    // Nothing was done, both ticks stand and the keyboard is back in the filter box.
    QCOMPARE(namesIn(m_left), QStringList {"a.txt"});
    QCOMPARE(namesIn(m_right), (QStringList {"a.txt", "b.txt"}));
    QCOMPARE(readFile(m_right + "/a.txt"), QByteArray("old"));
    QVERIFY(m_window->form().pane(1).lstFiles.Selected(0));
    QVERIFY(m_window->form().pane(2).lstFiles.Selected(0));
    QTRY_COMPARE(QApplication::focusWidget(), m_window->control(ControlId::txtSelect));
}

// A question answers to Alt+Y and Alt+N. Alt+M highlights Match while Move may run too, and
// Enter runs it; Escape leaves the highlight without running anything. With nothing ticked
// Move may not run, and Alt+M runs Match at once.
void tst_Keyboard::questionsAnswerToKeys_data()
{
    QTest::addColumn<bool>("tickFirst"); // left a.txt ticked before the keys
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("rightA"); // right/a.txt afterwards
    QTest::addColumn<bool>("leftTicked");   // left a.txt's line ticked afterwards
    QTest::addColumn<bool>("rightTicked");  // right b.txt's line ticked afterwards
    QTest::newRow("Alt+C, Alt+Y copies") << true << "Alt+C" << "Alt+Y" << QByteArray("new") << false << false;
    QTest::newRow("Alt+C, Alt+N keeps") << true << "Alt+C" << "Alt+N" << QByteArray("old") << true << false;
    QTest::newRow("Alt+M, Return matches") << true << "Alt+M, Return" << "" << QByteArray("old") << true << true;
    QTest::newRow("Alt+M, Escape leaves") << true << "Alt+M, Escape" << "" << QByteArray("old") << true << false;
    QTest::newRow("Alt+M alone matches") << false << "Alt+M" << "" << QByteArray("old") << true << true;
}

void tst_Keyboard::questionsAnswerToKeys()
{
    QFETCH(bool, tickFirst);
    QFETCH(QString, keys);
    QFETCH(QString, answer);
    QFETCH(QByteArray, rightA);
    QFETCH(bool, leftTicked);
    QFETCH(bool, rightTicked);
    FileListModel &left = m_window->form().pane(1).lstFiles;
    left.setSelected(0, tickFirst);
    BoxAnswerer answerer(answer.isEmpty() ? QStringList() : QStringList {answer});
    press(keys);
    QCOMPARE(answerer.stuck(), 0);
    QCOMPARE(answerer.seen().size(), size_t(answer.isEmpty() ? 0 : 1));
    if (!answer.isEmpty())
        QVERIFY(answerer.seen().front().text.startsWith("You are about to Copy 1 marked files\n"));
    QCOMPARE(readFile(m_right + "/a.txt"), rightA);
    // Match ticks the newer left a.txt and the right b.txt, which the left lacks.
    QCOMPARE(left.Selected(0), leftTicked);
    QCOMPARE(m_window->form().pane(2).lstFiles.Selected(1), rightTicked);
    QTRY_COMPARE(QApplication::focusWidget(), m_window->control(ControlId::txtSelect));
}

// A copy that fails shows the error prompt; Alt+R tries again, Alt+I goes on without the
// file, Alt+A stops.
void tst_Keyboard::errorPromptAnswersToKeys_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("rightA");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("Alt+R") << "Alt+R" << QByteArray("new") << false;
    QTest::newRow("Alt+I") << "Alt+I" << QByteArray("old") << false;
    QTest::newRow("Alt+A") << "Alt+A" << QByteArray("old") << true;
}

void tst_Keyboard::errorPromptAnswersToKeys()
{
    QFETCH(QString, answer);
    QFETCH(QByteArray, rightA);
    QFETCH(bool, ticked);
    m_fs->failOn(FsOperation::FileCopy, ErrorNumber::DiskFull);
    m_window->form().mnuOptionAction.setChecked(false); // no question before the copy
    FileListModel &left = m_window->form().pane(1).lstFiles;
    left.setSelected(0, true);
    BoxAnswerer answerer({answer});
    press(QStringLiteral("Alt+C"));
    QCOMPARE(answerer.stuck(), 0);
    QCOMPARE(answerer.seen().size(), size_t(1));
    const BoxAnswerer::Seen &prompt = answerer.seen().front();
    QCOMPARE(prompt.title, QStringLiteral("Error!"));
    QCOMPARE(prompt.text, QStringLiteral("Error 61\nDisk full"));
    QStringList buttons = prompt.buttons;
    buttons.sort();
    QCOMPARE(buttons, (QStringList {"&Abort", "&Ignore", "&Retry"}));
    QCOMPARE(readFile(m_right + "/a.txt"), rightA);
    QCOMPARE(left.Selected(0), ticked);
}

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
