#include "fixture.h"
#include "rootonly.h"

using namespace dyadix;
using namespace dyadix::test;

namespace {
const std::int64_t Old = localTime(2024, 3, 1, 10, 0, 17), New = localTime(2024, 3, 5, 16, 45, 3);
// A confirmation's last lines, after what can be had back.
const QString Hint = "\nAre you SURE you want to do this?\n(to turn this message off for this session,\nclick Options > Warn before Actions OFF)";
// What can be had back: nothing without the Trash; with it, what goes there.
const QString NoUndo = "This can not be undone!", ReplacedToTrash = "Files it replaces go to the Trash, from which they can be restored.",
              DeletedToTrash = "They go to the Trash, from which they can be restored.";
struct Story
{
    QString files;   // "L/a=content@o": o, n: the old or new time
    QString setup;   // options off, Match, ticks, faults and changes on disk, in turn
    QString command; // copy>, copy<, move>, move<, del>, del<
    QString answers; // Y, N, C, A, R, I to the boxes in turn
    QString log;     // "? title (buttons, icon): text" for each box, "= title" for the window's
    QString after;   // the folders' files, the Trash's (if any), then the lists' lines
};
// A file as the kernel knows it: which file it is, what it holds and when it was changed.
QString identityOf(const QString &path)
{
    struct stat st {};
    if (::stat(encodeUtf8Name(path).constData(), &st) != 0)
        return QString();
    return QString("%1:%2:%3:").arg(st.st_dev).arg(st.st_ino).arg(st.st_mtim.tv_sec) + readFile(path).toHex();
}
} // namespace
Q_DECLARE_METATYPE(Story)

