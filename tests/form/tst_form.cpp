#include "form/layout.h"
#include "help/helptexts.h"

#include "fixture.h"

#include <QDateTime>

using namespace dyadix;
using namespace dyadix::test;

namespace {
const std::int64_t Late = localTime(2024, 1, 5, 7, 3, 59);
// "name@yyyy-MM-dd hh:mm:ss#size" files in a folder, of x but for a last byte after the size ("#5y").
void makeFiles(const QString &folder, const QStringList &files)
{
    for (const QString &file : files) {
        const QString when = file.section('@', 1).section('#', 0, 0);
        const QString size = file.contains('#') ? file.section('#', 1) : "1";
        const bool lastByte = size.back().isLetter(); // "#5y": four x and a y
        QVERIFY(writeFile(folder + '/' + file.section('@', 0, 0), QByteArray((lastByte ? size.chopped(1) : size).toInt() - lastByte, 'x') + (lastByte ? size.right(1).toLatin1() : ""),
                          QDateTime::fromString(when, "yyyy-MM-dd hh:mm:ss").toSecsSinceEpoch()));
    }
}
struct Pair
{
    QStringList left, right; // "name@yyyy-MM-dd hh:mm:ss#size", of x but for a last byte after the size
    QString options;         // earlier (Mark Newer off), contents (Compare Contents on), unreadable (the first left file), folding (case)
    QString after, tips;     // the lines afterwards; the tool tips of the first ones
};
struct Sync
{
    QString left, right; // the panes' folders
    QString answers;     // Y, N, A, I to the boxes in turn
    int pane;            // where a folder is then opened
    QString opened, made; // the folder opened, and the folders made besides
    QString expected;     // the roots | the other pane's folder | the option | the boxes
};
} // namespace
Q_DECLARE_METATYPE(Pair)
Q_DECLARE_METATYPE(Sync)

// The window model: start-up and menus, Match, folder synchronising, layout and help.
class tst_Form : public FixtureTest
{
    Q_OBJECT

private slots:
    // Start-up centres the window, lists the current folder and shows each menu item as designed.
    void startUpAndMenus()
    {
        QVERIFY(writeFile(t("/here.txt"), "x", Late));
        f->form->Form_Load();
        QCOMPARE(f->host.calls, (QStringList {"move 10785 4612 7230 6975", "state 0", "pointer 11", "pointer 0",
                                              "pointer 11", "pointer 0", "show", "focus"}));
        QCOMPARE(f->lines(2), QStringList {"here.txt\t2024/01/05 07:03\t       1"});
        QCOMPARE(f->form->pane(1).dirList.Path(), f->dir.path());
        QCOMPARE(f->form->Caption(), QStringLiteral("Dyadix - Windows File-Matching Program"));
        // Within each menu (the menu bar's own entries count as one), every entry has an access key, and one of its own but for
        // two that are shared as designed, where pressing the key again moves on to the other entry: the File menu's E ("&Edit
        // Path...", "&Exit without Saving Settings") and the menu bar's M ("&Match!", ">&Move!>"). No shortcut serves two
        // entries; the options start as designed.
        std::vector<QAction *> bar = f->form->menuBarCommands();
        bar.insert(bar.end(), {&f->form->mnuFile, &f->form->mnuOption, &f->form->mnuHelp});
        QStringList shortcuts, options, shared;
        const std::vector<QAction *> menus[] = {f->form->fileMenuItems(), f->form->optionMenuItems(), f->form->helpMenuItems(), bar};
        for (const std::vector<QAction *> &menu : menus) {
            QStringList keys;
            for (QAction *item : menu) {
                const qsizetype amp = item->text().indexOf('&');
                if (item->isSeparator() || (item->text().isEmpty() && !item->isVisible()) || item->text() == "Last")
                    continue;
                QVERIFY2(amp >= 0 && amp + 1 < item->text().size(), qPrintable(item->text()));
                const QString key = item->text().mid(amp + 1, 1).toUpper();
                if (keys.contains(key))
                    shared << QString::number(&menu - menus) + key;
                keys << key;
                if (!item->shortcut().isEmpty()) {
                    QVERIFY2(!shortcuts.contains(item->shortcut().toString()), qPrintable(item->shortcut().toString()));
                    shortcuts << item->shortcut().toString();
                }
                if (item->isCheckable())
                    options << QString(item->isChecked() ? "x" : "-");
            }
        }
        QCOMPARE(shared.join(" "), "0E 3M");
        QCOMPARE(options.join(""), "xxx--x--x"); // Warn, Newer, Bigger on; Scrolling, Folders off; Trash on; Subfolders, Contents off; Deletions on
        QCOMPARE(shortcuts.join(' '), "Ctrl+A Ctrl+E Ctrl+D Ctrl+R Ctrl+T Ctrl+B Ctrl+Q Ctrl+S Ctrl+F");
        QCOMPARE(f->form->fileMenuItems().size(), size_t(20));
        QCOMPARE(f->form->fileMenuItems()[4], f->form->mnuFileLast[0]);
        f->host.calls.clear();
        f->form->mnuFileExit.trigger();
        QCOMPARE(f->host.calls, (QStringList {"unload", "end"}));
        QCOMPARE(f->settings.values.value("dyadix/Settings/Wildcards"), QStringLiteral("*.*"));
    }

