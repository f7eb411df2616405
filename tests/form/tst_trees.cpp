#include "testkit.h"

#include <QDir>
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

using namespace dyadix;
using namespace dyadix::test;

namespace {
const std::int64_t Old = localTime(2024, 3, 1, 10, 0), New = localTime(2024, 3, 5, 16, 45);
struct TreeStory
{
    QString files;   // "L/a/b=content@o" (o, n: old or new time), "L/d/" a folder, "L/x->target" a link
    QString setup;   // "filter:*.txt", "unreadable:L/d", "match", "tick:L/a/b"
    QString answers; // to the boxes in turn
    QString log;     // each box as "title (style): text"
    QString after;   // the lists' lines ("name", "~" placeholder, "+" ticked) | the status lines
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
        QTest::newRow("nested, filtered") << TreeStory {"L/a.txt=1@o L/2024/06/img.jpg=22@o L/2024/06/x.txt=333@n L/empty/ R/b.TXT=4@o", "filter:*.txt", "", "",
                                                        "2024/06/x.txt a.txt | b.TXT | 2 files, 4 bytes, 2024/03/01 10:00 to 2024/03/05 16:45 | 1 files, 1 bytes, 2024/03/01 10:00 to 2024/03/01 10:00"};
        // A link to a folder, one back up the tree among them, is not followed; a link to a file is a line.
        QTest::newRow("links") << TreeStory {"L/sub/f=1@o L/sub/up->.. L/loop->. L/file->sub/f", "", "", "",
                                             "file sub/f |  | 2 files, 2 bytes, 2024/03/01 10:00 to 2024/03/01 10:00 | 0 files."};
        // A subfolder this user may not read brings the listing's prompt with its path; Ignore
        // leaves it out, Abort ends the listing.
        QTest::newRow("unreadable, Ignore") << TreeStory {"L/ok/f=1@o L/secret/g=2@o", "unreadable:L/secret", "I", "Error in Sub dirList_Change (34): Permission denied on %/L/secret/",
                                                          "ok/f |  | 1 files, 1 bytes, 2024/03/01 10:00 to 2024/03/01 10:00 | 0 files."};
        // Match pairs lines by their relative paths, in one order with the lists.
        QTest::newRow("match") << TreeStory {"L/a/x=1@n R/a/x=1@o R/b/y=2@o L/a.x=3@o L/A/z=4@o", "match", "", "",
                                             "a.x+ a/x+ A/z+ b/y~ | a.x~ a/x A/z~ b/y+ | 3 files selected. | 1 file selected."};
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
            if (what == "unreadable") { // a user meets it as a user; root as nobody
                QVERIFY(setMode(t("/" + arg), 0));
                if (::geteuid() == 0) {
                    QProcess::execute("chmod", {"-R", "a+rwX", f->dir.path()});
                    QVERIFY(setMode(t("/" + arg), 0) && setMode(f->dir.path(), 0777) && nobody.emplace().active);
                }
            }
        }
        QVERIFY(f->showBoth());
        if (story.setup.contains("match"))
            f->form->mnuMatch.trigger();
        nobody.reset();
        QCOMPARE(f->prompter.lines().join('\n'), QString(story.log).replace('%', f->dir.path()));
        QCOMPARE(QStringList({f->summary(1), f->summary(2), f->status(1), f->status(2)}).join(" | "), story.after);
        if (story.setup.contains("unreadable"))
            QVERIFY(setMode(t("/" + story.setup.section(':', 1)), 0755));
    }
};

QTEST_MAIN(tst_Trees)
#include "tst_trees.moc"
