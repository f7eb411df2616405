#include "fixture.h"
#include "rootonly.h"

#include <QProcess>

using namespace dyadix;
using namespace dyadix::test;

namespace {
const std::int64_t Old = localTime(2024, 3, 1, 10, 0), New = localTime(2024, 3, 5, 16, 45);
struct TreeStory
{
    QString files;   // "L/a/b=content@o" (o, n: old or new time), "L/d/" a folder, "L/x->target" a link
    QString setup;   // "filter:*.txt", "unreadable:L/d", "match", "tick:L/a/b"
    QString answers; // to the boxes in turn
    QString command; // copy>, copy<, move>, del>, or "level": Match, Copy!>, <Copy! and Match again
    QString log;     // each box as "title (buttons, icon): text"
    QString after;   // the lists' lines ("name", "~" placeholder, "+" ticked) | the status lines
    QString disk;    // after a command: both trees' files ("a/b=content@o") and folders ("a/")
};
} // namespace
Q_DECLARE_METATYPE(TreeStory)

// Two whole folder trees side by side with "Include Subfolders": a story of a day's work per row.
class tst_Trees : public FixtureTest
{
    Q_OBJECT
private slots:
    void stories_data()
    {
        QTest::addColumn<TreeStory>("story");
        // Every file of the tree is a line named by its path below the pane's folder; the filter
        // takes the file's own name; folders, even empty ones, are no lines.
        QTest::newRow("nested, filtered") << TreeStory {"L/a.txt=1@o L/2024/06/img.jpg=22@o L/2024/06/x.txt=333@n L/empty/ R/b.TXT=4@o", "filter:*.txt", "", "", "",
                                                        "2024/06/x.txt a.txt | b.TXT | 2 files, 4 bytes, 2024/03/01 10:00 to 2024/03/05 16:45 | 1 files, 1 bytes, 2024/03/01 10:00 to 2024/03/01 10:00", ""};
        // A link to a folder, one back up the tree among them, is not followed; a link to a file is a line.
        QTest::newRow("links") << TreeStory {"L/sub/f=1@o L/sub/up->.. L/loop->. L/file->sub/f", "", "", "", "",
                                             "file sub/f |  | 2 files, 2 bytes, 2024/03/01 10:00 to 2024/03/01 10:00 | 0 files.", ""};
        // A subfolder this user may not read brings the listing's prompt with its path; Ignore leaves it out, Abort ends the listing.
        QTest::newRow("unreadable, Ignore") << TreeStory {"L/ok/f=1@o L/secret/g=2@o", "unreadable:L/secret", "I", "", "Error in Sub dirList_Change (Abort Retry Ignore, Question): Permission denied on %/L/secret/",
                                                          "ok/f |  | 1 files, 1 bytes, 2024/03/01 10:00 to 2024/03/01 10:00 | 0 files.", ""};
        QTest::newRow("unreadable, Abort") << TreeStory {"L/ok/f=1@o L/secret/g=2@o L/z/h=3@o", "unreadable:L/secret", "A", "", "Error in Sub dirList_Change (Abort Retry Ignore, Question): Permission denied on %/L/secret/",
                                                         "ok/f |  | Left | 0 files.", ""};
        // What one side could not read is not taken for missing: the other side's files there stay unticked, saying why.
        QTest::newRow("unreadable, Ignore, Match") << TreeStory {"L/ok/f=1@o L/secret/g=2@o R/secret/g=2@o R/new=3@o", "match unreadable:L/secret", "II", "",
                                                                 "Error in Sub dirList_Change (Abort Retry Ignore, Question): Permission denied on %/L/secret/\n"
                                                                 "Error in Sub dirList_Change (Abort Retry Ignore, Question): Permission denied on %/L/secret/",
                                                                 "new~ ok/f+ secret/g~ | new+ ok/f~ secret/g | 1 file selected. | 1 file selected.", ""};
        QTest::newRow("unreadable folder, Ignore, Match") << TreeStory {"L/a=1@o R/b=2@o", "match unreadable:R", "II", "",
                                                                        "Error in Sub dirList_Change (Abort Retry Ignore, Question): Permission denied\n"
                                                                        "Error in Sub dirList_Change (Abort Retry Ignore, Question): Permission denied", "a | a~ | 0 files selected. | 0 files.", ""};
        // Abort inside a subfolder read again after Retry ends the listing there too.
        QTest::newRow("unreadable, Retry, Abort inside") << TreeStory {"L/ok/f=1@o L/secret/a->none L/secret/b=2@o", "readable-on-retry unreadable:L/secret", "RA", "",
                                                                       "Error in Sub dirList_Change (Abort Retry Ignore, Question): Permission denied on %/L/secret/\n"
                                                                       "Error in Sub dirList_Change (Abort Retry Ignore, Question): File not found on %/L/secret/a", "ok/f |  | Left | 0 files.", ""};
        // With folders synchronised, the other pane follows to the counterpart and lists its tree.
        QTest::newRow("synchronised folders") << TreeStory {"L/p/sub/a/1=1@o R/p/sub/b/2=2@o L/p/other=3@o", "sync", "", "", "",
                                                            "a/1 | b/2 | 1 files, 1 bytes, 2024/03/01 10:00 to 2024/03/01 10:00 | 1 files, 1 bytes, 2024/03/01 10:00 to 2024/03/01 10:00", ""};
        // Match pairs lines by their relative paths, in one order with the lists.
        QTest::newRow("match") << TreeStory {"L/a/x=1@n R/a/x=1@o R/b/y=2@o L/a.x=3@o L/A/z=4@o", "match", "", "", "",
                                             "a.x+ a/x+ A/z+ b/y~ | a.x~ a/x A/z~ b/y+ | 3 files selected. | 1 file selected.", ""};
        // Copy and move make the folders on the way, as the source has them, and keep each file's
        // time; a move leaves the folders it empties; delete takes files only.
        QTest::newRow("copy into new folders") << TreeStory {"L/2024/06/img=abc@o L/top=t@n R/2024/", "match", "", "copy>", "", "2024/06/img top | 2024/06/img~ top~ | 0 files selected. | 0 files.",
                                                             "L: 2024/ 2024/06/ 2024/06/img=abc@o top=t@n | R: 2024/ 2024/06/ 2024/06/img=abc@o top=t@n"};
        QTest::newRow("move") << TreeStory {"L/d/e/f=1@o", "match", "", "move>", "", "d/e/f | d/e/f~ | 0 files selected. | 0 files.", "L: d/ d/e/ | R: d/ d/e/ d/e/f=1@o"};
        QTest::newRow("delete deep") << TreeStory {"L/d/e/f=1@o L/g=2@o", "tick:L/d/e/f", "", "del>", "", "g |  | 1 file selected. | 0 files.", "L: d/ d/e/ g=2@o | R: "};
        // A file where the path needs a folder, or a folder where a file would go, is refused and stays.
        QTest::newRow("file in the way") << TreeStory {"L/a/b=1@o R/a=2@o", "tick:L/a/b", "I", "copy>", "Error! (Abort Retry Ignore, Question): Error 87\nA file stands where a folder belongs",
                                                       "a/b+! | a | 1 file selected. | 1 files, 1 bytes, 2024/03/01 10:00 to 2024/03/01 10:00", "L: a/ a/b=1@o | R: a=2@o"};
        QTest::newRow("folder in the way") << TreeStory {"L/a=1@o R/a/b=2@o", "tick:L/a", "I", "copy>", "Error! (Abort Retry Ignore, Question): Error 82\nThe target is a folder",
                                                         "a+! | a/b | 1 file selected. | 1 files, 1 bytes, 2024/03/01 10:00 to 2024/03/01 10:00", "L: a=1@o | R: a/ a/b=2@o"};
        // Two trees that differ as real folders do are brought level: a second Match ticks nothing.
        QTest::newRow("brought level") << TreeStory {"L/x/1=L1@n R/x/1=R1@o L/left/f=2@o R/right/g=3@o R/y=R4@n L/y=L4@o", "", "", "level", "",
                                                     "left/f right/g x/1 y | left/f right/g x/1 y | 0 files selected. | 0 files selected.",
                                                     "L: left/ left/f=2@o right/ right/g=3@o x/ x/1=L1@n y=R4@n | R: left/ left/f=2@o right/ right/g=3@o x/ x/1=L1@n y=R4@n"};
        // A long listing can be stopped: the files listed so far stay, and the status says so.
        QTest::newRow("stopped") << TreeStory {"L/top=1@o L/a/1=1@o L/b/2=2@o", "stop", "Y", "", "Stop (Yes No, Question): Stop the listing here?\n\nThe files listed so far stay in the list.",
                                               "a/1 |  | Listing stopped: 1 files, 1 bytes, 2024/03/01 10:00 to 2024/03/01 10:00 | 0 files.", ""};
    }
    void stories()
    {
        QFETCH(TreeStory, story);
        for (const QString &file : story.files.split(' ', Qt::SkipEmptyParts)) {
            const QString path = t("/" + file.section('=', 0, 0).section("->", 0, 0));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            if (file.endsWith('/'))
                QVERIFY(QDir().mkpath(path));
            else if (file.contains("->"))
                QVERIFY(QFile::link(file.section("->", 1), path));
            else
                QVERIFY(writeFile(path, file.section('=', 1).section('@', 0, 0).toUtf8(), file.endsWith("@n") ? New : Old));
        }
        std::optional<ActAsNobody> nobody;
        f->prompter.answerKeys(story.answers);
        f->form->mnuOptionSubfolders.setChecked(true);
        for (const QString &step : story.setup.split(' ', Qt::SkipEmptyParts)) {
            const QString what = step.section(':', 0, 0), arg = step.section(':', 1);
            if (what == "filter")
                f->form->txtSelect.setText(arg);
            if (what == "stop") // asked once the first folder (in list order) is listed
                f->fs.onTreeBatch = [this]() { f->form->stopWork(); };
            if (what == "readable-on-retry") {
                if (::geteuid() == 0)
                    QSKIP("nobody may not give back what root took; the user run tests this");
                f->prompter.onShow = [this, arg = t("/L/secret")](const PromptRecord &) { setMode(arg, 0755); };
            }
            if (what == "unreadable") { // a user meets it as a user; root as nobody
                QVERIFY(setMode(t("/" + arg), 0));
                if (::geteuid() == 0) {
                    QProcess::execute("chmod", {"-R", "a+rwX", f->dir.path()});
                    QVERIFY(setMode(t("/" + arg), 0) && setMode(f->dir.path(), 0777) && nobody.emplace().active);
                }
            }
        }
        QVERIFY(f->showBoth());
        f->form->mnuOptionAction.setChecked(false);
        if (story.setup == "sync") {
            QVERIFY(f->show(1, t("/L/p")) && f->show(2, t("/R/p")));
            f->form->mnuOptionSyncFoldr.trigger();
            QVERIFY(f->show(1, t("/L/p/sub")));
            QCOMPARE(f->form->pane(2).dirList.Path(), t("/R/p/sub"));
        }
        if (story.setup.contains("match") || story.command == "level")
            f->form->mnuMatch.trigger();
        for (const QString &step : story.setup.split(' ', Qt::SkipEmptyParts)) {
            if (step.startsWith("tick:"))
                f->tick(step[5] == 'L' ? 1 : 2, {step.mid(7)});
        }
        const QStringList commands = {"copy>", "copy<", "move>", "del>"};
        if (commands.contains(story.command))
            (story.command == "del>" ? f->form->mnuDel(1) : f->form->mnuCopy(commands.indexOf(story.command) + 1))->trigger();
        if (story.command == "level") {
            f->form->mnuCopy(1)->trigger();
            f->form->mnuCopy(2)->trigger();
            f->form->mnuMatch.trigger();
        }
        nobody.reset();
        if (story.setup.contains("unreadable:L/secret") && story.setup.contains("match"))
            QCOMPARE(f->list(2).noteAt(f->rowOf(2, "secret/g")), QStringLiteral("Not ticked: the other pane could not read secret/"));
        if (story.setup.contains("unreadable:R"))
            QCOMPARE(f->list(1).noteAt(0), QStringLiteral("Not ticked: the other pane's folder was not read whole"));
        QCOMPARE(f->prompter.lines().join('\n'), QString(story.log).replace('%', f->dir.path()));
        QCOMPARE(QStringList({f->summary(1), f->summary(2), f->status(1), f->status(2)}).join(" | "), story.after);
        if (!story.disk.isEmpty())
            QCOMPARE("L: " + filesOf(t("/L"), Old, New, true) + " | R: " + filesOf(t("/R"), Old, New, true), story.disk);
        if (story.setup.contains("unreadable"))
            QVERIFY(setMode(t("/" + story.setup.section(':', 1)), 0755));
    }
};

QTEST_MAIN(tst_Trees)
#include "tst_trees.moc"