    // Match ticks the copy to carry over in every case of a pair, the same each time, with a reason.
    void match_data()
    {
        QTest::addColumn<Pair>("p");
        const QString t1 = "@2024-03-01 10:00:00", t2 = "@2024-03-02 09:30:00";
        QTest::newRow("only left") << Pair {{"a" + t1}, {}, "", "a+ | a~", "Only in this pane|"};
        QTest::newRow("only right") << Pair {{}, {"a" + t1}, "", "a~ | a+", ""};
        QTest::newRow("same date") << Pair {{"a" + t1}, {"a" + t1}, "", "a | a", "|"};
        QTest::newRow("left later") << Pair {{"a" + t2}, {"a" + t1}, "", "a+ | a", "Later than the other pane's copy by 24 hours|"};
        QTest::newRow("left later, newer off") << Pair {{"a" + t2}, {"a" + t1}, "earlier", "a | a+", "|Earlier than the other pane's copy by 24 hours"};
        QTest::newRow("right later") << Pair {{"a" + t1}, {"a@2024-03-01 15:10:00"}, "", "a | a+", "|Later than the other pane's copy by 5 hours"};
        QTest::newRow("right later, newer off") << Pair {{"a" + t1}, {"a" + t2}, "earlier", "a+ | a", ""};
        QTest::newRow("one side, newer off") << Pair {{"a" + t1, "c" + t2}, {"b" + t1, "c" + t1}, "earlier", "a+ b~ c | a~ b+ c+", ""};
        QTest::newRow("both empty") << Pair {{}, {}, "", " | ", ""};
        // Where both folders tell case apart, names pair exactly; where one does not, without case, and two names one but for case collide.
        QTest::newRow("case") << Pair {{"ABC.TXT" + t2, "Zebra.txt" + t1}, {"abc.txt" + t1, "zebra.txt" + t1}, "", "ABC.TXT+ abc.txt~ Zebra.txt+ zebra.txt~ | ABC.TXT~ abc.txt+ Zebra.txt~ zebra.txt+", "Only in this pane|"};
        QTest::newRow("case, a drive without it") << Pair {{"ABC.TXT" + t2, "Zebra.txt" + t1}, {"abc.txt" + t1, "zebra.txt" + t1}, "folding", "ABC.TXT+ Zebra.txt | abc.txt zebra.txt", "Later than the other pane's copy by 24 hours|"};
        const QString conflict = "Same time, different size: compare by hand (marked)";
        QTest::newRow("same minute, other sizes") << Pair {{"a@2024-03-01 10:00:00#10"}, {"a@2024-03-01 10:00:55#99"}, "", "a | a", conflict + '|' + conflict};
        QTest::newRow("by minutes") << Pair {{"a@2024-03-01 10:07:00"}, {"a" + t1}, "", "a+ | a", "Later than the other pane's copy by 7 minutes|"};
        QTest::newRow("by an hour") << Pair {{"a@2024-03-01 11:00:00#2"}, {"a" + t1}, "", "a+ | a", "Later than the other pane's copy by 1 hour|"};
        const QString shift = "Times differ by exactly %1: a daylight-saving or time-zone shift?";
        QTest::newRow("an hour apart, one size") << Pair {{"a@2024-03-01 11:00:01"}, {"a" + t1}, "", "a+ | a", shift.arg("1 hour") + '|' + shift.arg("1 hour")};
        QTest::newRow("two hours apart, one size") << Pair {{"a" + t1}, {"a@2024-03-01 12:00:00"}, "earlier", "a+ | a", shift.arg("2 hours") + '|' + shift.arg("2 hours")};
        QTest::newRow("three hours apart, one size") << Pair {{"a" + t1}, {"a@2024-03-01 13:00:00"}, "", "a | a+", "|Later than the other pane's copy by 3 hours"};
        QTest::newRow("by a minute") << Pair {{"a@2024-03-01 10:01:00"}, {"a@2024-03-01 10:00:59"}, "", "a+ | a", "Later than the other pane's copy by 1 minute|"};
        QTest::newRow("by days") << Pair {{"a@2024-03-09 10:00:00"}, {"a" + t1}, "", "a+ | a", "Later than the other pane's copy by 8 days|"};
        // With Compare Contents, a ticked pair of one size is read: the same contents untick it.
        const QString same = "Same contents, different times";
        QTest::newRow("contents, same") << Pair {{"a" + t2 + "#5", "b" + t1}, {"a" + t1 + "#5", "b" + t2}, "contents", "a b | a b", same + '|' + same};
        QTest::newRow("contents, last byte differs") << Pair {{"a" + t2 + "#5y"}, {"a" + t1 + "#5"}, "contents", "a+ | a", "Later than the other pane's copy by 24 hours|"};
        QTest::newRow("contents, earlier") << Pair {{"a" + t2 + "#5", "b" + t2 + "#2"}, {"a" + t1 + "#5", "b" + t1 + "#2z"}, "contents earlier", "a b | a b+", same + '|' + same};
        QTest::newRow("contents, one side, other sizes") << Pair {{"a" + t2 + "#5", "b" + t1}, {"a" + t1 + "#6", "c" + t1}, "contents", "a+ b+ c~ | a b~ c+", "Later than the other pane's copy by 24 hours|"};
        QTest::newRow("contents, an hour apart") << Pair {{"a@2024-03-01 11:00:00"}, {"a" + t1}, "contents", "a | a", same + '|' + same};
        QTest::newRow("contents, a drive without case") << Pair {{"ABC.TXT" + t2 + "#5"}, {"abc.txt" + t1 + "#5"}, "contents folding", "ABC.TXT | abc.txt", same + '|' + same};
        QTest::newRow("contents, unreadable, Ignore") << Pair {{"a" + t2}, {"a" + t1}, "contents unreadable", "a+ | a", "Later than the other pane's copy by 24 hours|"};
        QTest::newRow("a name that begins another") << Pair {{"ab" + t1, "ab.c" + t1}, {"ab.c" + t1, "abc" + t1}, "", "ab+ ab.c abc~ | ab~ ab.c abc+", ""};
        QTest::newRow("case twins in a folder") << Pair {{"read.me" + t1, "READ.ME@2024-03-05 10:00:00"}, {"Read.Me" + t2}, "", "READ.ME+ Read.Me~ read.me+ | READ.ME~ Read.Me+ read.me~", ""};
        const QString twins = "Not ticked: READ.ME and read.me are one name where case is not told apart (marked)";
        QTest::newRow("case twins, a drive without it") << Pair {{"read.me" + t1, "READ.ME@2024-03-05 10:00:00"}, {"Read.Me" + t2}, "folding", "READ.ME read.me | READ.ME~ Read.Me", twins + '|'};
        // One name in two Unicode forms pairs, each line with the other's placeholder.
        const QString composed = QString::fromUtf8("R\u00e9sum\u00e9.odt"), decomposed = QString::fromUtf8("Re\u0301sume\u0301.odt");
        QTest::newRow("Unicode forms") << Pair {{composed + t2}, {decomposed + t1, "f" + t1}, "", "f~ " + decomposed + "~ " + composed + "+ | f+ " + decomposed + ' ' + composed + '~', ""};
    }
    void match()
    {
        QFETCH(Pair, p);
        makeFiles(t("/L"), p.left);
        makeFiles(t("/R"), p.right);
        QVERIFY(f->showBoth());
        f->form->mnuOptionNewer.setChecked(!p.options.contains("earlier"));
        f->form->mnuOptionContents.setChecked(p.options.contains("contents"));
        f->fs.namesFoldCaseUnder = p.options.contains("folding") ? "/" : "";
        if (p.options.contains("unreadable")) { // in both rounds: Ignore
            f->fs.failOn(FsOperation::Compare, ErrorNumber::PermissionDenied);
            f->fs.failOn(FsOperation::Compare, ErrorNumber::PermissionDenied);
            f->prompter.answerKeys("II");
        }
        for (int round = 0; round < 2; ++round) {
            f->form->mnuMatch.trigger();
            QCOMPARE(f->summary(1) + " | " + f->summary(2), p.after);
        }
        QVERIFY(f->form->mnuOptionSynch.isChecked());
        if (p.options.contains("unreadable"))
            QCOMPARE(f->prompter.lines().value(1), "Error! (Abort Retry Ignore, Question): Error 70\nPermission denied\n" + t("/L/a"));
        for (int pane : {1, 2}) { // a pane of placeholders only had no tick to count
            const int ticked = f->list(pane).SelCount();
            const bool listed = f->summary(pane).remove(QRegularExpression("\\S+~\\+?")).trimmed() != "";
            QCOMPARE(f->status(pane), !listed ? "0 files." : QString(ticked == 1 ? "1 file selected." : "%1 files selected.").arg(ticked));
            QCOMPARE(f->enabled(pane), ticked ? "111" : "000");
        }
        // A ticked line's tool tip says why; unticking takes the reason away.
        auto tip = [&](int pane) {
            const QModelIndex line = f->list(pane).index(0, 0);
            const QString said = line.data(Qt::ToolTipRole).toString();
            return said + (line.data(Qt::AccessibleDescriptionRole).toString() == said ? "" : " (not read)")
                + (line.data(Qt::BackgroundRole).isValid() ? " (marked)" : "");
        };
        if (!p.tips.isEmpty()) {
            QCOMPARE(tip(1) + '|' + tip(2), p.tips);
            f->list(1).setSelected(0, false);
            QCOMPARE(tip(1), QString());
        }
    }