class tst_Actions : public FixtureTest
{
    Q_OBJECT
private slots:
    // A day's work, a story per row: files, setup, command and answers; then every box and title
    // the user saw ("? title (buttons, icon): text", "= title"), and the folders and lists afterwards.
    void commands_data()
    {
        QTest::addColumn<Story>("story");
        const QString copyAB = "= Copying %/L/a to %/R/a\n= Copying %/L/b to %/R/b\n= Dyadix";
        const auto confirm = [](const QString &title, const QString &text, const QString &undo) {
            return "? " + title + " (Yes No, Question, second default): You are about to " + text + "\n\n" + undo + Hint;
        };
        const QString lr = "2 marked files\nfrom \t%/L/\nto   \t%/R/", rl = "2 marked files\nfrom \t%/R/\nto   \t%/L/";
        const QString notFound = "? Error! (Abort Retry Ignore, Question): Error 53\nFile not found";
        // Each command asks first; No changes nothing, Yes does it with the sources' times.
        QTest::newRow("copy >") << Story {"L/a=1@o L/b=2@n", "tick:L/a,b", "copy>", "Y", confirm("Copy Left to Right >>>?", "Copy " + lr, ReplacedToTrash) + "\n" + copyAB,
                                          "L: a=1@o b=2@n | R: a=1@o b=2@n | a b | "};
        QTest::newRow("copy <") << Story {"R/a=1@o R/b=2@n", "tick:R/a,b", "copy<", "Y", confirm("Copy <<< Right to Left?", "Copy " + rl, ReplacedToTrash) + "\n= Copying %/R/a to %/L/a\n= Copying %/R/b to %/L/b\n= Dyadix",
                                          "L: a=1@o b=2@n | R: a=1@o b=2@n |  | a b"};
        QTest::newRow("move >") << Story {"L/a=1@o L/b=2@n", "tick:L/a,b", "move>", "Y", confirm("Move Left to Right >>>?", "Move " + lr, ReplacedToTrash) + "\n= Moving %/L/a to %/R/a\n= Moving %/L/b to %/R/b\n= Dyadix",
                                          "L: | R: a=1@o b=2@n | a b | "};
        QTest::newRow("move <, No") << Story {"R/a=1@o R/b=2@n", "tick:R/a,b", "move<", "N", confirm("Move <<< Right to Left?", "Move " + rl, ReplacedToTrash), "L: | R: a=1@o b=2@n |  | a+ b+"};
        QTest::newRow("delete >") << Story {"L/a=1@o L/b=2@n", "tick:L/a,b", "del>", "Y", confirm("DELETE from >> Left?", "DELETE 2 marked files from\n%/L/", DeletedToTrash) + "\n= Deleting %/L/b\n= Deleting %/L/a\n= Dyadix",
                                            "L: | R: | T: a=%/L/a b=%/L/b |  | "};
        QTest::newRow("delete <, No") << Story {"R/a=1@o R/b=2@n", "tick:R/a,b", "del<", "N", confirm("DELETE from Right <<?", "DELETE 2 marked files from\n%/R/", DeletedToTrash), "L: | R: a=1@o b=2@n |  | a+ b+"};
        // Without the Trash, nothing can be had back, and the boxes say so.
        QTest::newRow("move <, No, Trash off") << Story {"R/a=1@o R/b=2@n", "trash-off tick:R/a,b", "move<", "N", confirm("Move <<< Right to Left?", "Move " + rl, NoUndo), "L: | R: a=1@o b=2@n |  | a+ b+"};
        QTest::newRow("delete <, No, Trash off") << Story {"R/a=1@o R/b=2@n", "trash-off tick:R/a,b", "del<", "N", confirm("DELETE from Right <<?", "DELETE 2 marked files from\n%/R/", NoUndo), "L: | R: a=1@o b=2@n |  | a+ b+"};
        // Without questions, delete goes from the last ticked line up.
        QTest::newRow("delete order") << Story {"L/0=0 L/1=1 L/2=2 L/3=3", "warn-off tick:L/1,3", "del>", "", "= Deleting %/L/3\n= Deleting %/L/1\n= Dyadix", "L: 0=0 2=2 | R: | T: 1=%/L/1 3=%/L/3 | 0 2 | "};
        // A target newer (Mark Newer off) or bigger brings the question: Yes, No or Cancel.
        const QString warning = "? Target File is %1! (Yes No Cancel, Question): Do you really want to copy\n\n%/R/2\n2024/03/01 10:00 - 5 bytes\n\nover\n\n%/L/2\n%2 - %3 bytes?";
        QTest::newRow("target newer, Yes") << Story {"R/1=s@o R/2=sssss@o R/3=s@o L/2=ttt@n", "warn-off newer-off tick:R/1,2,3", "copy<", "Y",
                                                     "= Copying %/R/1 to %/L/1\n" + warning.arg("Newer", "2024/03/05 16:45", "3") + "\n= Copying %/R/2 to %/L/2\n= Copying %/R/3 to %/L/3\n= Dyadix",
                                                     "L: 1=s@o 2=sssss@o 3=s@o | R: 1=s@o 2=sssss@o 3=s@o | T: 2=%/L/2 | 2 | 1 2 3"};
        QTest::newRow("target bigger, No") << Story {"R/1=s@o R/2=sssss@o R/3=s@o L/2=ttttttttt@o", "warn-off tick:R/1,2,3", "copy<", "N",
                                                     "= Copying %/R/1 to %/L/1\n" + warning.arg("Bigger", "2024/03/01 10:00", "9") + "\n= Copying %/R/3 to %/L/3\n= Dyadix", "L: 1=s@o 2=ttttttttt@o 3=s@o | R: 1=s@o 2=sssss@o 3=s@o | 2 | 1 2+ 3"};
        QTest::newRow("newer and bigger, Cancel") << Story {"R/1=s@o R/2=sssss@o R/3=s@o L/2=ttttttttt@n", "warn-off newer-off tick:R/1,2,3", "copy<", "C",
                                                            "= Copying %/R/1 to %/L/1\n" + warning.arg("Newer and Bigger", "2024/03/05 16:45", "9") + "\n= Dyadix", "L: 1=s@o 2=ttttttttt@n | R: 1=s@o 2=sssss@o 3=s@o | 2 | 1 2+ 3+"};
        QTest::newRow("target newer, Mark Newer on") << Story {"R/2=sssss@o L/2=ttt@n", "warn-off tick:R/2", "copy<", "", "= Copying %/R/2 to %/L/2\n= Dyadix",
                                                               "L: 2=sssss@o | R: 2=sssss@o | T: 2=%/L/2 | 2 | 2"};
        // A ticked placeholder brings the error prompt: Abort, Retry or Ignore.
        QTest::newRow("placeholder, copy, Abort") << Story {"R/a=r L/b=l", "warn-off bigger-off match tick:L/a", "copy>", "A", "= Copying %/L/a to %/R/a\n" + notFound + "\n= Dyadix", "L: b=l | R: a=r | a~+! b+ | a+ b~"};
        QTest::newRow("placeholder, copy, Retry, Ignore") << Story {"R/a=r L/b=l", "warn-off bigger-off match tick:L/a", "copy>", "RI",
                                                                    "= Copying %/L/a to %/R/a\n" + notFound + "\n" + notFound + "\n= Copying %/L/b to %/R/b\n= Dyadix", "L: b=l | R: a=r b=l | a~+! b | a+ b~"};
        QTest::newRow("placeholder, delete, Abort") << Story {"R/a=r L/b=l", "warn-off match tick:L/a", "del>", "A", "= Deleting %/L/b\n= Deleting %/L/a\n" + notFound + "\n= Dyadix", "L: | R: a=r | T: b=%/L/b | a~+! | a+ b~"};
        QTest::newRow("placeholder, delete, Ignore") << Story {"R/a=r L/b=l", "warn-off match tick:L/a", "del>", "I", "= Deleting %/L/b\n= Deleting %/L/a\n" + notFound + "\n= Dyadix", "L: | R: a=r | T: b=%/L/b | a~+! | a+ b~"};
        // A move whose copy or delete fails keeps the source.
        QTest::newRow("move, copy fails") << Story {"L/keep=k L/next=n", "warn-off tick:L/keep,next fail:copy:/keep:61", "move>", "I",
                                                    "= Moving %/L/keep to %/R/keep\n? Error! (Abort Retry Ignore, Question): Error 61\nDisk full\n= Moving %/L/next to %/R/next\n= Dyadix",
                                                    "L: keep=k | R: next=n | keep+! next | "};
        QTest::newRow("move, copy fails, Abort") << Story {"L/a=1@o L/b=2@o", "warn-off tick:L/a,b fail:copy:/b:61", "move>", "A",
                                                           "= Moving %/L/a to %/R/a\n= Moving %/L/b to %/R/b\n? Error! (Abort Retry Ignore, Question): Error 61\nDisk full\n= Dyadix",
                                                           "L: b=2@o | R: a=1@o | a b+! | "};
        QTest::newRow("move, source saved again") << Story {"L/a=1@o L/b=2@o", "warn-off tick:L/a,b saved:L/b", "move>", "O",
                                                            "= Moving %/L/a to %/R/a\n= Moving %/L/b to %/R/b\n= Dyadix\n? Files Changed (OK, Exclamation): 1 file was saved again after the copy to\n%/R/\nwas made: kept in place, still ticked, to be moved again.",
                                                            "L: b=saved again@n | R: a=1@o b=2@o | a b+ | "};
        QTest::newRow("move, delete fails") << Story {"R/d=data", "warn-off tick:R/d fail:kill::70", "move<", "I",
                                                      "= Moving %/R/d to %/L/d\n? Error! (Abort Retry Ignore, Question): Error 70\nPermission denied\n= Dyadix", "L: d=data | R: d=data |  | d+!"};
        // What changes on disk between the listing and a move is reported and touches nothing else.
        const QString moved = "L/f=source@n R/f=target@o", start = "warn-off match ";
        QTest::newRow("source removed") << Story {moved, start + "rm:L/f", "move>", "I", "= Moving %/L/f to %/R/f\n" + notFound + "\n= Dyadix", "L: | R: f=target@o | f+! | f"};
        QTest::newRow("source now a folder") << Story {moved, start + "rm:L/f mkdir:L/f", "move>", "I", "= Moving %/L/f to %/R/f\n? Error! (Abort Retry Ignore, Question): Error 75\nPath/File access error\n= Dyadix", "L: f/ | R: f=target@o | f+! | f"};
        QTest::newRow("source grown") << Story {moved, start + "write:L/f=source,grown", "move>", "", "= Moving %/L/f to %/R/f\n= Dyadix", "L: | R: f=source,grown | T: f=%/R/f | f | f"};
        QTest::newRow("target folder removed") << Story {moved, start + "rmtree:R", "move>", "I", "= Moving %/L/f to %/R/f\n? Error! (Abort Retry Ignore, Question): Error 76\nPath not found\n= Dyadix", "L: f=source@n | R: | f+! | f"};
        QTest::newRow("target read-only") << Story {moved, start + "ro:R/f", "move>", "I", "= Moving %/L/f to %/R/f\n? Error! (Abort Retry Ignore, Question): Error 70\nPermission denied\n= Dyadix", "L: f=source@n | R: f=target@o | f+! | f"};
        // With "Deleted Files to Trash" off, deletes and replaced files are gone for good; where
        // no Trash can be had, nothing is deleted or replaced.
        const QString noTrash = "? Error! (Abort Retry Ignore, Question): Error 86\nNo usable Trash folder on this drive\n";
        QTest::newRow("delete, Trash off") << Story {"L/a=1@o R/a=2@n", "warn-off trash-off tick:L/a", "del>", "", "= Deleting %/L/a\n= Dyadix", "L: | R: a=2@n |  | a"};
        QTest::newRow("replace, Trash off") << Story {"L/a=1@o R/a=2@n", "warn-off trash-off tick:R/a", "copy<", "", "= Copying %/R/a to %/L/a\n= Dyadix", "L: a=2@n | R: a=2@n | a | a"};
        QTest::newRow("delete, no Trash") << Story {"L/a=1@o L/b=2@o", "warn-off no-trash tick:L/a,b", "del>", "RII",
                                                    "= Deleting %/L/b\n" + noTrash + noTrash + "= Deleting %/L/a\n" + noTrash + "= Dyadix", "L: a=1@o b=2@o | R: | a+! b+! | "};
        QTest::newRow("replace, no Trash") << Story {"L/f=old@o R/f=new@n", "warn-off no-trash tick:R/f", "copy<", "I",
                                                     "= Copying %/R/f to %/L/f\n" + noTrash + "= Dyadix", "L: f=old@o | R: f=new@n | f | f+!"};
        // A pipe or device among the ticked files is refused and never opened: the rest go on.
        const QString refused = "? Error! (Abort Retry Ignore, Question): Error 84\nNot a regular file\n";
        QTest::newRow("pipe and device, copy") << Story {"L/a=1 L/z=2", "warn-off fifo:L/pipe ln:L/null=/dev/null match", "copy>", "II",
                                                         "= Copying %/L/a to %/R/a\n= Copying %/L/null to %/R/null\n" + refused + "= Copying %/L/pipe to %/R/pipe\n" + refused + "= Copying %/L/z to %/R/z\n= Dyadix",
                                                         "L: a=1 null@ pipe| z=2 | R: a=1 z=2 | a null+! pipe+! z | a~ null~ pipe~ z~"};
        QTest::newRow("pipe, move") << Story {"L/a=1 L/z=2", "warn-off fifo:L/pipe match", "move>", "I",
                                              "= Moving %/L/a to %/R/a\n= Moving %/L/pipe to %/R/pipe\n" + refused + "= Moving %/L/z to %/R/z\n= Dyadix",
                                              "L: pipe| | R: a=1 z=2 | a pipe+! z | a~ pipe~ z~"};
        QTest::newRow("pipe at the target") << Story {"L/p=data", "warn-off fifo:R/p tick:L/p", "copy>", "I", "= Copying %/L/p to %/R/p\n" + refused + "= Dyadix", "L: p=data | R: p| | p+! | "};
        // A drive that stamps each copy with the time it was made says so once, at the end.
        const QString noTimes = "? File Times Not Kept (OK, Exclamation): The drive does not keep file times: %1 to\n%/R/\n%2 the time of the copy, not %3 own.";
        QTest::newRow("drive keeps no times") << Story {"L/a=1@o L/b=2@n", "warn-off no-times tick:L/a,b", "copy>", "O", copyAB + "\n" + noTimes.arg("2 files copied", "have", "their"), "L: a=1@o b=2@n | R: a=1 b=2 | a b | "};
        QTest::newRow("drive keeps no times, move") << Story {"L/a=1@o", "warn-off no-times tick:L/a", "move>", "O", "= Moving %/L/a to %/R/a\n= Dyadix\n" + noTimes.arg("1 file moved", "has", "its"), "L: | R: a=1 | a | "};
        QTest::newRow("drive holds no attributes") << Story {"L/a=1@o L/b=2@n", "warn-off no-attributes tick:L/a,b", "copy>", "O", copyAB + "\n? Attributes Not Kept (OK, Exclamation): "
                                                             "The drive does not hold all the files' extended attributes. Of the files copied to\n%/R/\n2 without their user attributes (tags, where a download came from).",
                                                             "L: a=1@o b=2@n | R: a=1@o b=2@n | a b | "};
        // A copy writes onto the name the target has: one name in another Unicode form.
        const QString composed = QString::fromUtf8("R\u00e9sum\u00e9"), decomposed = QString::fromUtf8("Re\u0301sume\u0301");
        QTest::newRow("Unicode forms") << Story {"L/" + composed + "=new@n R/" + decomposed + "=old@o", "warn-off match", "copy>", "",
                                                 "= Copying %/L/" + composed + " to %/R/" + decomposed + "\n= Dyadix",
                                                 "L: " + composed + "=new@n | R: " + decomposed + "=new@n | T: " + decomposed + "=%/R/" + decomposed + " | " + decomposed + "~ " + composed + " | " + decomposed + ' ' + composed + '~'};
        // From a drive that does not tell case apart, a copy writes onto the name the other already has.
        QTest::newRow("from a drive without case") << Story {"L/README.TXT=new@n R/readme.txt=old@o", "warn-off folding:L match", "copy>", "",
                                                             "= Copying %/L/README.TXT to %/R/readme.txt\n= Dyadix", "L: README.TXT=new@n | R: readme.txt=new@n | T: readme.txt=%/R/readme.txt | README.TXT | readme.txt"};
        QTest::newRow("target now a folder") << Story {moved, start + "rm:R/f mkdir:R/f", "move>", "I", "= Moving %/L/f to %/R/f\n? Error! (Abort Retry Ignore, Question): Error 82\nThe target is a folder\n= Dyadix", "L: f=source@n | R: f/ | f+! | f"};
    }
    void commands()
    {
        QFETCH(Story, story);
        for (const QString &file : story.files.split(' ', Qt::SkipEmptyParts)) {
            const QString when = file.section('@', 1);
            QVERIFY(writeFile(t("/" + file.section('=', 0, 0)), file.section('=', 1).section('@', 0, 0).toUtf8(), when == "o" ? Old : when == "n" ? New : 0));
        }
        QVERIFY(f->showBoth());
        QStringList log;
        connect(f->form.get(), &FormModel::captionChanged, this, [&] { log << "= " + f->form->Caption(); });
        f->prompter.onShow = [&](const PromptRecord &box) { log << "? " + box.line(); };
        for (const QString &step : story.setup.split(' ', Qt::SkipEmptyParts)) {
            const QString what = step.section(':', 0, 0), arg = step.section(':', 1);
            if (what.endsWith("-off"))
                (what == "warn-off" ? f->form->mnuOptionAction : what == "newer-off" ? f->form->mnuOptionNewer : what == "trash-off" ? f->form->mnuOptionTrash : f->form->mnuOptionWarn1).setChecked(false);
            QVERIFY(what != "no-trash" || writeFile(f->dataHome.path() + "/Trash", "a file where the Trash belongs"));
            f->fs.restampsCopies = f->fs.restampsCopies || what == "no-times";
            f->fs.holdsNoAttributes = f->fs.holdsNoAttributes || what == "no-attributes";
            if (what == "saved") // saved again by the user after its copy was made, before it is removed
                f->fs.beforeFlush = [this, path = t("/" + arg)] { QVERIFY(writeFile(path, "saved again", New)); };
            if (what == "folding") // a drive that does not tell case apart
                f->fs.namesFoldCaseUnder = t("/" + arg + "/");
            if (what == "match")
                f->form->mnuMatch.trigger();
            if (what == "tick") {
                const int pane = arg.startsWith('L') ? 1 : 2;
                for (const QString &name : arg.mid(2).split(',')) {
                    for (int row = 0; row < f->list(pane).ListCount(); ++row)
                        f->list(pane).setSelected(row, f->list(pane).Selected(row) || f->list(pane).entry(row).name == name);
                }
            }
            if (what == "fail")
                f->fs.failOn(arg.startsWith("copy") ? FsOperation::FileCopy : FsOperation::Kill, ErrorNumber(arg.section(':', 2).toInt()), 1, arg.section(':', 1, 1));
            const QString path = t("/" + arg.section('=', 0, 0));
            QVERIFY(what != "rm" || QFile::remove(path));
            QVERIFY(what != "mkdir" || QDir().mkdir(path));
            QVERIFY(what != "rmtree" || QDir(path).removeRecursively());
            QVERIFY(what != "ro" || setMode(path, 0444));
            QVERIFY(what != "write" || writeFile(path, arg.section('=', 1).toUtf8(), New));
            QVERIFY(what != "fifo" || ::mkfifo(encodeUtf8Name(path).constData(), 0644) == 0);
            QVERIFY(what != "ln" || QFile::link(arg.section('=', 1), path));
        }
        f->prompter.answerKeys(story.answers);
        const int index = QStringList {"copy>", "copy<", "move>", "move<", "del>", "del<"}.indexOf(story.command) + 1;
        (index <= 4 ? f->form->mnuCopy(index) : f->form->mnuDel(index - 4))->trigger();
        QCOMPARE(log.join('\n'), QString(story.log).replace('%', f->dir.path()));
        const std::int64_t young = story.setup.contains("write") ? 0 : New; // a file rewritten in the story shows no time
        QStringList disk {"L: " + filesOf(t("/L"), Old, young), "R: " + filesOf(t("/R"), Old, young)};
        if (!f->trashed().isEmpty()) // what went to the Trash, with the paths it came from
            disk << "T: " + f->trashed().join(' ');
        QCOMPARE((disk << f->summary(1) << f->summary(2)).join(" | ").replace(": |", ":|").replace(":  |", ":|"), QString(story.after).replace(": |", ":|"));
    }

