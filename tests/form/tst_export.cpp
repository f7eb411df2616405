#include "formfixture.h"
#include "tempfiles.h"

#include <QDir>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_Export : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void promptAndDefault();
    void unevenLists_data();
    void unevenLists();
    void afterMatchWithMarkers();
    void cancelAndBlanksWriteNothing_data();
    void cancelAndBlanksWriteNothing();
    void nameRememberedAcrossExitWithoutSaving();
    void failedWriteKeepsThePreviousFile();
    void batchIsNotAvailable();

private:
    QString t(const QString &relative) const { return m_dir->path() + relative; }
    void files(const QString &folder, const QStringList &names);
    QByteArray exportTo(const QString &file);
    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    const std::int64_t m_when = localTime(2024, 4, 5, 6, 7);
};

void tst_Export::init()
{
    f = std::make_unique<FormFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir("L"));
    QVERIFY(QDir(m_dir->path()).mkdir("R"));
    f->form->Form_Load();
    f->host.clear();
}

void tst_Export::files(const QString &folder, const QStringList &names)
{
    for (const QString &name : names)
        QVERIFY(writeFile(t(folder) + '/' + name, name.toUtf8(), m_when));
}

QByteArray tst_Export::exportTo(const QString &file)
{
    f->prompter.type(file);
    f->form->mnuFileExport.trigger();
    return readFile(file);
}

// The input box asks with its four lines and offers MatchFile.txt in the home folder when no
// name is stored.
void tst_Export::promptAndDefault()
{
    f->prompter.type("");
    f->form->mnuFileExport.trigger();
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.kind, PromptRecord::Kind::Input);
    QCOMPARE(box.title, QStringLiteral("Export Text file for Excel:"));
    QCOMPARE(box.text, QStringLiteral("This will create (or overwrite) a Tab-delimited file\n"
                                      "which you can then open in Excel (Text file options).\n\n"
                                      "Full path and file name?"));
    QCOMPARE(box.defaultText, QDir::homePath() + "/MatchFile.txt");
}

// Lists of unequal length: the shorter side's missing rows are empty fields, and no marker.
void tst_Export::unevenLists_data()
{
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<QByteArray>("rows");
    QTest::newRow("3 vs 5") << QStringList {"a", "b", "c"} << QStringList {"a", "b", "c", "d", "e"}
                            << QByteArray("a\t2024/04/05 06:07\t       1\t\ta\t2024/04/05 06:07\t       1\r\n"
                                          "b\t2024/04/05 06:07\t       1\t\tb\t2024/04/05 06:07\t       1\r\n"
                                          "c\t2024/04/05 06:07\t       1\t\tc\t2024/04/05 06:07\t       1\r\n"
                                          "\t\t\t\td\t2024/04/05 06:07\t       1\r\n"
                                          "\t\t\t\te\t2024/04/05 06:07\t       1\r\n");
    QTest::newRow("5 vs 3") << QStringList {"a", "b", "c", "d", "e"} << QStringList {"x", "y", "z"}
                            << QByteArray("a\t2024/04/05 06:07\t       1\t\tx\t2024/04/05 06:07\t       1\r\n"
                                          "b\t2024/04/05 06:07\t       1\t\ty\t2024/04/05 06:07\t       1\r\n"
                                          "c\t2024/04/05 06:07\t       1\t\tz\t2024/04/05 06:07\t       1\r\n"
                                          "d\t2024/04/05 06:07\t       1\t\t\r\n"
                                          "e\t2024/04/05 06:07\t       1\t\t\r\n");
    QTest::newRow("both empty") << QStringList() << QStringList() << QByteArray();
}

void tst_Export::unevenLists()
{
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    QFETCH(QByteArray, rows);
    files("/L", left);
    files("/R", right);
    QVERIFY(f->show(1, t("/L")));
    QVERIFY(f->show(2, t("/R")));
    const QByteArray head = (t("/L") + "/\t\t\t\t" + t("/R") + "/\r\n\r\n"
                             "File\tDate / Time\tSize\t<>\tFile\tDate / Time\tSize\r\n").toUtf8();
    f->host.clear();
    QCOMPARE(exportTo(t("/out.txt")), head + rows);
    QCOMPARE(f->host.calls(), (QStringList {"pointer 11", "pointer 0"}));
    QCOMPARE(f->settings.values().value("dyadix/Settings/ExportFile"), t("/out.txt"));
}

