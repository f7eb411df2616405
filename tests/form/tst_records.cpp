#include "core/inisettingsstore.h"

#include "fixture.h"

#include <QRandomGenerator>
#include <QRegularExpression>

using namespace dyadix;
using namespace dyadix::test;

namespace {
const std::int64_t Old = localTime(2024, 3, 1, 10, 0), New = localTime(2024, 3, 5, 16, 45);
struct Story
{
    QString files; // "L/a=content@o": o, n: the old or new time
    QString steps; // what the user does, in turn, each Match in a run of the program of its own
    QString answers; // Y, N, O to the boxes in turn
    QString after; // the lists' lines after the last Match, the unticked lines' notes ("R:name=note"), the boxes' titles and first lines
};
} // namespace
Q_DECLARE_METATYPE(Story)

// Two folders brought level and changed over days, each Match in a new run of the program with
// "Detect Deletions" on (as at start): the record of the last time they were in step, kept in
// the user's state folder, tells a deleted file from a new one, a change on both sides from a
// change on one, and a clock's shift from a change.
class tst_Records : public FixtureTest
{
    Q_OBJECT
    QTemporaryDir state;
    IniSettingsStore store; // the real settings and state folders
    QString records() const { return state.path() + "/dyadix"; }

private slots:
    void initTestCase() { qputenv("XDG_STATE_HOME", state.path().toLocal8Bit()); }

