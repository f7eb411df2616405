#include "formfixture.h"
#include "tempfiles.h"
#include "tmpfsmount.h"

#include "export/tabexport.h"
#include "runtime/inisettingsstore.h"
#include "runtime/nativename.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace dyadix;
using namespace dyadix::test;

// A user's day against faults and hostile input: every row ends with nothing lost or
// corrupted, no crash, and the program's prompt or a clear message.
class tst_Reliability : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void oddNamesThroughEveryCommand_data();
    void oddNamesThroughEveryCommand();
    void caseTwinsThroughEveryCommand();
    void changesBetweenListingAndCopy_data();
    void changesBetweenListingAndCopy();
    void fullDisk_data();
    void fullDisk();
    void linksAreNeverFollowed();
    void unreadableAndVanishingFolders();
    void hostileSettingsFiles_data();
    void hostileSettingsFiles();
    void vanishedVolumeIsUndoneSilently();
    void startUpInADeletedFolder();

private:
    QString t(const QString &relative) const { return m_dir->path() + relative; }
    QByteArray bytes(const QString &relative) const { return encodeNativeName(t(relative)); }
    int rowOf(int pane, const QString &name) const;
    void showBoth();
    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
    const std::int64_t m_when = localTime(2024, 7, 8, 9, 10);
};

void tst_Reliability::init()
{
    m_oldCurrent = QDir::currentPath();
    f = std::make_unique<FormFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir("L"));
    QVERIFY(QDir(m_dir->path()).mkdir("R"));
    f->form->mnuOptionAction.trigger(); // no confirmations: the rows test the file work
}

void tst_Reliability::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
}

void tst_Reliability::showBoth()
{
    QVERIFY(f->show(1, t("/L")));
    QVERIFY(f->show(2, t("/R")));
}

namespace {
// Takes whatever room is left on a disk.
void fill(const QString &disk)
{
    QFile filler(disk + "/filler");
    if (!filler.open(QIODevice::WriteOnly))
        return;
    while (filler.write(QByteArray(1024, 'f')) == 1024 && filler.flush()) {
    }
}
} // namespace

int tst_Reliability::rowOf(int pane, const QString &name) const
{
    const FileListModel &list = f->form->pane(pane).lstFiles;
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.entry(i).name == name && !list.entry(i).placeholder)
            return i;
    }
    return -1;
}

// A name with TAB, line feed, "|", "&", ",", blanks at its ends, 255 bytes, or bytes that are
// not UTF-8 goes through listing, Match, export, copy, move and delete and comes out unchanged.
void tst_Reliability::oddNamesThroughEveryCommand_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("tab") << QByteArray("a\tb.txt");
    QTest::newRow("line feed") << QByteArray("line\nfeed");
    QTest::newRow("bar") << QByteArray("C:|*.*|D:");
    QTest::newRow("ampersand") << QByteArray("R&D.doc");
    QTest::newRow("comma") << QByteArray("a,b.txt");
    QTest::newRow("blanks at the ends") << QByteArray("  both ends  ");
    QTest::newRow("255 bytes") << QByteArray(251, 'n') + ".txt";
    QTest::newRow("not utf-8") << QByteArray("caf\xe9 \xff.txt");
}

void tst_Reliability::oddNamesThroughEveryCommand()
{
    QFETCH(QByteArray, name);
    const QString shown = decodeNativeName(std::string_view(name.constData(), size_t(name.size())));
    QVERIFY(writeFile(bytes("/L/") + name, "content", m_when));
    showBoth();
    f->form->mnuMatch.trigger();
    QCOMPARE(f->form->pane(1).lstFiles.SelCount(), 1);
    QCOMPARE(f->form->pane(2).lstFiles.entry(0).name, shown);

    // In the export, a name with a TAB or line end is one field in double quotes.
    const bool quoted = name.contains('\t') || name.contains('\n');
    QVERIFY(exportContent(f->form->pane(1), f->form->pane(2))
                .contains("\r\n" + (quoted ? '"' + name + '"' : name) + '\t'));

    f->form->mnuCopy(1)->trigger();
    QCOMPARE(readFile(t("/R/") + shown), QByteArray("content"));
    QCOMPARE(modifiedOf(t("/R/") + shown), m_when);
    f->form->mnuMatch.trigger();
    QCOMPARE(f->form->pane(1).lstFiles.SelCount() + f->form->pane(2).lstFiles.SelCount(), 0);

    QVERIFY(writeFile(bytes("/L/") + name, "newer content", m_when + 600));
    f->form->mnuMatch.trigger();
    f->form->mnuCopy(3)->trigger();
    QVERIFY(!QFile::exists(t("/L/") + shown));
    QCOMPARE(readFile(t("/R/") + shown), QByteArray("newer content"));

    f->form->pane(2).lstFiles.setSelected(rowOf(2, shown), true);
    f->form->mnuDel(2)->trigger();
    QCOMPARE(namesIn(t("/R")), QStringList());
    QCOMPARE(f->prompter.shown().size(), size_t(0));
}

