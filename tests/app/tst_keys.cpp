#include "windowfixture.h"

#include "app/qtprompter.h"
#include "app/wrappingmenubar.h"

#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>

using namespace dyadix;
using namespace dyadix::test;

// The real window driven by keys, and its boxes: what each key does, what each box offers.
class tst_Keys : public WindowTest
{
    Q_OBJECT

private slots:
    // Space ticks and unticks a line, and the status box counts the ticks in blue. The statuses
    // are grey while the lists differ, green once they read the same, whatever the names.
    void spaceTicks()
    {
        auto *status = control<QLineEdit>(ControlId::txtStatus1), *other = control<QLineEdit>(ControlId::txtStatus2);
        QCOMPARE(status->text(), QStringLiteral("2 files, 3 bytes, 2024/05/06 07:08 to 2024/05/06 07:09"));
        QTRY_COMPARE(status->palette().color(QPalette::Base).name(), QStringLiteral("#c0c0c0"));
        QVERIFY(writeFile(w->t("/R/uno"), "1", localTime(2024, 5, 6, 7, 8)) && writeFile(w->t("/R/dos"), "22", localTime(2024, 5, 6, 7, 9)));
        QVERIFY(w->form().pane(2).dirList.setPath(w->t("/R")).has_value());
        QTRY_COMPARE(status->palette().color(QPalette::Base).name() + other->palette().color(QPalette::Base).name(), QStringLiteral("#00ff00#00ff00"));
        QCOMPARE(QColor(status->grab().toImage().pixel(status->width() - 4, 3)).name(), QStringLiteral("#00ff00")); // painted, not only set
        auto *list = control<QTableView>(ControlId::lstFiles1);
        QTRY_VERIFY(!list->visualRect(list->model()->index(1, 0)).isEmpty());
        list->setFocus();
        list->setCurrentIndex(list->model()->index(1, 0));
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(ticks(1), QStringLiteral("one.txt two.txt+"));
        QTRY_COMPARE(status->text() + ' ' + status->palette().color(QPalette::Text).name() + other->palette().color(QPalette::Text).name(),
                     QStringLiteral("1 file selected. #0000ff#000000"));
        QTest::keyClick(list, Qt::Key_Space);
        QTRY_COMPARE(ticks(1) + ' ' + status->text(), QStringLiteral("one.txt two.txt 0 files selected."));
    }

    // On X, each menu-bar access key opens its menu or asks its question (M, shared by Match
    // and Move, highlights them in turn), boxes take their access keys and Escape is No.
    void keys_data()
    {
        QTest::addColumn<QString>("ticks");  // the panes whose first line is ticked
        QTest::addColumn<bool>("diskFull");  // the copy fails once, with no question first
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("answer"); // the key for the box
        QTest::addColumn<QString>("seen");   // the menu or box that showed
        QTest::addColumn<QString>("after");  // right/a, then the panes' lines
        const QString copy = "Copy Left to Right >>>?|You are about to Copy 1 marked files|&No &Yes";
        const QString move = "Move Left to Right >>>?|You are about to Move 1 marked files|&No &Yes";
        const QString error = "Error!|Error 61|&Abort &Ignore &Retry", kept = "old|a+|a+ b";
        QTest::newRow("Alt+F") << "12" << false << "Alt+F" << "" << "&File" << kept;
        QTest::newRow("Alt+C") << "12" << false << "Alt+C" << "Esc" << copy << kept;
        QTest::newRow("Alt+Y") << "12" << false << "Alt+Y" << "Esc" << "Copy <<< Right to Left?|You are about to Copy 1 marked files|&No &Yes" << kept;
        QTest::newRow("Alt+M, M, Return") << "12" << false << "Alt+M, M, Return" << "Esc" << move << kept;
        QTest::newRow("narrow, Alt+M, M, Return") << "12" << false << "width=200, Alt+M, M, Return" << "Esc" << move << kept;
        QTest::newRow("narrow, Alt+M, M, widened") << "12" << false << "width=200, Alt+M, M, width=1000" << "" << "" << kept;
        QTest::newRow("narrow, Alt+M, M, Escape") << "12" << false << "width=200, Alt+M, M" << "" << "" << kept;
        QTest::newRow("Alt+D") << "12" << false << "Alt+D" << "Esc" << "DELETE from >> Left?|You are about to DELETE 1 marked files from|&No &Yes" << kept;
        QTest::newRow("Alt+L") << "12" << false << "Alt+L" << "Esc" << "DELETE from Right <<?|You are about to DELETE 1 marked files from|&No &Yes" << kept;
        QTest::newRow("Alt+C, Alt+Y copies") << "1" << false << "Alt+C" << "Alt+Y" << copy << "new|a|a b";
        QTest::newRow("Alt+C, Alt+N keeps") << "1" << false << "Alt+C" << "Alt+N" << copy << "old|a+|a b";
        QTest::newRow("Alt+M, Return matches") << "1" << false << "Alt+M, Return" << "" << "" << "old|a+ b~|a b+";
        QTest::newRow("Alt+M, Escape leaves") << "1" << false << "Alt+M, Esc" << "" << "" << "old|a+|a b";
        QTest::newRow("Alt+M alone matches") << "" << false << "Alt+M" << "" << "" << "old|a+ b~|a b+";
        QTest::newRow("disk full, Alt+R") << "1" << true << "Alt+C" << "Alt+R" << error << "new|a|a b";
        QTest::newRow("disk full, Alt+A") << "1" << true << "Alt+C" << "Alt+A" << error << "old|a+!|a b";
    }