    // A copy, move or delete that would lose a file is refused with its error and touches nothing:
    // the source itself by another path, or a file this user may not write (Retry goes on once it is).
    void refusedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("place"); // how the right pane reaches the source, or who owns its file
        QTest::addColumn<int>("mode");      // of the right pane's own file
        QTest::addColumn<QString>("command");
        for (const char *place : {"one folder", "linked folder", "bind mount", "link to the source"}) {
            QTest::addRow("copy, %s", place) << place << 0 << "copy>";
            QTest::addRow("move, %s", place) << place << 0 << "move>";
        }
        for (const auto &[owner, mode] : {std::pair("self", 0444), std::pair("other", 0644), std::pair("group", 0646)}) {
            QTest::addRow("copy over %s, %o", owner, mode) << owner << mode << "copy>";
            QTest::addRow("delete %s, %o", owner, mode) << owner << mode << "del<";
        }
        QTest::newRow("delete, retry once writable") << "self" << 0444 << "retry";
    }
    void refusedAndLeftAlone()
    {
        QFETCH(QString, place);
        QFETCH(int, mode);
        QFETCH(QString, command);
        const bool asNobody = place == "other" || place == "group", retry = command == "retry";
        if (asNobody && ::geteuid() != 0)
            QSKIP("only root can make a file of another owner; the root run of the suite tests this");
        for (const QString &folder : {f->dir.path(), t("/L"), t("/R")})
            QVERIFY(setMode(folder, 0777)); // the other user works here too
        QVERIFY(writeFile(t("/L/f.txt"), "new content", Old + 60));
        QString right = mode ? t("/R") : t("/L"), watched = right + "/f.txt";
        std::unique_ptr<Mount> bind;
        if (place == "linked folder") {
            QVERIFY(QFile::link(t("/L"), right = t("/linked")));
        } else if (place == "bind mount") {
            if (!(bind = Mount::bind(t("/L"))))
                QSKIP("this machine does not let the test bind-mount a folder");
            right = bind->dir.path();
        } else if (place == "link to the source") {
            QVERIFY(QFile::link(t("/L/f.txt"), (right = t("/R")) + "/f.txt"));
        } else if (mode) {
            QVERIFY(writeFile(watched, "kept", Old));
            if (place == "group") // root's file in nobody's group, which may not write it
                QVERIFY(::chown(encodeUtf8Name(watched).constData(), 0, ActAsNobody::Id) == 0);
            QVERIFY(setMode(watched, mode));
        }
        const QString before = identityOf(watched);
        std::optional<ActAsNobody> nobody;
        if (asNobody)
            QVERIFY(nobody.emplace().active);
        QVERIFY(f->show(1, t("/L")) && f->show(2, right));
        f->form->mnuOptionAction.setChecked(false);
        QString titleAtBox;
        f->prompter.onShow = [&](const PromptRecord &) {
            titleAtBox = f->form->Caption();
            QVERIFY(!retry || setMode(watched, 0644));
        };
        f->prompter.answer(retry ? MsgAnswer::Retry : MsgAnswer::Ignore);
        const int ticked = command == "copy>" || command == "move>" ? 1 : 2;
        f->tick(ticked, {"f.txt"});
        (ticked == 2 ? f->form->mnuDel(2) : f->form->mnuCopy(command == "copy>" ? 1 : 3))->trigger();
        nobody.reset();
        QCOMPARE(f->prompter.lines(), QStringList {mode ? "Error! (Abort Retry Ignore, Question): Error 70\nPermission denied" : "Error! (Abort Retry Ignore, Question): Error 81\nSource and target are the same file"});
        QVERIFY2(titleAtBox.endsWith(right + "/f.txt"), qPrintable(titleAtBox));
        QCOMPARE(f->prompter.shown().at(0).about, titleAtBox); // what a screen reader reads after the box's text
        // Not done, the file keeps its tick, and its line says why.
        if (!retry)
            QCOMPARE(f->form->pane(ticked).lstFiles.noteAt(0), QString(ticked == 2 ? "Not deleted: " : command == "move>" ? "Not moved: " : "Not copied: ") + (mode ? "Error 70, Permission denied" : "Error 81, Source and target are the same file"));
        QCOMPARE(identityOf(watched), retry ? QString() : before);
        QCOMPARE(readFile(t("/L/f.txt")), QByteArray("new content"));
        QCOMPARE(namesIn(t("/L")), QStringList {"f.txt"});
        QCOMPARE(QFileInfo(t("/R/f.txt")).isSymLink(), place == "link to the source");
        QCOMPARE(f->summary(ticked) + f->form->Caption(), !retry ? "f.txt+!Dyadix" : ticked == 1 ? "f.txtDyadix" : "Dyadix");
    }

    // Copied onto a FAT stick, which stamps a renamed file with the time of the rename, files keep their times: a second Match ticks
    // nothing, and nothing is said. The stick does not tell case apart: UPPER.TXT pairs with its upper.txt and is written onto it.
    void copyOntoAStick()
    {
        const auto stick = Mount::fat(4096);
        if (!stick)
            QSKIP("only root may mount a FAT image; the root run of the suite tests this");
        QVERIFY(writeFile(t("/L/a.txt"), "a", Old) && writeFile(t("/L/b.txt"), "bb", New));
        QVERIFY(writeFile(t("/L/UPPER.TXT"), "new", New) && writeFile(stick->dir.path() + "/upper.txt", "old", Old)); // one name there
        QVERIFY(f->show(1, t("/L")) && f->show(2, stick->dir.path()));
        f->form->mnuOptionAction.setChecked(false);
        f->form->mnuMatch.trigger();
        f->form->mnuCopy(1)->trigger();
        f->form->mnuMatch.trigger();
        QCOMPARE(f->summary(1) + " | " + f->summary(2), QStringLiteral("a.txt b.txt UPPER.TXT | a.txt b.txt upper.txt"));
        QCOMPARE(f->lines(2).join('|').toLower(), f->lines(1).join('|').toLower());
        QCOMPARE(namesIn(stick->dir.path()).join(' ') + ' ' + readFile(stick->dir.path() + "/upper.txt"), QStringLiteral(".Trash-0 a.txt b.txt upper.txt new")); // the old one in the stick's Trash
        QVERIFY(f->prompter.shown().empty());
    }

    // Links are never followed: not by delete, copy or listing (a dangling one is left out).
    void links()
    {
        QVERIFY(QDir().mkdir(t("/outside")) && writeFile(t("/outside/precious.txt"), "precious", Old));
        QVERIFY(QFile::link(t("/outside/precious.txt"), t("/L/to-file")) && QFile::link(t("/outside"), t("/L/to-folder")));
        QVERIFY(QFile::link(t("/nowhere"), t("/L/dangling")));
        QVERIFY(writeFile(t("/outside/linked.txt"), "old", Old) && QFile::link(t("/outside/linked.txt"), t("/R/overwritten")));
        QVERIFY(writeFile(t("/L/overwritten"), "new and longer content", Old + 60));
        f->prompter.answerKeys("II");
        QVERIFY(f->showBoth());
        QCOMPARE(f->prompter.texts(), QStringList(2, "File not found on " + t("/L/dangling")));
        QVERIFY2(f->status(1).startsWith("2 files, 30 bytes"), qPrintable(f->status(1)));
        QCOMPARE(f->summary(1), QStringLiteral("overwritten to-file"));
        f->prompter.clear();
        f->form->mnuOptionAction.trigger();
        f->tick(1, {"overwritten"});
        f->form->mnuCopy(1)->trigger();
        QVERIFY(QFileInfo(t("/R/overwritten")).isSymLink());
        QCOMPARE(readFile(t("/outside/linked.txt")), QByteArray("new and longer content"));
        QCOMPARE(modifiedOf(t("/outside/linked.txt")), Old + 60);
        f->tick(1, {"to-file"});
        f->form->mnuDel(1)->trigger();
        QCOMPARE(namesIn(t("/L")), (QStringList {"dangling", "overwritten", "to-folder"}));
        QCOMPARE(namesIn(t("/outside")), (QStringList {"linked.txt", "precious.txt"}));
        QCOMPARE(readFile(t("/outside/precious.txt")), QByteArray("precious"));
    }

    // A name with odd characters or bytes goes through listing, Match, copy, move and delete.
    void oddNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        for (const QByteArray &name : {QByteArray("a\tb.txt"), QByteArray("line\nfeed"), QByteArray("C:|*.*|D:"), QByteArray("R&D,x"),
                                       QByteArray("  both ends  "), QByteArray(251, 'n') + ".txt", QByteArray("caf\xe9 \xff.txt"), QByteArray("Twin")})
            QTest::newRow(name.toPercentEncoding().left(30)) << name;
    }
    void oddNames()
    {
        QFETCH(QByteArray, name);
        const QString shown = decodeUtf8Name(std::string_view(name.constData(), size_t(name.size())));
        QVERIFY(writeFile(encodeUtf8Name(t("/L/")) + name, "content", Old));
        QVERIFY(writeFile(t("/L/twin"), "twin", Old));
        QVERIFY(f->showBoth());
        f->form->mnuOptionAction.trigger();
        f->form->mnuMatch.trigger();
        QVERIFY(f->summary(2).contains(shown + "~"));
        f->form->mnuCopy(1)->trigger();
        QCOMPARE(readFile(t("/R/") + shown), QByteArray("content"));
        QCOMPARE(modifiedOf(t("/R/") + shown), Old);
        QVERIFY(writeFile(encodeUtf8Name(t("/L/")) + name, "newer content", Old + 600));
        f->form->mnuMatch.trigger();
        QCOMPARE(f->list(1).SelCount(), 1);
        QVERIFY(f->list(1).Selected(f->rowOf(1, shown)));
        f->form->mnuCopy(3)->trigger();
        QCOMPARE(namesIn(t("/L")), QStringList {"twin"});
        QCOMPARE(readFile(t("/R/") + shown), QByteArray("newer content"));
        f->tick(2, {shown});
        f->form->mnuDel(2)->trigger();
        QCOMPARE(namesIn(t("/R")), QStringList {"twin"});
    }
};

QTEST_MAIN(tst_Actions)
#include "tst_actions.moc"