    // Synchronised folders follow each other to the counterpart, or ask, or report one missing.
    void folderSync_data()
    {
        QTest::addColumn<Sync>("s");
        const QString missing = "|? Error in Sub dirList_Change (Abort Retry Ignore, Question): Path not found\nCould not find %/Backup/ProjA/Gone/";
        const QString differ = "? Can't Synchronize! (Yes No, Question): Failed to Synchronise\n%/One\n%/Two\nThese folders do not end in identical names.\n\n"
                               "Do you want to set the Right-hand Path = %/One";
        QTest::newRow("ProjA") << Sync {"/Work/ProjA", "/Backup/ProjA", "", 1, "/Work/ProjA/Src", "/Backup/ProjA/Src", "%/Work %/Backup|%/Backup/ProjA/Src|on|"};
        QTest::newRow("roots apart in case") << Sync {"/Work/ProjA", "/Backup/proja", "I", 1, "/Work/ProjA/Src", "/Backup/proja/Src", "%/Work %/Backup|%/Backup/proja|on"
                                                      "|? Error in Sub dirList_Change (Abort Retry Ignore, Question): Path not found\nCould not find %/Backup/ProjA/Src/"};
        QTest::newRow("from the right") << Sync {"/Work/ProjA", "/Backup/ProjA", "", 2, "/Backup/ProjA/Src", "/Work/ProjA/Src", "%/Work %/Backup|%/Work/ProjA/Src|on|"};
        QTest::newRow("Alpha and Beta") << Sync {"/Work/Alpha", "/Work/Beta", "", 1, "/Work/Alpha/Sub", "/Work/Beta/Sub", "%/Work/Alph %/Work/Bet|%/Work/Beta/Sub|on|"};
        QTest::newRow("plain text") << Sync {"/Work/ProjA", "/Backup/ProjA", "", 1, "/Workshop", "/Backupshop", "%/Work %/Backup|%/Backupshop|on|"};
        QTest::newRow("no root in it") << Sync {"/Work/ProjA", "/Backup/ProjA", "", 1, "", "", "%/Work %/Backup|%|on|"};
        QTest::newRow("one folder") << Sync {"/same", "/same", "", 2, "/same/inner", "", "%/same %/same|%/same/inner|on|"};
        QTest::newRow("differ, Yes") << Sync {"/One", "/Two", "Y", 1, "/One/Sub", "", "%/One %/One|%/One/Sub|on|" + differ};
        QTest::newRow("differ, No") << Sync {"/One", "/Two", "N", 1, "/One/Sub", "", "%/One %/Two|%/Two|off|" + differ};
        QTest::newRow("missing, Abort") << Sync {"/Work/ProjA", "/Backup/ProjA", "A", 1, "/Work/ProjA/Gone", "", "%/Work %/Backup|%/Backup/ProjA|off" + missing};
        QTest::newRow("missing, Ignore") << Sync {"/Work/ProjA", "/Backup/ProjA", "I", 1, "/Work/ProjA/Gone", "", "%/Work %/Backup|%/Backup/ProjA|on" + missing};
    }
    void folderSync()
    {
        QFETCH(Sync, s);
        for (const QString &folder : QStringList {s.left, s.right, s.opened} + s.made.split(' '))
            QVERIFY(QDir().mkpath(t(folder)));
        QVERIFY(f->show(1, t(s.left)) && f->show(2, t(s.right)));
        f->prompter.answerKeys(s.answers);
        f->host.calls.clear();
        f->form->mnuOptionSyncFoldr.trigger();
        const QString roots = f->form->LeftRoot + ' ' + f->form->RightRoot;
        const int listings = f->host.calls.count("pointer 11");
        QVERIFY(f->show(s.pane, t(s.opened)));
        const QString boxes = f->prompter.lines().isEmpty() ? "" : "? " + f->prompter.lines().join("\n? ");
        QCOMPARE(QString(roots + '|' + f->form->pane(3 - s.pane).dirList.Path() + '|' + (f->form->mnuOptionSyncFoldr.isChecked() ? "on" : "off") + '|' + boxes).replace(f->dir.path(), "%"), s.expected);
        QCOMPARE(f->host.calls.count("pointer 11") - listings, s.answers.isEmpty() ? 2 : 1 + (s.answers == "Y"));
        if (f->form->mnuOptionSyncFoldr.isChecked())
            f->form->mnuOptionSyncFoldr.trigger();
        const QString other = f->form->pane(3 - s.pane).dirList.Path();
        QVERIFY(f->show(s.pane, t("/L")));
        QCOMPARE(f->form->pane(3 - s.pane).dirList.Path(), other);
    }

