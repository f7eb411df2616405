#include "cli/matchtool.h"
#include "export/tabexport.h"

#include "fixture.h"
#include "leftovers.h"

#include <QProcess>
#include <QScopeGuard>

#include <sys/sysmacros.h>

using namespace dyadix;
using namespace dyadix::test;

namespace {
const std::int64_t When = localTime(2024, 4, 5, 6, 7);
const QByteArray Head = "File\tDate / Time\tSize\t<>\tFile\tDate / Time\tSize\r\n";
QByteArray row(const QByteArray &left, const QByteArray &marker, const QByteArray &right)
{
    return left + '\t' + marker + '\t' + right + "\r\n";
}
const QByteArray A = "a\t2024/04/05 06:07\t       1";

// Each field of a tab-delimited file as Python's csv module reads it; empty without Python.
QList<QByteArrayList> readAsCsv(const QString &file)
{
    QProcess python;
    python.start("python3", {"-c", "import csv, sys\nfor row in csv.reader(open(sys.argv[1], newline='', encoding='utf-8', errors='surrogateescape'),"
                                   " delimiter='\\t'):\n    print(' '.join('=' + f.encode('utf-8', 'surrogateescape').hex() for f in row))", file});
    QList<QByteArrayList> rows;
    for (const QByteArray &line : python.waitForFinished(20000) && python.exitCode() == 0 ? python.readAllStandardOutput().split('\n') : QByteArrayList()) {
        QByteArrayList fields = line.split(' ');
        for (QByteArray &field : fields)
            field = QByteArray::fromHex(field.mid(1));
        if (!line.isEmpty())
            rows << fields;
    }
    return rows;
}
} // namespace

// The window's tab-delimited export, and dyadix-match, which writes the same from the shell.
class tst_Export : public FixtureTest
{
    Q_OBJECT
    QByteArray exportTo(const QString &file)
    {
        f->prompter.type(file);
        f->form->mnuFileExport.trigger();
        return readFile(file);
    }
    // What the window exports after Match, given dyadix-match's options and LEFT (Right is R), its boxes answered with the keys
    // given; a file that vanishes as it is listed is ignored, as dyadix-match goes on without it.
    QByteArray windowExport(const QStringList &arguments, bool vanishing = false, const QString &answers = {})
    {
        Fixture other;
        other.prompter.answerKeys(answers);
        other.form->txtSelect.setText(arguments.contains("--filter") ? arguments[arguments.indexOf("--filter") + 1] : "*.*");
        other.form->mnuOptionNewer.setChecked(!arguments.contains("--mark-earlier"));
        other.form->mnuOptionSubfolders.setChecked(arguments.contains("-r"));
        other.form->mnuOptionContents.setChecked(arguments.contains("--contents"));
        other.show(1, arguments[arguments.size() - 2]), other.show(2, t("/R"));
        if (vanishing) {
            other.fs.failOn(FsOperation::EntryStat, ErrorNumber::FileNotFound, 1, "/equal");
            other.prompter.answerKeys("I");
        }
        other.form->mnuMatch.trigger();
        return exportContent(other.form->pane(1), other.form->pane(2));
    }

private slots:
    // The box asks with its texts and default; short lists get empty fields; the name is stored.
    void exportOfTheLists_data()
    {
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("right");
        QTest::addColumn<QByteArray>("rows");
        QTest::newRow("3 vs 5") << QStringList {"a", "b", "c"} << QStringList {"a", "b", "c", "d", "e"}
                                << QByteArray(row(A, "", A) + row(A, "", A).replace('a', 'b') + row(A, "", A).replace('a', 'c')
                                              + row("\t\t", "", A).replace('a', 'd') + row("\t\t", "", A).replace('a', 'e'));
        QTest::newRow("2 vs 0") << QStringList {"a", "b"} << QStringList()
                                << QByteArray(row(A, "", "") + row(A, "", "").replace('a', 'b'));
        QTest::newRow("both empty") << QStringList() << QStringList() << QByteArray();
    }
    void exportOfTheLists()
    {
        QFETCH(QStringList, left);
        QFETCH(QStringList, right);
        QFETCH(QByteArray, rows);
        for (const QString &name : left)
            QVERIFY(writeFile(t("/L/") + name, "1", When));
        for (const QString &name : right)
            QVERIFY(writeFile(t("/R/") + name, "1", When));
        QVERIFY(f->showBoth());
        f->host.calls.clear();
        QCOMPARE(exportTo(t("/out.txt")), (t("/L") + "/\t\t\t\t" + t("/R") + "/\r\n\r\n").toUtf8() + Head + rows);
        QCOMPARE(f->prompter.lines().join("") + " [" + f->prompter.shown()[0].defaultText + ']', "Export Text file for Excel: (input): This will create (or overwrite) "
                 "a Tab-delimited file\nwhich you can then open in Excel (Text file options).\n\nFull path and file name? [" + QDir::homePath() + "/MatchFile.txt]");
        QCOMPARE(f->host.calls, (QStringList {"pointer 11", "pointer 0"}));
        f->form->mnuFileExitNoSave.trigger();
        Fixture next;
        next.settings = f->settings;
        next.prompter.type("   "); // blanks only: nothing is written
        next.form->mnuFileExport.trigger();
        QCOMPARE(next.prompter.shown().back().defaultText, t("/out.txt"));
        QCOMPARE(next.host.calls, QStringList());
        QCOMPARE(namesIn(f->dir.path()), (QStringList {"L", "R", "out.txt"}));
    }