    void stories_data()
    {
        QTest::addColumn<Story>("story");
        const QString level = "L/doc=d@o R/doc=d@o L/old-draft.doc=x@o R/old-draft.doc=x@o";
        // A file deleted on one side on purpose stays deleted; a new file is carried over.
        QTest::newRow("the week") << Story {level, "match rm:L/old-draft.doc put:R/new.doc=n@n match", "",
                                            "L: doc new.doc~ old-draft.doc~ | R: doc new.doc+ old-draft.doc | L:old-draft.doc~=Deleted on the Left since D | R:old-draft.doc=Deleted on the Left since D | "};
        QTest::newRow("deleted on the right") << Story {level, "match rm:R/doc match", "", "L: doc old-draft.doc | R: doc~ old-draft.doc | L:doc=Deleted on the Right since D | R:doc~=Deleted on the Right since D | "};
        // Deleted on one side and changed on the other since: the change is carried over, as without a record.
        QTest::newRow("deleted, and changed on the other side") << Story {level, "match rm:R/doc put:L/doc=d2@n match", "", "L: doc+ old-draft.doc | R: doc~ old-draft.doc |  | "};
        QTest::newRow("changed on both sides") << Story {level, "match put:L/doc=left@n put:R/doc=right!@n2 match", "",
                                                         "L: doc old-draft.doc | R: doc old-draft.doc | L:doc=Changed on both sides since D (conflict) | R:doc=Changed on both sides since D (conflict) | "};
        QTest::newRow("changed on one side") << Story {level, "match put:R/doc=right@n match", "", "L: doc old-draft.doc | R: doc+ old-draft.doc |  | "};
        QTest::newRow("an hour's shift on a FAT drive") << Story {level, "match shift:R/doc=60 match", "",
                                                                  "L: doc old-draft.doc | R: doc old-draft.doc | L:doc=Unchanged since D: its time moved by 1 hour (daylight saving or a time zone) | R:doc=Unchanged since D: its time moved by 1 hour (daylight saving or a time zone) | "};
        // A copy of this program brings a pair in step: a file moved away later is not brought back.
        QTest::newRow("copied, then deleted") << Story {"L/a=1@o", "match copy> rm:R/a match", "", "L: a | R: a~ | L:a=Deleted on the Right since D | R:a~=Deleted on the Right since D | "};
        // Gone from both sides, a name leaves the record: made again on one side, it is new.
        QTest::newRow("gone from both, then new") << Story {level, "match rm:L/doc rm:R/doc match put:L/doc=d@o match", "", "L: doc+ old-draft.doc | R: doc~ old-draft.doc |  | "};
        // An empty side where ten or more files were in step asks first: No ends Match with nothing ticked; Yes matches
        // without the record.
        QString ten;
        for (int i = 0; i < 10; ++i)
            ten += QString(" L/f%1=1@o R/f%1=1@o").arg(i);
        const QString box = "Detect Deletions: The Left folder holds no files; at the last Match on D it held 10. Is its drive connected?";
        QTest::newRow("drive missing, No") << Story {ten, "match rmall:L match", "N", "L:  | R: f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 |  | " + box};
        QTest::newRow("drive missing, Yes") << Story {ten, "match rmall:L match", "Y", "L: f0~ f1~ f2~ f3~ f4~ f5~ f6~ f7~ f8~ f9~ | R: f0+ f1+ f2+ f3+ f4+ f5+ f6+ f7+ f8+ f9+ |  | " + box};
        // A damaged record is set aside whole; that Match is one without the record, and begins a new one.
        QTest::newRow("damaged record") << Story {level, "match garble rm:L/doc match", "O",
                                                  "L: doc~ old-draft.doc | R: doc+ old-draft.doc |  | Detect Deletions: The record of the last Match of these folders could not be read. It is kept as"};
        QTest::newRow("damaged record, next Match") << Story {level, "match garble match rm:L/doc match", "O",
                                                              "L: doc~ old-draft.doc | R: doc old-draft.doc | L:doc~=Deleted on the Left since D | R:doc=Deleted on the Left since D | Detect Deletions: The record of the last Match of these folders could not be read. It is kept as"};
        // With and without subfolders, a pair of folders has two records.
        QTest::newRow("subfolders kept apart") << Story {"L/s/a=1@o R/s/a=1@o L/b=1@o R/b=1@o", "match subfolders rm:L/b match", "", "L: b~ s/a | R: b+ s/a |  | "};
        // Where case does not count, a copy onto the name in another case takes its entry's place.
        QTest::newRow("no case, copied, then deleted") << Story {"L/Report.txt=d@o R/report.txt=d@o", "folding match put:R/report.txt=new@n match copy< rm:L/Report.txt match", "",
                                                                 "L: report.txt~ | R: report.txt | L:report.txt~=Deleted on the Left since D | R:report.txt=Deleted on the Left since D | "};
        // With the option off, Match is as without it and nothing is written.
        QTest::newRow("option off") << Story {level, "off match rm:L/doc match", "", "L: doc~ old-draft.doc | R: doc+ old-draft.doc |  | "};
    }
    void stories()
    {
        QFETCH(Story, story);
        QVERIFY(QDir(records()).removeRecursively());
        for (const QString &file : story.files.split(' ', Qt::SkipEmptyParts)) {
            const QString when = file.section('@', 1);
            const QString path = t("/" + file.section('=', 0, 0));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()) && writeFile(path, file.section('=', 1).section('@', 0, 0).toUtf8(), when == "o" ? Old : New));
        }
        f->prompter.answerKeys(story.answers);
        QStringList boxes;
        f->prompter.onShow = [&](const PromptRecord &box) { boxes << box.title + ": " + box.text.section('\n', 0, 0); };
        bool off = false, subfolders = false;
        for (const QString &step : story.steps.split(' ')) {
            const QString what = step.section(':', 0, 0), path = t("/" + step.section(':', 1).section('=', 0, 0));
            const QString value = step.section('=', 1);
            off = off || what == "off";
            subfolders = subfolders || what == "subfolders";
            if (what == "match") { // a run of its own
                f->form = f->makeForm(store);
                f->form->SettingsApp = "dyadix";
                f->form->mnuOptionAction.setChecked(false);
                f->form->mnuOptionDeletions.setChecked(!off);
                f->form->mnuOptionSubfolders.setChecked(subfolders);
                QVERIFY(f->showBoth());
                f->form->mnuMatch.trigger();
            }
            if (what == "copy>" || what == "copy<")
                f->form->mnuCopy(what == "copy>" ? 1 : 2)->trigger();
            if (what == "folding") // a drive that does not tell case apart
                f->fs.namesFoldCaseUnder = t("/");
            QVERIFY(what != "rm" || QFile::remove(path));
            QVERIFY(what != "rmall" || (QDir(path).removeRecursively() && QDir().mkdir(path)));
            QVERIFY(what != "put" || writeFile(path, value.section('@', 0, 0).toUtf8(), value.endsWith("@n2") ? New + 86400 : value.endsWith("@n") ? New : Old));
            QVERIFY(what != "shift" || writeFile(path, readFile(path), modifiedOf(path) + 60 * value.toInt()));
            if (what == "garble") {
                const QStringList kept = QDir(records()).entryList(QDir::Files);
                QCOMPARE(kept.size(), 1);
                QByteArray noise(4096, 0);
                QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
                QVERIFY(writeFile(records() + '/' + kept[0], noise));
            }
        }
        QStringList notes;
        for (int pane : {1, 2}) {
            const QStringList lines = f->summary(pane).split(' ');
            for (int i = 0; i < f->list(pane).ListCount(); ++i) {
                if (!f->list(pane).noteAt(i).isEmpty() && !f->list(pane).Selected(i)) // not why a line is ticked
                    notes << QString(pane == 1 ? "L:" : "R:") + lines[i] + '=' + f->list(pane).noteAt(i) + (f->list(pane).conflictAt(i) ? " (conflict)" : "");
            }
        }
        const QString seen = QString("L: %1 | R: %2 | %3 | %4").arg(f->summary(1), f->summary(2), notes.join(" | "), boxes.join(" | "));
        QCOMPARE(QString(seen).replace(QRegularExpression("\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d"), "D"), story.after);
        // Nothing is written with the option off; else one record, and one set aside where it was damaged.
        QCOMPARE(QDir(records()).entryList(QDir::Files).size(), off ? 0 : story.steps.contains("garble") ? 2 : subfolders ? 2 : 1);
    }

    // A record takes its names' own bytes and 17 more a name, and reads back as written; cut short or changed in one byte,
    // or of other folders, it is not read.
    void recordFile()
    {
        SyncRecord record("/a", "/b", false);
        const QStringList names {"B\u00e4r", "caf\u00e9/x", "z\U0001F600"};
        int bytes = 0;
        for (const QString &name : names) {
            // The epoch's first minute is a date; one beyond the year 6053 reads back as never seen.
            record.append(QStringView(name), {name == names[2] ? 197001010000 : 202403011000, 12345678901LL, name == names[2] ? 999912312359 : 202412081200});
            bytes += encodeUtf8Name(name).size();
        }
        record.setWritten(202412081200);
        const QByteArray file = record.encode();
        const std::optional<SyncRecord> back = SyncRecord::decode(file, "/a", "/b", false);
        QVERIFY(back.has_value());
        QStringList read;
        for (std::size_t i = 0; i < back->size(); ++i)
            read << back->nameAt(i).toString() + QString(" %1 %2 %3").arg(back->entryAt(i).date).arg(back->entryAt(i).size).arg(back->entryAt(i).since);
        QCOMPARE(read.join('|') + QString(" written %1").arg(back->written()),
                 QStringLiteral("B\u00e4r 202403011000 12345678901 202412081200|caf\u00e9/x 202403011000 12345678901 202412081200|z\U0001F600 197001010000 12345678901 -1 written 202412081200"));
        const qsizetype header = file.size() - bytes - 17 * names.size();
        QVERIFY2(header < 64, qPrintable(QString::number(header)));
        QByteArray changed = file;
        changed[file.size() / 2] = char(changed[file.size() / 2] ^ 1);
        QVERIFY(!SyncRecord::decode(changed, "/a", "/b", false) && !SyncRecord::decode(file.chopped(1), "/a", "/b", false));
        QVERIFY(!SyncRecord::decode(file, "/a", "/c", false) && !SyncRecord::decode(file, "/a", "/b", true));
    }
};

QTEST_MAIN(tst_Records)
#include "tst_records.moc"
