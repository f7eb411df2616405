#include "cli/matchtool.h"

#include "export/tabexport.h"
#include "formfixture.h"
#include "tempfiles.h"

#include <QDir>
#include <QProcess>
#include <QTest>

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

private:
    QString t(const QString &relative) const { return m_dir->path() + relative; }
    // What the window exports for the two folders after Match.
    QByteArray windowExport(const QString &filter, bool markNewer);
    std::unique_ptr<QTemporaryDir> m_dir;
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

QTEST_MAIN(tst_MatchTool)
#include "tst_matchtool.moc"