    // After Match, the later copy's row has ">>" or "<<"; a row ticked on both sides has "<<".
    void markers()
    {
        QVERIFY(writeFile(t("/L/new-left"), "1", When + 3600) && writeFile(t("/R/new-left"), "1", When));
        QVERIFY(writeFile(t("/R/only-right"), "22", When));
        QVERIFY(writeFile(t("/L/same"), "1", When) && writeFile(t("/R/same"), "1", When));
        QVERIFY(f->showBoth());
        f->form->mnuMatch.trigger();
        f->list(1).setSelected(2, true);
        f->list(2).setSelected(2, true);
        QCOMPARE(exportTo(t("/out.txt")).split('\n').mid(3),
                 (QList<QByteArray> {"new-left\t2024/04/05 07:07\t       1\t>>\tnew-left\t2024/04/05 06:07\t       1\r",
                                     "only-right\t\t\t<<\tonly-right\t2024/04/05 06:07\t       2\r",
                                     "same\t2024/04/05 06:07\t       1\t<<\tsame\t2024/04/05 06:07\t       1\r", ""}));
    }

    // A failed write keeps the previous export and is not remembered; a bare name is here.
    void failuresAndOddAnswers()
    {
        QVERIFY(writeFile(t("/out.txt"), "previous export"));
        f->fs.failOn(FsOperation::WriteFile, ErrorNumber::DiskFull);
        f->prompter.answer(MsgAnswer::Abort);
        QCOMPARE(exportTo(t("/out.txt")), QByteArray("previous export"));
        QCOMPARE(f->prompter.shown().back().text + f->prompter.shown().back().title, QStringLiteral("Error 61\nDisk fullError!"));
        QVERIFY(!f->settings.values.contains("dyadix/Settings/ExportFile"));
        QVERIFY(QDir::setCurrent(t("/R")));
        const QByteArray written = exportTo("list.txt");
        QVERIFY(written.contains(Head));
        QCOMPARE(readFile(t("/R/list.txt")), written);
    }