    void keys()
    {
        QFETCH(QString, ticks);
        QFETCH(bool, diskFull);
        QFETCH(QString, keys);
        QFETCH(QString, answer);
        QFETCH(QString, seen);
        QFETCH(QString, after);
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("keys need a real X server: offscreen windows take no key focus (the _x11 run tests this)");
        w.reset();
        w = std::make_unique<WindowFixture>(false);
        QVERIFY(writeFile(w->t("/L/a"), "new", localTime(2024, 5, 6, 7, 8)) && writeFile(w->t("/R/a"), "old", localTime(2020, 1, 2, 3, 4)));
        QVERIFY(writeFile(w->t("/R/b"), "bee", localTime(2021, 1, 2, 3, 4)));
        QVERIFY(QTest::qWaitForWindowExposed(w->window.get()) && QTest::qWaitForWindowActive(w->window.get()));
        QVERIFY(w->showBoth());
        QTRY_COMPARE(QApplication::focusWidget(), w->control(ControlId::txtSelect));
        for (int pane : {1, 2})
            w->form().pane(pane).lstFiles.setSelected(0, ticks.contains(QString::number(pane)));
        if (diskFull) {
            w->fs.failOn(FsOperation::FileCopy, ErrorNumber::DiskFull);
            w->form().mnuOptionAction.setChecked(false);
        }
        BoxAnswerer answerer(answer);
        press(keys);
        if (keys.endsWith("Alt+M, M")) { // the highlight has moved to Move, on the second row, and left Match
            QStringList lit;
            for (QMenuBar *row : w->window->menus()->rows())
                lit << (row->activeAction() ? row->activeAction()->text() : "-");
            QCOMPARE(lit.join(' '), QStringLiteral("- - >&Move!> -"));
            press("Esc");
        }
        if (answer.isEmpty() && !seen.isEmpty()) {
            auto *open = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QCOMPARE(open ? open->title() : QString(), seen);
            press("Esc, Esc"); // the first closes the menu, the second leaves the bar
            QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        } else {
            QCOMPARE(answerer.seen, seen.isEmpty() ? QStringList() : QStringList {seen});
        }
        QCOMPARE(readFile(w->t("/R/a")) + '|' + summaryOf(w->form().pane(1).lstFiles) + '|' + summaryOf(w->form().pane(2).lstFiles), after);
        QCOMPARE(namesIn(w->t("/L")), QStringList {"a"});
        QTRY_COMPARE(QApplication::focusWidget(), w->control(ControlId::txtSelect));
    }

