#include "cli/matchtool.h"

#include "export/tabexport.h"
#include "formfixture.h"
#include "tempfiles.h"

#include "runtime/nativename.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <QScopeGuard>
#include <QStandardPaths>

#include <algorithm>
#include <unistd.h>

using namespace dyadix;
using namespace dyadix::test;

class tst_MatchTool : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sameAsTheWindowsExport_data();
    void sameAsTheWindowsExport();
    void exitCodes_data();
    void exitCodes();
    void outputFileAndItsErrors();
    void vanishedFileIsAnError();
    void oddNamesReadBackWhole_data();
    void oddNamesReadBackWhole();
    void libreOfficeReadsSevenColumns();

private:
    QString t(const QString &relative) const { return m_dir->path() + relative; }
    // What the window exports for the two folders after Match.
    QByteArray windowExport(const QString &filter, bool markNewer);
    std::unique_ptr<QTemporaryDir> m_dir;
    NativeFileSystem m_fs;
};

void tst_MatchTool::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkpath("L"));
    QVERIFY(QDir(m_dir->path()).mkpath("R"));
    QVERIFY(QDir(m_dir->path()).mkpath("L/sub"));
    QVERIFY(writeFile(t("/L/both.txt"), "later", localTime(2024, 6, 2, 10, 0)));
    QVERIFY(writeFile(t("/R/both.txt"), "earlier", localTime(2024, 6, 1, 10, 0)));
    QVERIFY(writeFile(t("/L/left only.doc"), "l", localTime(2024, 6, 1, 10, 0)));
    QVERIFY(writeFile(t("/R/right\tonly.txt"), "r", localTime(2024, 6, 1, 10, 0)));
    QVERIFY(writeFile(t("/L/equal"), "e", localTime(2024, 6, 1, 10, 0)));
    QVERIFY(writeFile(t("/R/EQUAL"), "e", localTime(2024, 6, 1, 10, 0)));
}

QByteArray tst_MatchTool::windowExport(const QString &filter, bool markNewer)
{
    FormFixture f;
    f.form->txtSelect.setText(filter);
    f.show(1, t("/L"));
    f.show(2, t("/R"));
    if (!markNewer)
        f.form->mnuOptionNewer.trigger();
    f.form->mnuMatch.trigger();
    return exportContent(f.form->pane(1), f.form->pane(2));
}

// The real program writes, byte for byte, what the window exports after Match.
void tst_MatchTool::sameAsTheWindowsExport_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("markNewer");
    QTest::newRow("plain") << QStringList() << "*.*" << true;
    QTest::newRow("filter") << QStringList {"--filter", "*.txt, *.doc"} << "*.txt, *.doc" << true;
    QTest::newRow("earlier") << QStringList {"--mark-earlier"} << "*.*" << false;
}

void tst_MatchTool::sameAsTheWindowsExport()
{
    QFETCH(QStringList, options);
    QFETCH(QString, filter);
    QFETCH(bool, markNewer);
    QProcess tool;
    tool.setWorkingDirectory(m_dir->path());
    tool.start(QStringLiteral(DYADIX_MATCH_EXECUTABLE), options + QStringList {"L", t("/R")});
    QVERIFY(tool.waitForFinished(20000));
    QCOMPARE(tool.exitCode(), 1);
    QCOMPARE(tool.readAllStandardOutput(), windowExport(filter, markNewer));
    QCOMPARE(tool.readAllStandardError(), QByteArray());
}

// 0: nothing to carry over; 1: something; 2: an error, with a message on standard error.
void tst_MatchTool::exitCodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("error");
    QTest::newRow("same folder") << QStringList {"L", "L"} << 0 << QByteArray();
    QTest::newRow("differences") << QStringList {"L", "R"} << 1 << QByteArray();
    QTest::newRow("missing folder") << QStringList {"L", "nowhere"} << 2 << QByteArray("dyadix-match: nowhere: Path not found\n");
    QTest::newRow("one folder") << QStringList {"L"} << 2 << QByteArray("dyadix-match: give two folders, LEFT and RIGHT (see --help)\n");
    QTest::newRow("unknown option") << QStringList {"--fast", "L", "R"} << 2 << QByteArray("dyadix-match: Unknown option 'fast'.\n");
    QTest::newRow("help") << QStringList {"--help"} << 0 << QByteArray();
    QTest::newRow("version") << QStringList {"--version"} << 0 << QByteArray();
}