// Two names that differ only in case in one folder are two files, each handled on its own.
void tst_Reliability::caseTwinsThroughEveryCommand()
{
    QVERIFY(writeFile(t("/L/Twin.txt"), "upper", m_when));
    QVERIFY(writeFile(t("/L/twin.txt"), "lower", m_when + 60));
    showBoth();
    f->form->mnuMatch.trigger();
    QCOMPARE(f->form->pane(1).lstFiles.ListCount(), 2);
    f->form->mnuCopy(1)->trigger();
    QCOMPARE(readFile(t("/R/Twin.txt")), QByteArray("upper"));
    QCOMPARE(readFile(t("/R/twin.txt")), QByteArray("lower"));
    f->form->pane(1).lstFiles.setSelected(rowOf(1, "twin.txt"), true);
    f->form->mnuDel(1)->trigger();
    QCOMPARE(namesIn(t("/L")), QStringList {"Twin.txt"});
}

// What changes on disk between the listing and the copy is reported, and touches nothing else.
void tst_Reliability::changesBetweenListingAndCopy_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message"); // empty: the copy succeeds
    QTest::newRow("source removed") << "source removed" << "Error 53\nFile not found";
    QTest::newRow("source replaced by a folder") << "source folder" << "Error 75\nPath/File access error";
    QTest::newRow("source grown") << "source grown" << "";
    QTest::newRow("target folder removed") << "target folder removed" << "Error 76\nPath not found";
    QTest::newRow("target read-only") << "target read-only" << "Error 70\nPermission denied";
    QTest::newRow("target is a folder") << "target folder" << "Error 82\nThe target is a folder";
}

void tst_Reliability::changesBetweenListingAndCopy()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    QVERIFY(writeFile(t("/L/f.txt"), "source", m_when + 60));
    QVERIFY(writeFile(t("/R/f.txt"), "target", m_when));
    showBoth();
    f->form->mnuMatch.trigger();
    if (change == "source removed")
        QVERIFY(QFile::remove(t("/L/f.txt")));
    if (change == "source folder") {
        QVERIFY(QFile::remove(t("/L/f.txt")));
        QVERIFY(QDir(t("/L")).mkdir("f.txt"));
    }
    if (change == "source grown")
        QVERIFY(writeFile(t("/L/f.txt"), "source, and more since", m_when + 60));
    if (change == "target folder removed")
        QVERIFY(QDir(t("/R")).removeRecursively());
    if (change == "target read-only")
        QVERIFY(::chmod(bytes("/R/f.txt").constData(), 0444) == 0);
    if (change == "target folder") {
        QVERIFY(QFile::remove(t("/R/f.txt")));
        QVERIFY(QDir(t("/R")).mkdir("f.txt"));
    }
    if (!message.isEmpty())
        f->prompter.answer(MsgAnswer::Ignore);
    f->form->mnuCopy(3)->trigger(); // a move: the source must survive any failure
    if (message.isEmpty()) {
        QCOMPARE(readFile(t("/R/f.txt")), QByteArray("source, and more since"));
        return;
    }
    QCOMPARE(f->prompter.shown().front().text, message);
    if (change == "target read-only")
        QCOMPARE(readFile(t("/R/f.txt")), QByteArray("target"));
    if (change.startsWith("target"))
        QCOMPARE(readFile(t("/L/f.txt")), QByteArray("source"));
    QCOMPARE(f->form->Caption(), QStringLiteral("Dyadix"));
}

// A disk that fills up loses nothing: not the old target of a copy, not the source of a move,
// not the previous export.
void tst_Reliability::fullDisk_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("copy over a bigger target") << "copy";
    QTest::newRow("move") << "move";
    QTest::newRow("export over the last export") << "export";
}