// After Match, the later copy's row has ">>" or "<<"; a row with both lines ticked has "<<".
void tst_Export::afterMatchWithMarkers()
{
    QVERIFY(writeFile(t("/L/new-left"), "1", m_when + 3600));
    QVERIFY(writeFile(t("/R/new-left"), "1", m_when));
    QVERIFY(writeFile(t("/R/only-right"), "22", m_when));
    QVERIFY(writeFile(t("/L/same"), "1", m_when));
    QVERIFY(writeFile(t("/R/same"), "1", m_when));
    QVERIFY(f->show(1, t("/L")));
    QVERIFY(f->show(2, t("/R")));
    f->form->mnuMatch.trigger();
    f->form->pane(1).lstFiles.setSelected(2, true); // "same" ticked on both sides
    f->form->pane(2).lstFiles.setSelected(2, true);
    const QByteArray content = exportTo(t("/out.txt"));
    const QList<QByteArray> lines = content.split('\n');
    QCOMPARE(lines.at(3), QByteArray("new-left\t2024/04/05 07:07\t       1\t>>\tnew-left\t2024/04/05 06:07\t       1\r"));
    QCOMPARE(lines.at(4), QByteArray("only-right\t\t\t<<\tonly-right\t2024/04/05 06:07\t       2\r"));
    QCOMPARE(lines.at(5), QByteArray("same\t2024/04/05 06:07\t       1\t<<\tsame\t2024/04/05 06:07\t       1\r"));
}

// Cancel, or an answer of blanks only, writes nothing and keeps the stored name.
void tst_Export::cancelAndBlanksWriteNothing_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("cancel") << "";
    QTest::newRow("blanks") << "   ";
}

void tst_Export::cancelAndBlanksWriteNothing()
{
    QFETCH(QString, answer);
    f->settings.set("dyadix", "Settings", "ExportFile", t("/kept.txt"));
    f->prompter.type(answer);
    f->form->mnuFileExport.trigger();
    QCOMPARE(f->prompter.shown().front().defaultText, t("/kept.txt"));
    QCOMPARE(namesIn(m_dir->path()), (QStringList {"L", "R"}));
    QCOMPARE(f->settings.values().value("dyadix/Settings/ExportFile"), t("/kept.txt"));
    QCOMPARE(f->host.calls(), QStringList());
}

// The name of an export is stored at once, so it is offered again even after an exit without
// saving the settings.
void tst_Export::nameRememberedAcrossExitWithoutSaving()
{
    exportTo(t("/first.txt"));
    f->form->mnuFileExitNoSave.trigger();
    FormFixture next;
    next.settings = f->settings;
    next.form->Form_Load();
    next.prompter.type("");
    next.form->mnuFileExport.trigger();
    QCOMPARE(next.prompter.shown().back().defaultText, t("/first.txt"));
}

// A failure while writing brings the error prompt and leaves the previous export as it was;
// the failed name is not remembered.
void tst_Export::failedWriteKeepsThePreviousFile()
{
    QVERIFY(writeFile(t("/out.txt"), "previous export"));
    f->fileSystem.failOn(FsOperation::WriteFile, ErrorNumber::DiskFull);
    f->prompter.type(t("/out.txt"));
    f->prompter.answer(MsgAnswer::Abort);
    f->form->mnuFileExport.trigger();
    const PromptRecord &box = f->prompter.shown().back();
    QCOMPARE(box.text, QStringLiteral("Error 61\nDisk full"));
    QCOMPARE(box.title, QStringLiteral("Error!"));
    QCOMPARE(box.style, 34);
    QCOMPARE(readFile(t("/out.txt")), QByteArray("previous export"));
    QVERIFY(!f->settings.values().contains("dyadix/Settings/ExportFile"));
    QCOMPARE(f->host.calls(), (QStringList {"pointer 11", "pointer 0"}));
}

// "Make DOS Batch File..." only says it is not available.
void tst_Export::batchIsNotAvailable()
{
    f->prompter.answer(MsgAnswer::Ok);
    f->form->mnuFileBatch.trigger();
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.text, QStringLiteral("This option is not yet available!"));
    QCOMPARE(box.title, QStringLiteral("Sorry!"));
    QCOMPARE(box.style, 48);
}

QTEST_MAIN(tst_Export)
#include "tst_export.moc"
