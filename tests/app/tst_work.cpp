#include "windowfixture.h"
#include "rootonly.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolTip>

#include <csignal>

using namespace dyadix;
using namespace dyadix::test;

// Work in the real window: its progress box, Stop, and the close box while files are copied.
class tst_Work : public WindowTest
{
    Q_OBJECT

private slots:
    // A copy of three files, one onto a target this user may not write: the error box names the file for a screen reader; after
    // Ignore, that file alone keeps its tick, the status counts it, and its line's tool tip, and what a screen reader reads of it,
    // give the error.
    void failedFileStaysTicked()
    {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("the box is answered by its access key, which needs a real X server (the _x11 run tests this)");
        w.reset();
        w = std::make_unique<WindowFixture>(false);
        for (const QString &folder : {w->dir.path(), w->t("/L"), w->t("/R")})
            QVERIFY(setMode(folder, 0777)); // an ordinary user copies here in the root run too
        for (const char *name : {"a", "b", "c"})
            QVERIFY(writeFile(w->t("/L/") + name, "new", localTime(2024, 5, 6, 7, 8)));
        QVERIFY(writeFile(w->t("/R/b"), "old", localTime(2020, 1, 2, 3, 4)) && setMode(w->t("/R/b"), 0444));
        QVERIFY(QTest::qWaitForWindowExposed(w->window.get()) && w->showBoth(true));
        w->form().mnuOptionAction.setChecked(false);
        BoxAnswerer answerer("Alt+I");
        {
            std::optional<ActAsNobody> nobody; // root may write any file
            QVERIFY(::geteuid() != 0 || nobody.emplace().active);
            w->form().mnuCopy(1)->trigger();
        }
        QCOMPARE(answerer.seen, QStringList {"Error!|Error 70|&Abort &Ignore &Retry"});
        QCOMPARE(answerer.described, QStringList {"Copying " + w->t("/L/b") + " to " + w->t("/R/b")});
        QCOMPARE(readFile(w->t("/R/a")) + ' ' + readFile(w->t("/R/b")) + ' ' + readFile(w->t("/R/c")) + '|' + ticks(1) + '|' + w->form().pane(1).txtStatus.Text(),
                 QStringLiteral("new old new|a b+! c|1 file selected."));
        auto *list = qobject_cast<QTableView *>(w->control(ControlId::lstFiles1));
        const QModelIndex b = list->model()->index(1, 0);
        const QPoint at = list->visualRect(b).center();
        QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &hover);
        QCOMPARE(QToolTip::text(), QStringLiteral("b\nNot copied: Error 70, Permission denied"));
        QAccessibleInterface *cell = QAccessible::queryAccessibleInterface(list)->tableInterface()->cellAt(1, 0);
        QCOMPARE(cell->text(QAccessible::Name) + '|' + cell->text(QAccessible::Description), QStringLiteral("b|Not copied: Error 70, Permission denied"));
    }

    // The progress box reads what the work has done: file k of n and bytes, then the rate and time left after a second. Its bar fills by
    // bytes, by files where no file has bytes, and only moves where the count of files is not known (a listing).
    void progressBox()
    {
        WorkProgressBox box(w->window.get());
        auto *bar = box.findChild<QProgressBar *>();
        const std::pair<WorkProgress, QString> seen[] = {
            {{"Copying", 1, 10, 0, 999, 0}, "Copying file 1 of 10 - 0 bytes of 999 bytes|0 of 1000"},
            {{"Copying", 3, 10, 1200000, 5600000, 999}, "Copying file 3 of 10 - 1.2 MB of 5.6 MB|214 of 1000"},
            {{"Copying", 3, 10, 2000000, 12000000, 2000}, "Copying file 3 of 10 - 2.0 MB of 12.0 MB - 1.0 MB/s - 0:10 left|166 of 1000"},
            {{"Moving", 9, 10, 1000000, 3601000000, 1000}, "Moving file 9 of 10 - 1.0 MB of 3.6 GB - 1.0 MB/s - 1:00:00 left|0 of 1000"},
            {{"Deleting", 3, 4, 0, 0, 5000}, "Deleting file 3 of 4|500 of 1000"},
            {{"Copying", 1, 1, 0, 5000000000000000, 0}, "Copying file 1 of 1 - 0 bytes of 5000.0 TB|0 of 1000"},
            {{"Listing", 1234, 0, 0, 0, 0}, "Listing - 1234 files so far|0 of 0"}};
        for (const auto &[progress, expected] : seen) {
            box.showProgress(progress);
            QCOMPARE(box.text() + QString("|%1 of %2").arg(bar->value()).arg(bar->maximum()), expected);
        }
    }

    // Escape asks "Stop after this file?"; Yes ends after it, leaving the rest ticked and untouched.
    void stopAfterThisFile_data()
    {
        QTest::addColumn<int>("command");  // copy or move 1 or 3; 0: delete the left's files
        QTest::addColumn<QString>("third"); // the third file's copy: "stuck" (it waits on the system), "slow" (a large file still moving)
        QTest::addColumn<QString>("after"); // left | right | the left's ticks
        QTest::newRow("copy") << 1 << "" << "f1 f2 f3 f4 f5 f6|f1 f2 f3|f1 f2 f3 f4+ f5+ f6+";
        QTest::newRow("move") << 3 << "" << "f4 f5 f6|f1 f2 f3|f1 f2 f3 f4+ f5+ f6+";
        QTest::newRow("delete") << 0 << "" << "f1 f2 f3||f1+ f2+ f3+"; // from the last line up
        // A second after Yes, a file in hand that does not end is left as it was; one whose bytes still move is finished.
        QTest::newRow("copy, the file in hand stuck") << 1 << "stuck" << "f1 f2 f3 f4 f5 f6|f1 f2|f1 f2 f3+ f4+ f5+ f6+";
        QTest::newRow("copy, a large file in hand still moving") << 1 << "slow" << "f1 f2 f3 f4 f5 f6|f1 f2 f3|f1 f2 f3 f4+ f5+ f6+";
    }

    void stopAfterThisFile()
    {
        QFETCH(int, command);
        QFETCH(QString, third);
        QFETCH(QString, after);
        for (int i = 1; i <= 6; ++i)
            QVERIFY(writeFile(w->t("/L/f%1").arg(i), i == 3 && third == "slow" ? QByteArray(8 << 20, '3') : QByteArray::number(i)));
        w->form().mnuOptionAction.setChecked(false);
        QVERIFY(w->showBoth(true));
        const QString inHand = command == 0 ? "Deleting " + w->t("/L/f4") : w->t("/L/f3 to ");
        connect(&w->form(), &FormModel::captionChanged, this, [&] {
            if (!w->form().Caption().contains(inHand))
                return;
            if (third == "stuck")
                w->fs.holdNextWorkUntilStopped();
            if (third == "slow")
                w->fs.slowNextCopy();
            QTest::keyClick(w->window->workBox(), Qt::Key_Escape);
        });
        w->prompter.answer(MsgAnswer::Yes);
        (command == 0 ? w->form().mnuDel(1) : w->form().mnuCopy(command))->trigger();
        QCOMPARE(w->prompter.shown().at(0).line().section('\n', 0, 0), QStringLiteral("Stop (Yes No, Question): Stop after this file?"));
        QCOMPARE(namesIn(w->t("/L")).join(' ') + '|' + namesIn(w->t("/R")).join(' ') + '|' + ticks(1), after);
        QCOMPARE(w->form().Caption(), QStringLiteral("Dyadix"));
    }

    // Comparing contents shows its progress in the box; Stop, then Yes, ends it at once: the pair in hand keeps its tick, the statuses
    // say so, and the box goes. While a tree is listed, the pointer is busy.
    void comparingShowsAndStops()
    {
        QVERIFY(writeFile(w->t("/L/big"), QByteArray(3 << 20, 'N'), localTime(2024, 1, 2, 0, 0)) && writeFile(w->t("/R/big"), QByteArray(3 << 20, 'N'), localTime(2023, 1, 2, 0, 0)));
        w->form().mnuOptionContents.setChecked(true);
        w->form().mnuOptionSubfolders.setChecked(true);
        bool busy = false;
        w->fs.onTreeBatch = [&] { busy = busy || (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor); };
        QVERIFY(w->showBoth());
        w->fs.holdNextWorkUntilStopped();
        QString boxText;
        WhenWorkBoxShows stop(*w->window, [&](WorkProgressBox &box) {
            boxText = box.text();
            w->prompter.answer(MsgAnswer::Yes);
            box.stopButton()->click();
        });
        w->form().mnuMatch.trigger();
        QVERIFY2(boxText.startsWith("Comparing file 1 of 1 - "), qPrintable(boxText));
        QCOMPARE(w->prompter.lines().value(0), QStringLiteral("Stop (Yes No, Question): Stop comparing here?\n\nThe pairs not yet compared keep the ticks their times gave them."));
        QCOMPARE(ticks(1) + " | " + w->form().pane(1).txtStatus.Text(), QStringLiteral("big+ | 1 file selected. 1 pair not compared."));
        QVERIFY(!w->window->workBox()->isVisible() && busy && QApplication::overrideCursor() == nullptr);
    }

    // The window's close box (the close request a window manager sends it) works while a copy runs, before its progress box shows
    // too: the copy stops at once, the target stays as it was, the window closes.
    void closeBoxDuringCopy()
    {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("a close request comes through an X server (the _x11 run tests this)");
        QVERIFY(writeFile(w->t("/L/1big"), QByteArray(3 << 20, 'N')) && writeFile(w->t("/R/1big"), "old content", localTime(2020, 1, 1, 0, 0)));
        w->form().mnuOptionAction.setChecked(false);
        QVERIFY(w->showBoth(true));
        w->fs.holdNextWorkUntilStopped();
        int sent = -1; // as soon as the copy has begun, before its progress box shows
        connect(&w->form(), &FormModel::captionChanged, this, [&] {
            if (sent == -1 && w->form().Caption().startsWith("Copying"))
                sent = QProcess::execute(CLOSE_REQUEST, {QString::number(w->window->winId())});
        });
        QElapsedTimer clock;
        clock.start();
        w->form().mnuCopy(1)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!w->window->isVisible(), 5000);
        QCOMPARE(sent, 0);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed()))); // a held copy not stopped runs 20 s
        QCOMPARE(readFile(w->t("/R/1big")), QByteArray("old content"));
    }

    // Closing or SIGTERM during a large copy stops at once, losing nothing, and stores the settings.
    void closingStopsTheFileAtOnce_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("copy, window closed") << 1 << false;
        QTest::newRow("move, SIGTERM") << 3 << true;
    }

    void closingStopsTheFileAtOnce()
    {
        QFETCH(int, command);
        QFETCH(bool, bySignal);
        const std::int64_t old = localTime(2020, 1, 1, 0, 0);
        QVERIFY(writeFile(w->t("/L/1big"), QByteArray(3 << 20, 'N')) && writeFile(w->t("/L/2after"), "after"));
        QVERIFY(writeFile(w->t("/R/1big"), "old content", old));
        w->form().mnuOptionAction.setChecked(false);
        QVERIFY(w->showBoth(true));
        w->fs.holdNextWorkUntilStopped();
        QString boxText;
        WhenWorkBoxShows end(*w->window, [&](WorkProgressBox &box) {
            // The window takes no input meanwhile: Space on a ticked line leaves it ticked.
            QWidget *list = w->control(ControlId::lstFiles1);
            QTest::keyClick(list, Qt::Key_Space);
            boxText = box.text() + (ticks(1).startsWith("1big+") ? " held " : " ") + box.stopButton()->text();
            bySignal ? void(::raise(SIGTERM)) : void(w->window->close());
        });
        w->form().mnuCopy(command)->trigger();
        QTRY_VERIFY(!w->window->isVisible());
        QVERIFY2(boxText.startsWith(command == 1 ? "Copying file 1 of 2 - " : "Moving file 1 of 2 - ") && boxText.endsWith(" held &Stop"), qPrintable(boxText));
        QCOMPARE(readFile(w->t("/R/1big")), QByteArray("old content"));
        QCOMPARE(modifiedOf(w->t("/R/1big")), old);
        QCOMPARE(namesIn(w->t("/R")) + namesIn(w->t("/L")), (QStringList {"1big", "1big", "2after"}));
        QCOMPARE(ticks(1), QStringLiteral("1big+ 2after+"));
        QVERIFY(w->prompter.shown().empty() && !w->settings.values.isEmpty());
    }
};

QTEST_MAIN(tst_Work)
#include "tst_work.moc"