void tst_Reliability::fullDisk()
{
    QFETCH(QString, command);
    TmpfsMount disk(256);
    if (!disk.mounted())
        QSKIP("this machine does not let the test mount a small tmpfs");
    const QByteArray big(200 * 1024, 'o');
    QVERIFY(writeFile(disk.path() + "/data.bin", big, m_when));
    QVERIFY(writeFile(t("/L/data.bin"), QByteArray(150 * 1024, 'n'), m_when + 60));
    QVERIFY(f->show(1, t("/L")));
    QVERIFY(f->show(2, disk.path()));
    f->form->mnuMatch.trigger();
    f->form->mnuOptionWarn1.trigger(); // the target is bigger: no question, straight to the copy
    f->prompter.answer(MsgAnswer::Ignore);
    if (command == "export") {
        QVERIFY(writeFile(disk.path() + "/export.txt", QByteArray(40 * 1024, 'e')));
        fill(disk.path()); // so that the new export cannot be written
        f->prompter.type(disk.path() + "/export.txt");
        f->form->mnuFileExport.trigger();
        QCOMPARE(readFile(disk.path() + "/export.txt"), QByteArray(40 * 1024, 'e'));
    } else {
        f->form->mnuCopy(command == "copy" ? 1 : 3)->trigger();
        QCOMPARE(readFile(t("/L/data.bin")), QByteArray(150 * 1024, 'n'));
    }
    QCOMPARE(f->prompter.shown().back().text, QStringLiteral("Error 61\nDisk full"));
    QCOMPARE(readFile(disk.path() + "/data.bin"), big);
    for (const QString &name : namesIn(disk.path()))
        QVERIFY2(!name.endsWith(".part"), qPrintable(name));
    QVERIFY(!f->settings.values().contains("dyadix/Settings/ExportFile"));
}

// Links to files, to folders, dangling and pointing outside: delete removes the link and
// leaves what it points to; a copy onto a link writes the file it names and keeps the link.
void tst_Reliability::linksAreNeverFollowed()
{
    QVERIFY(QDir(m_dir->path()).mkdir("outside"));
    QVERIFY(writeFile(t("/outside/precious.txt"), "precious", m_when));
    QVERIFY(QFile::link(t("/outside/precious.txt"), t("/L/to-file")));
    QVERIFY(QFile::link(t("/outside"), t("/L/to-folder")));
    QVERIFY(QFile::link(t("/nowhere"), t("/L/dangling")));
    QVERIFY(writeFile(t("/outside/linked.txt"), "old", m_when));
    QVERIFY(QFile::link(t("/outside/linked.txt"), t("/R/overwritten")));
    QVERIFY(writeFile(t("/L/overwritten"), "new and longer content", m_when + 60));
    // The dangling link has no time or size to read: the listing's prompt names it (for its
    // time, then its size), and Ignore leaves it out of the list, the count and the total.
    f->prompter.answer(MsgAnswer::Ignore);
    f->prompter.answer(MsgAnswer::Ignore);
    showBoth();
    QCOMPARE(f->prompter.shown().size(), size_t(2));
    QCOMPARE(f->prompter.shown().front().text, "File not found on " + t("/L/dangling"));
    QCOMPARE(f->prompter.shown().front().title, QStringLiteral("Error in Sub dirList_Change"));
    QVERIFY2(f->status(1).startsWith("2 files, 30 bytes"), qPrintable(f->status(1)));
    f->prompter.clear();
    QStringList listed;
    for (int i = 0; i < f->form->pane(1).lstFiles.ListCount(); ++i)
        listed << f->form->pane(1).lstFiles.entry(i).name;
    QCOMPARE(listed, (QStringList {"overwritten", "to-file"}));

    f->form->pane(1).lstFiles.setSelected(rowOf(1, "overwritten"), true);
    f->form->mnuCopy(1)->trigger();
    QVERIFY(QFileInfo(t("/R/overwritten")).isSymLink());
    QCOMPARE(readFile(t("/outside/linked.txt")), QByteArray("new and longer content"));
    QCOMPARE(modifiedOf(t("/outside/linked.txt")), m_when + 60);
    QCOMPARE(namesIn(t("/outside")), (QStringList {"linked.txt", "precious.txt"}));

    f->form->pane(1).lstFiles.setSelected(rowOf(1, "to-file"), true);
    f->form->mnuDel(1)->trigger();
    QCOMPARE(namesIn(t("/L")), (QStringList {"dangling", "overwritten", "to-folder"}));
    QCOMPARE(readFile(t("/outside/precious.txt")), QByteArray("precious"));
    QCOMPARE(f->prompter.shown().size(), size_t(0));
}