    // An input box gives back what was typed after Return, nothing after Escape.
    void inputBoxAnswers()
    {
        QtPrompter prompter;
        QStringList typed;
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QTimer typist;
            connect(&typist, &QTimer::timeout, [&typist, key] {
                auto *open = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
                if (open == nullptr || !open->isVisible())
                    return;
                typist.stop();
                QLineEdit *line = open->findChild<QLineEdit *>();
                QTest::keyClicks(line, "/new");
                QTest::keyClick(line, key);
            });
            typist.start(10);
            typed << prompter.InputBox("Edit which path?", "Edit Path", "/old");
        }
        QCOMPARE(typed.join('|'), QStringLiteral("/new|"));
    }

    // Each Ctrl shortcut works from every control, the filter box keeps its editing keys, and
    // Ctrl+Q ends unsaved (and ends the event loops: no later test has boxes of its own).
    void ctrlShortcuts_data()
    {
        QTest::addColumn<ControlId>("start");
        for (ControlId id : {ControlId::txtSelect, ControlId::lstFiles1, ControlId::lstFiles2, ControlId::dirList1, ControlId::drvList2})
            QTest::addRow("control %d", int(id)) << id;
    }

    void ctrlShortcuts()
    {
        QFETCH(ControlId, start);
        QWidget *focus = w->control(start);
        focus->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(w->window.get()));
        QTRY_COMPARE(QApplication::focusWidget(), focus);
        FormModel &form = w->form();
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(focus, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(focus, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(form.recallSlots().entry(0), w->dir.path() + "|*.*|" + w->dir.path());
        QVERIFY(form.mnuOptionSynch.isChecked() && form.mnuOptionSyncFoldr.isChecked());
        for (Qt::Key key : {Qt::Key_E, Qt::Key_D, Qt::Key_T, Qt::Key_B}) {
            w->prompter.type(QString());
            w->prompter.answer(MsgAnswer::Ok);
            QTest::keyClick(focus, key, Qt::ControlModifier);
        }
        QStringList titles;
        for (const PromptRecord &box : w->prompter.shown())
            titles << (box.style < 0 ? box.title : box.line()); // the input boxes by their titles
        QCOMPARE(titles.join('|'), QStringLiteral("Edit Path|Remove Path|Export Text file for Excel:|Sorry! (OK, Exclamation): This option is not yet available!"));
        if (auto *filter = qobject_cast<QLineEdit *>(focus)) {
            w->form().txtSelect.setText("*.doc");
            QCOMPARE(filter->text(), QStringLiteral("*.doc")); // the filter shows a new one at once
            filter->setText("*.txt");
            for (const QString keys : {"Home", "Shift+Right", "Ctrl+C", "End", "Ctrl+V", "Backspace", "X"})
                QTest::keySequence(filter, QKeySequence(keys));
            QCOMPARE(filter->text() + QApplication::clipboard()->text(), QStringLiteral("*.txtx*"));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
        w->window->close();
        QVERIFY(w->settings.values.isEmpty());
    }

    // Each box style gives its buttons, icon, default and a safe Escape, in plain text; so do input boxes.
    void boxes()
    {
        QtPrompter prompter;
        QStringList seen;
        for (int style : {34, 292, 35, 36, 48, 64, 68}) {
            auto box = prompter.buildMessageBox("Copy <b>a</b> & <<<", style, "Move <<< Right?");
            seen << QString("%1: %2|%3|%4|%5").arg(style).arg(buttonsOf(box.get())).arg(box->icon()).arg(box->defaultButton()->text(), box->escapeButton()->text());
            QCOMPARE(box->windowTitle() + '|' + box->text() + '|' + QString::number(box->textFormat()), QStringLiteral("Move <<< Right?|Copy <b>a</b> & <<<|0"));
        }
        QCOMPARE(seen.join('\n'), QStringLiteral("34: &Abort &Ignore &Retry|4|&Abort|&Abort\n292: &No &Yes|4|&No|&No\n35: &No &Yes Cancel|4|&Yes|Cancel\n"
                                                 "36: &No &Yes|4|&Yes|&No\n48: &OK|2|&OK|&OK\n64: &OK|1|&OK|&OK\n68: &No &Yes|1|&Yes|&No"));
        auto input = prompter.buildInputBox("Edit which path?\n<pasted> & more", "Edit Path", "0");
        QCOMPARE(input->windowTitle() + '|' + input->labelText() + '|' + input->textValue(), QStringLiteral("Edit Path|Edit which path?\n<pasted> & more|0"));
    }
};

QTEST_MAIN(tst_Keys)
#include "tst_keys.moc"