    // A listing that fails on its own folder says what failed, and not the folder that an earlier follow step looked for.
    void failedFolderAfterFollowing()
    {
        QVERIFY(QDir().mkpath(t("/Work/ProjA/Src")) && QDir().mkpath(t("/Backup/ProjA/Src")));
        QVERIFY(f->show(1, t("/Work/ProjA")) && f->show(2, t("/Backup/ProjA")));
        f->form->mnuOptionSyncFoldr.trigger();
        QVERIFY(f->show(1, t("/Work/ProjA/Src")));
        QCOMPARE(f->form->pane(2).dirList.Path(), t("/Backup/ProjA/Src"));
        f->fs.failOn(FsOperation::Enumerate, ErrorNumber::PathNotFound, 1, "/Backup/ProjA/Src/");
        f->prompter.answerKeys("A");
        f->form->dirList_Change(2);
        QCOMPARE(f->prompter.lines(), QStringList {"Error in Sub dirList_Change (Abort Retry Ignore, Question): Path not found"});
    }

    // The client size lays the controls out as designed, never negative, and gives it all back.
    void layout()
    {
        auto text = [](const ControlGeometry &g, std::initializer_list<ControlId> ids) {
            QStringList result;
            for (ControlId id : ids)
                result << QString("%1 %2 %3 %4").arg(g[size_t(id)].left).arg(g[size_t(id)].top).arg(g[size_t(id)].width).arg(g[size_t(id)].height);
            return result.join(", ");
        };
        ControlGeometry designed;
        for (const ControlSpec &spec : designedControls())
            designed[size_t(spec.id)] = spec.designed;
        const auto all = {ControlId::drvList1, ControlId::txtSelect, ControlId::drvList2, ControlId::dirList2,
                          ControlId::lstFiles1, ControlId::lstFiles2, ControlId::txtStatus2, ControlId::picDragBar};
        const ControlGeometry normal = layOut(7110, 6165, designed);
        QCOMPARE(text(normal, all), QStringLiteral("0 0 2722 315, 2767.5 0 1575 315, 4388 0 2722 315, 3578 360 3532 2115, "
                                                   "0 2520 3532 3330, 3578 2520 3532 3330, 3578 5850 3532 315, 0 2480 9915 40"));
        QCOMPARE(text(layOut(9990, 6165, designed), {ControlId::lstFiles1, ControlId::lstFiles2, ControlId::picDragBar}),
                 QStringLiteral("0 2520 4972 3330, 5018 2520 4972 3330, 0 2480 9915 40"));
        const ControlGeometry small = layOut(30, 100, normal);
        QCOMPARE(text(small, {ControlId::txtSelect, ControlId::drvList2, ControlId::lstFiles2, ControlId::txtStatus1}),
                 QStringLiteral("-772.5 0 1575 315, -2692 0 2722 315, -3502 2520 3532 3330, 0 -215 3532 315"));
        QCOMPARE(text(layOut(7110, 6165, small), all), text(normal, all));
        QCOMPARE(text(layOut(46, 6165, normal), {ControlId::lstFiles1}), QStringLiteral("0 2520 0 3330"));
    }