// A folder that cannot be read, and one removed after it was chosen, bring the listing's
// prompt; the pane keeps what it showed.
void tst_Reliability::unreadableAndVanishingFolders()
{
    QVERIFY(writeFile(t("/L/a"), "a", m_when));
    f->fileSystem.failOn(FsOperation::Enumerate, ErrorNumber::PermissionDenied, 1, "/L/");
    f->prompter.answer(MsgAnswer::Abort);
    QVERIFY(f->show(1, t("/L")));
    QCOMPARE(f->prompter.shown().back().text, QStringLiteral("Permission denied"));
    QCOMPARE(f->status(1), QStringLiteral("Left"));

    QVERIFY(f->show(2, t("/R")));
    QVERIFY(QDir(t("/R")).removeRecursively());
    f->prompter.answer(MsgAnswer::Ignore);
    f->form->dirList_Change(2);
    QCOMPARE(f->prompter.shown().back().text, QStringLiteral("Path not found"));
    QCOMPARE(f->status(2), QStringLiteral("0 files."));
    QCOMPARE(f->prompter.shown().back().title, QStringLiteral("Error in Sub dirList_Change"));
}

// Settings files that are empty, garbage, without the section, with bad numbers, a file for a
// folder or very long entries start the program with defaults or the loader's prompt, and
// never crash it.
void tst_Reliability::hostileSettingsFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("prompts");
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[[=\x01\x02\n\x7f=\xc3\x28", 14) << 0;
    QTest::newRow("no section") << QByteArray("Width=9000\nWildcards=*.x\n") << 0;
    QTest::newRow("non-numeric") << QByteArray("[Settings]\nWidth=a\nHeight=b\nLeft=c\nTop=d\nWindowState=e\n") << 5;
    QTest::newRow("negative") << QByteArray("[Settings]\nWidth=-5\nHeight=-7\nLeft=-100\nTop=-100\nWindowState=-1\n") << 1;
    QTest::newRow("fractional") << QByteArray("[Settings]\nWidth=7000.5\nHeight=6000.25\nWindowState=1.5\n") << 0;
    QTest::newRow("beyond 32 bits") << QByteArray("[Settings]\nWidth=99999999999\nHeight=-99999999999\n") << 2;
    QTest::newRow("path is a file") << QByteArray("[Settings]\nPath1=@/L/file.txt\n") << 1;
    QTest::newRow("long entries") << "[Settings]\nWildcards=" + QByteArray(10000, '*') + "\nLastFile0=" + QByteArray(10000, 'p') + "\n" << 0;
}

void tst_Reliability::hostileSettingsFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, prompts);
    QStandardPaths::setTestModeEnabled(true);
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/dyadix/dyadix.ini";
    QDir().mkpath(QFileInfo(file).path());
    QVERIFY(writeFile(t("/L/file.txt"), "f", m_when));
    QVERIFY(writeFile(file, QByteArray(content).replace('@', m_dir->path().toUtf8())));
    IniSettingsStore ini;
    FormModel form(f->fileSystem, f->prompter, ini, f->shell, f->host, ProgramInfo {"dyadix", 1, 8, 0, ""});
    for (int i = 0; i < prompts; ++i)
        f->prompter.answer(MsgAnswer::Ignore);
    form.Form_Load();
    QCOMPARE(f->prompter.shown().size(), size_t(prompts));
    QVERIFY(!form.pane(1).dirList.Path().isEmpty());
    form.Form_Unload();
    FormModel again(f->fileSystem, f->prompter, ini, f->shell, f->host, ProgramInfo {"dyadix", 1, 8, 0, ""});
    again.Form_Load();
    QCOMPARE(again.txtSelect.Text(), form.txtSelect.Text());
    QFile::remove(file);
}

// A volume that is offered but can no longer be opened puts the drive list back silently.
void tst_Reliability::vanishedVolumeIsUndoneSilently()
{
    f->fileSystem.addVirtualVolume("/media/dyadix-pulled-out/");
    DriveListModel &drives = f->form->pane(2).drvList;
    drives.Refresh();
    QVERIFY(f->show(2, t("/R")));
    const QString drive = drives.Drive();
    for (int row = 0; row < drives.rowCount(); ++row) {
        if (drives.index(row).data(DriveListModel::RootRole).toString() == "/media/dyadix-pulled-out/")
            drives.chooseRow(row);
    }
    QCOMPARE(drives.Drive(), drive);
    QCOMPARE(f->form->pane(2).dirList.Path(), t("/R"));
    QCOMPARE(f->prompter.shown().size(), size_t(0));
}

// Started in a folder that has been deleted, the program starts in the home folder.
void tst_Reliability::startUpInADeletedFolder()
{
    QVERIFY(QDir(m_dir->path()).mkdir("gone"));
    QVERIFY(QDir::setCurrent(t("/gone")));
    QVERIFY(QDir(t("/gone")).removeRecursively());
    FormFixture fresh;
    fresh.form->Form_Load();
    QCOMPARE(fresh.form->pane(1).dirList.Path(), QDir::homePath());
    QCOMPARE(fresh.prompter.shown().size(), size_t(0));
}

QTEST_MAIN(tst_Reliability)
#include "tst_reliability.moc"