void tst_MatchTool::exitCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QByteArray, error);
    QProcess tool;
    tool.setWorkingDirectory(m_dir->path());
    tool.start(QStringLiteral(DYADIX_MATCH_EXECUTABLE), arguments);
    QVERIFY(tool.waitForFinished(20000));
    QCOMPARE(tool.exitCode(), code);
    QCOMPARE(tool.readAllStandardError(), error);
    if (arguments == QStringList {"--version"})
        QCOMPARE(tool.readAllStandardOutput(), QByteArray("dyadix-match 1.8.0\n"));
    if (arguments == QStringList {"--help"})
        QVERIFY(tool.readAllStandardOutput().contains("[--filter PATTERNS] [--mark-earlier] [--output FILE] LEFT RIGHT"));
}

// --output writes the file (replacing an old one only when complete) and changes nothing else.
void tst_MatchTool::outputFileAndItsErrors()
{
    NativeFileSystem fs;
    QDir::setCurrent(m_dir->path());
    QVERIFY(writeFile(t("/out.txt"), "old"));
    const QStringList before = namesIn(t("/L")) + namesIn(t("/R"));
    QCOMPARE(runMatchTool({"dyadix-match", "--output", t("/out.txt"), "L", "R"}, fs, stdout, stderr), 1);
    QCOMPARE(readFile(t("/out.txt")), windowExport("*.*", true));
    QCOMPARE(namesIn(t("/L")) + namesIn(t("/R")), before);
    QCOMPARE(runMatchTool({"dyadix-match", "--output", t("/no/such/folder/out.txt"), "L", "R"}, fs, stdout, stderr), 2);
}

// A file that vanishes while it is read makes the run an error.
void tst_MatchTool::vanishedFileIsAnError()
{
    NativeFileSystem real;
    FaultyFileSystem fs(real);
    fs.failOn(FsOperation::EntryStat, ErrorNumber::FileNotFound, 1, "/both.txt");
    fs.failOn(FsOperation::FileDateTime, ErrorNumber::FileNotFound, 1, "/both.txt");
    QDir::setCurrent(m_dir->path());
    std::FILE *sink = std::fopen("/dev/null", "w");
    QCOMPARE(runMatchTool({"dyadix-match", "L", "R"}, fs, sink, sink), 2);
    std::fclose(sink);
}

// The fields of a tab-delimited file as Python's csv module reads it (TAB, double quote), each
// field as the bytes it stands for; empty when Python cannot be run.
static QList<QList<QByteArray>> readBackAsCsv(const QString &file, const QString &delimiter = QStringLiteral("\t"))
{
    static const char *const script = R"(
import csv, sys
with open(sys.argv[1], newline='', encoding='utf-8', errors='surrogateescape') as f:
    for row in csv.reader(f, delimiter=sys.argv[2], quotechar='"'):
        print(' '.join('=' + field.encode('utf-8', 'surrogateescape').hex() for field in row))
)";
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(script), file, delimiter});
    QList<QList<QByteArray>> rows;
    if (!python.waitForFinished(20000) || python.exitCode() != 0)
        return rows;
    for (const QByteArray &line : python.readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        QList<QByteArray> fields;
        for (const QByteArray &field : line.split(' '))
            fields << QByteArray::fromHex(field.mid(1));
        rows << fields;
    }
    return rows;
}

// Names and folders holding a TAB, a line end, a double quote, a leading blank or bytes that
// are not UTF-8 come back whole from the export of the window and of dyadix-match: every row
// has seven fields, and a plain row is written exactly as ever.
void tst_MatchTool::oddNamesReadBackWhole_data()
{
    QTest::addColumn<bool>("window");
    QTest::newRow("window") << true;
    QTest::newRow("dyadix-match") << false;
}