    // The splitter dropped on a list resizes the folder lists and the file lists below them.
    void splitter_data()
    {
        QTest::addColumn<bool>("onFolderList");
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("filesHeight");
        QTest::newRow("left folder list") << true << 1 << 600.0 << 600.0 << 6165.0 - 1005 - 315;
        QTest::newRow("above the top") << true << 2 << -600.0 << 600.0 << 6165.0 - 1005 - 315;
        QTest::newRow("right file list") << false << 2 << 300.0 << 2415.0 << 6165.0 - 2820 - 315;
        QTest::newRow("past the bottom") << true << 1 << 6000.0 << 6000.0 << 3330.0;
    }
    void splitter()
    {
        QFETCH(bool, onFolderList);
        QFETCH(int, index);
        QFETCH(double, y);
        QFETCH(double, height);
        QFETCH(double, filesHeight);
        f->form->clientResized(7110, 6165);
        if (onFolderList)
            f->form->dirList_DragDrop(index, ControlId::picDragBar, 100, y);
        else
            f->form->lstFiles_DragDrop(index, ControlId::picDragBar, 100, y);
        QCOMPARE(f->form->geometry(ControlId::dirList2).height, height);
        QCOMPARE(f->form->geometry(ControlId::picDragBar).top, 360 + height + 5);
        QCOMPARE(f->form->geometry(ControlId::lstFiles2).top, 360 + height + 45);
        QCOMPARE(f->form->geometry(ControlId::lstFiles1).height, filesHeight);
        QCOMPARE(f->form->geometry(ControlId::txtStatus1).top, 5850.0);
    }