    // dyadix-match writes what the window exports after Match, to --output only once complete, and
    // its exit code says what to do; a file that vanishes while listed is reported and left out.
    void matchTool_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("vanishing");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("plain") << QStringList {"L", "R"} << false << 1 << QByteArray();
        QTest::newRow("filter") << QStringList {"--filter", "*.txt, *.doc", "L", "R"} << false << 1 << QByteArray();
        QTest::newRow("earlier") << QStringList {"--mark-earlier", "L", "R"} << false << 1 << QByteArray();
        QTest::newRow("same folder") << QStringList {"R", "R"} << false << 0 << QByteArray();
        QTest::newRow("output") << QStringList {"--output", "out.txt", "L", "R"} << false << 1 << QByteArray();
        QTest::newRow("trees") << QStringList {"-r", "L", "R"} << false << 1 << QByteArray();
        QTest::newRow("output, no folder") << QStringList {"--output", "no/out.txt", "L", "R"} << false << 2 << QByteArray("dyadix-match: no/out.txt: Path not found\n");
        QTest::newRow("contents") << QStringList {"--contents", "L", "R"} << false << 1 << QByteArray();
        QTest::newRow("trees, contents, a dangling link") << QStringList {"-r", "--contents", "L", "R"} << false << 1 << QByteArray("dyadix-match: File not found on %/L/sub/nowhere\n");
        QTest::newRow("output, file vanished") << QStringList {"--output", "out.txt", "L", "R"} << true << 1 << QByteArray("dyadix-match: File not found on %/L/equal\n");
        QTest::newRow("unreadable folder") << QStringList {"L", "R"} << false << 2 << QByteArray("dyadix-match: Permission denied\ndyadix-match: R: could not be read\n");
        QTest::newRow("missing folder") << QStringList {"L", "nowhere"} << false << 2 << QByteArray("dyadix-match: nowhere: Path not found\n");
        QTest::newRow("one folder") << QStringList {"L"} << false << 2 << QByteArray("dyadix-match: give two folders, LEFT and RIGHT (see --help)\n");
        QTest::newRow("unknown option") << QStringList {"--fast", "L", "R"} << false << 2 << QByteArray("dyadix-match: Unknown option 'fast'.\n");
        QTest::newRow("version") << QStringList {"--version"} << false << 0 << QByteArray();
    }
    void matchTool()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, vanishing);
        QFETCH(int, code);
        QFETCH(QByteArray, error);
        QVERIFY(writeFile(t("/L/both.txt"), "later", When + 60) && writeFile(t("/R/both.txt"), "earlier", When));
        QVERIFY(writeFile(t("/L/left only.doc"), "l", When) && writeFile(t("/R/right\tonly.txt"), "r", When));
        QVERIFY(writeFile(t("/L/equal"), "e", When) && writeFile(t("/R/EQUAL"), "e", When) && writeFile(t("/out.txt"), "old"));
        QVERIFY(writeFile(t("/L/same.txt"), "s", When + 120) && writeFile(t("/R/same.txt"), "s", When)); // unmarked with --contents
        QVERIFY(QDir().mkpath(t("/L/sub/deeper")) && writeFile(t("/L/sub/deeper/\"quoted\".txt"), "q", When) && QDir().mkpath(t("/R/Sub")) && writeFile(t("/R/Sub/x"), "x", When));
        const bool dangling = error.contains("nowhere");
        QVERIFY(!dangling || QFile::link(t("/L/sub/gone"), t("/L/sub/nowhere"))); // a link to nothing, in a tree
        if (error.contains("R: could not be read"))
            f->fs.failOn(FsOperation::Enumerate, ErrorNumber::PermissionDenied, 1, "/R/");
        if (vanishing) {
            f->fs.failOn(FsOperation::EntryStat, ErrorNumber::FileNotFound, 1, "/equal");
            f->fs.failOn(FsOperation::FileDateTime, ErrorNumber::FileNotFound, 1, "/equal");
        }
        char *out = nullptr, *err = nullptr;
        size_t outSize = 0, errSize = 0;
        std::FILE *outFile = ::open_memstream(&out, &outSize), *errFile = ::open_memstream(&err, &errSize);
        QCOMPARE(runMatchTool(QStringList {"dyadix-match"} + arguments, f->fs, outFile, errFile), code);
        std::fclose(outFile), std::fclose(errFile);
        const QByteArray printed(out, qsizetype(outSize)), complaint(err, qsizetype(errSize));
        std::free(out), std::free(err);
        QCOMPARE(complaint, error.replace('%', encodeUtf8Name(f->dir.path())));
        const bool toFile = arguments.contains("--output");
        const QByteArray expected = arguments[0] == "--version" ? "dyadix-match 1.8.0\n" : code == 2 ? QByteArray(toFile ? "old" : "")
            : windowExport(QStringList(arguments).replaceInStrings(QRegularExpression("^([LR])$"), t("/\\1")), vanishing, dangling ? "IIII" : "");
        QCOMPARE(printed.contains("\n\"sub/deeper/\"\"quoted\"\".txt\"\t"), arguments.contains("-r")); // a relative name, quoted as any name
        QCOMPARE(printed.contains("same.txt\t2024/04/05 06:09\t       1\t\t"), arguments.contains("--contents")); // unmarked
        QCOMPARE(toFile ? readFile(t("/out.txt")) + printed : printed, expected);
        QCOMPARE(namesIn(f->dir.path()), (QStringList {"L", "R", "out.txt"}));
    }

    // An export writes into what the user named or refuses: the window refuses a pipe (it would
    // wait for a reader) and writes through a link; dyadix-match writes into a pipe, a device,
    // standard output ("-" or /dev/stdout). Every pipe, link and device is still there after.
    void specialTargets()
    {
        QVERIFY(writeFile(t("/L/a"), "1", When) && writeFile(t("/file.txt"), "old") && QFile::link(t("/file.txt"), t("/link.txt")));
        QVERIFY(::mkfifo(encodeUtf8Name(t("/pipe")).constData(), 0644) == 0);
        const bool root = ::geteuid() == 0; // a throwaway device node for root; a user cannot harm /dev/null
        QVERIFY(root ? ::mknod(encodeUtf8Name(t("/null")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0 : QFile::link("/dev/null", t("/null")));
        auto kind = [&](const QString &name) { struct stat st {}; return ::lstat(encodeUtf8Name(t(name)).constData(), &st) ? 0 : int(st.st_mode & S_IFMT); };
        const QList<int> kinds = {kind("/pipe"), kind("/null"), kind("/link.txt")};
        QVERIFY(f->showBoth());
        f->form->mnuMatch.trigger();
        const QByteArray rows = exportContent(f->form->pane(1), f->form->pane(2));
        f->prompter.answer(MsgAnswer::Abort);
        f->prompter.type(t("/pipe"));
        f->form->mnuFileExport.trigger();
        QCOMPARE(f->prompter.lines().last(), QStringLiteral("Error! (Abort Retry Ignore, Question): Error 84\nNot a regular file"));
        QVERIFY(!f->settings.values.contains("dyadix/Settings/ExportFile"));
        QCOMPARE(exportTo(t("/link.txt")), rows);
        QCOMPARE(readFile(t("/file.txt")), rows);
        QByteArray received;
        std::jthread reader([&] { received = readFile(t("/pipe")); });
        for (const QString &output : {t("/pipe"), t("/null"), QString("-")}) {
            char *out = nullptr;
            size_t outSize = 0;
            std::FILE *outFile = ::open_memstream(&out, &outSize);
            QCOMPARE(runMatchTool({"dyadix-match", "--output", output, t("/L"), t("/R")}, f->fs, outFile, stderr), 1);
            std::fclose(outFile);
            QCOMPARE(QByteArray(out, qsizetype(outSize)), output == "-" ? rows : QByteArray());
            std::free(out);
        }
        reader.join();
        QCOMPARE(received, rows);
        QCOMPARE(QList<int>({kind("/pipe"), kind("/null"), kind("/link.txt")}), kinds);
        if (root)
            return; // /dev/stdout is the real one: run only where a fault could not replace it
        QProcess tool;
        leftovers::start(tool, DYADIX_MATCH_EXECUTABLE, {"--output", "/dev/stdout", t("/L"), t("/R")});
        QVERIFY(tool.waitForFinished(20000));
        QCOMPARE(tool.readAllStandardOutput(), rows);
    }

    // Odd names and folders come back whole as seven fields, and a plain row is as ever.
    void oddNamesReadBackWhole()
    {
        const QByteArray folder = encodeUtf8Name(f->dir.path()) + "/Odd \"folder\"\tL";
        const QList<QByteArray> names = {"a\tb.txt", "x\ny.txt", "c\rd.txt", "q\"uote\".txt", " leading.txt", "bad\xff\xfe.bin", "both"};
        QVERIFY(::mkdir(folder.constData(), 0755) == 0);
        const auto removeFolder = qScopeGuard([&] { // Qt cannot remove names that are not UTF-8
            for (const QByteArray &name : names)
                ::unlink((folder + '/' + name).constData());
            ::rmdir(folder.constData());
        });
        for (const QByteArray &name : names)
            QVERIFY(writeFile(folder + '/' + name, "n", When + 60));
        QVERIFY(writeFile(t("/R/both"), "seven", When));
        const QString left = decodeUtf8Name(folder.toStdString()), file = t("/out.txt");
        QProcess tool;
        leftovers::start(tool, DYADIX_MATCH_EXECUTABLE, {"--output", file, left, t("/R")});
        QVERIFY(tool.waitForFinished(20000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 1);
        QCOMPARE(readFile(file), windowExport({left, t("/R")}));
        const QList<QByteArrayList> rows = readAsCsv(file);
        if (rows.isEmpty())
            QSKIP("python3 is not installed: nothing here reads the file as a spreadsheet would");
        QCOMPARE(rows.at(0), (QByteArrayList {folder + '/', "", "", "", encodeUtf8Name(t("/R/"))}));
        QList<QByteArray> leftNames;
        for (qsizetype i = 1; i < rows.size(); ++i) {
            QCOMPARE(rows.at(i).size(), 7);
            leftNames << rows.at(i).at(0);
        }
        QCOMPARE(QSet<QByteArray>(leftNames.begin(), leftNames.end()),
                 QSet<QByteArray>(names.begin(), names.end()) << "File");
        QVERIFY(readFile(file).contains("\r\nboth\t2024/04/05 06:08\t       1\t>>\tboth\t2024/04/05 06:07\t       5\r\n"));
    }
};

QTEST_MAIN(tst_Export)
#include "tst_export.moc"