void tst_MatchTool::oddNamesReadBackWhole()
{
    QFETCH(bool, window);
    const QByteArray folder = encodeNativeName(m_dir->path()) + "/Odd \"folder\"\tL";
    QVERIFY(QDir().mkpath(decodeNativeName(folder.toStdString())));
    const QList<QByteArray> names = {"a\tb.txt", "x\ny.txt", "c\rd.txt", "q\"uote\".txt",
                                     " leading.txt", "bad\xff\xfe.bin", "both.txt"};
    // Qt cannot remove a name that is not UTF-8, so the test does.
    const auto removeFolder = qScopeGuard([&] {
        for (const QByteArray &name : names)
            ::unlink((folder + '/' + name).constData());
        ::rmdir(folder.constData());
    });
    for (const QByteArray &name : names)
        QVERIFY(writeFile(folder + '/' + name, "n", localTime(2024, 6, 3, 10, 0)));
    const QString left = decodeNativeName(folder.toStdString());
    const QString file = t("/out.txt");
    if (window) {
        FormFixture f;
        f.show(1, left);
        f.show(2, t("/R"));
        f.form->mnuMatch.trigger();
        QVERIFY(f.realFileSystem.writeFile(file, exportContent(f.form->pane(1), f.form->pane(2))).has_value());
    } else {
        QProcess tool;
        tool.start(QStringLiteral(DYADIX_MATCH_EXECUTABLE), {"--output", file, left, t("/R")});
        QVERIFY(tool.waitForFinished(20000));
        QCOMPARE(tool.exitCode(), 1);
    }
    const QList<QList<QByteArray>> rows = readBackAsCsv(file);
    if (rows.isEmpty())
        QSKIP("python3 is not installed: nothing here reads the file as a spreadsheet would");
    QCOMPARE(rows.at(0), (QList<QByteArray> {folder + '/', "", "", "", encodeNativeName(t("/R/"))}));
    // (the reader skips the empty second line)
    QCOMPARE(rows.at(1).size(), 7);
    QList<QByteArray> leftNames;
    for (qsizetype i = 2; i < rows.size(); ++i) {
        QCOMPARE(rows.at(i).size(), 7);
        leftNames << rows.at(i).at(0);
    }
    QList<QByteArray> expected = names + QList<QByteArray> {"EQUAL", "right\tonly.txt"};
    std::sort(leftNames.begin(), leftNames.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(leftNames, expected);
    QVERIFY(readFile(file).contains(
        "\r\nboth.txt\t2024/06/03 10:00\t       1\t>>\tboth.txt\t2024/06/01 10:00\t       7\r\n"));
}

// LibreOffice Calc, told that the file is TAB-separated with double quotes, reads the export of
// odd names as seven columns with every name whole.
void tst_MatchTool::libreOfficeReadsSevenColumns()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed; apt-get install libreoffice-calc-nogui runs this test");
    const QList<QByteArray> names = {"a\tb.txt", "x\ny.txt", "c\rd.txt", "q\"uote\".txt", " leading.txt"};
    for (const QByteArray &name : names)
        QVERIFY(writeFile(encodeNativeName(t("/L/")) + name, "n", localTime(2024, 6, 3, 10, 0)));
    QVERIFY(QDir(m_dir->path()).mkdir("calc"));
    QCOMPARE(runMatchTool({"dyadix-match", "--output", t("/calc/export.txt"), t("/L"), t("/R")},
                          m_fs, stdout, stderr), 1);
    QProcess calc;
    calc.setWorkingDirectory(t("/calc"));
    // Its own profile, so that no running LibreOffice of the user's is disturbed.
    calc.start(soffice, {"-env:UserInstallation=file://" + t("/calc/profile"), "--headless",
                         "--infilter=Text - txt - csv (StarCalc):9,34,76,1", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1",
                         "--outdir", t("/calc"), t("/calc/export.txt")});
    QVERIFY(calc.waitForFinished(120000));
    const QList<QList<QByteArray>> rows = readBackAsCsv(t("/calc/export.csv"), QStringLiteral(","));
    if (rows.isEmpty())
        QSKIP("python3 is not installed, or LibreOffice wrote nothing: nothing reads its result");
    QList<QByteArray> leftNames;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        QCOMPARE(rows.at(i).size(), 7);
        if (i > 1)
            leftNames << rows.at(i).at(0);
    }
    // Calc keeps a carriage return inside a cell as a line feed.
    for (QByteArray name : names)
        QVERIFY2(leftNames.contains(name.replace('\r', '\n')), name.toPercentEncoding().constData());
}

QTEST_MAIN(tst_MatchTool)
#include "tst_matchtool.moc"