    // Help shows its texts, and About opens the maker's site or says why it could not.
    void help_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("box");
        QTest::newRow("opened") << 42 << "";
        QTest::newRow("0") << 0 << "Unknown error 0|Error starting web browser (64)";
        QTest::newRow("32, the last failure") << 32 << "DLL not found|Error starting web browser (64)";
        QTest::newRow("33") << 33 << "";
        QTest::newRow("run-time error") << -53 << "Error 53: File not found\nCould not start your browser.|Dyadix (64)";
    }
    void help()
    {
        QFETCH(int, code);
        QFETCH(QString, box);
        f->shell.result = code < 0 ? Result<int>(ErrorNumber(-code)) : Result<int>(code);
        f->prompter.answerKeys("ONYO");
        f->form->mnuHelpHowTo.trigger();
        f->form->mnuHelpAbout.trigger();
        f->form->setCaption("Dyadix");
        f->form->mnuHelpAbout.trigger();
        const auto &shown = f->prompter.shown();
        const QStringList lines = shown[0].text.split('\n'), first = shown[1].text.split('\n'), second = shown[2].text.split('\n');
        QCOMPARE(shown[0].line().section(':', 0, 0) + '|' + shown[1].line().section(':', 0, 0), QStringLiteral("How to use Dyadix (OK, Information)|About Dyadix (Yes No, Information)"));
        QCOMPARE(QString("%1 %2 ").arg(lines.size()).arg(first.size()) + lines[0] + '|' + lines[1] + lines[7] + lines[11] + '|' + lines[14],
                 QStringLiteral("15 15 Dyadix will help you update folders with the latest file versions.||"
                                "It will then appear in the File menu.  Click it to recall."));
        QCOMPARE(first[0] + '|' + second[0] + '|' + first[1] + '|' + first[14], QStringLiteral("Dyadix - Windows File-Matching Program|Dyadix|"
                                                                                              "Version 1.8.0 - DYX 261206|on our Web Site.  Go to web site now?"));
        QVERIFY(first[6].startsWith("Web site: " + makerWebAddress() + "  e-mail: "));
        QCOMPARE(first.mid(1), second.mid(1));
        QCOMPARE(f->shell.opened, QStringList {makerWebAddress()});
        QCOMPARE(shown.size() == 4 ? shown[3].text + '|' + shown[3].title + " (" + QString::number(shown[3].style) + ')' : QString(), box);
    }
};

QTEST_MAIN(tst_Form)
#include "tst_form.moc"
