#include "formfixture.h"
#include "tempfiles.h"

#include "runtime/inisettingsstore.h"

#include <QDir>
#include <QStandardPaths>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void emptyStore();
    void storedValuesAreApplied();
    void normalExitStoresEverything();
    void maximisedExitThenRestart();
    void minimisedExitWritesNoGeometry();
    void wideWindowReadsBack();
    void badNumbers_data();
    void badNumbers();
    void missingFolderAndMissingVolume();
    void twoCharacterEntryShownThenDeleted();
    void slotThreeAlone();
    void renamedExecutableStartsEmpty();
    void abortedLoadKeepsStoredPathSets_data();
    void abortedLoadKeepsStoredPathSets();
    void refusedStoreIsReported();
    void realIniFileRoundTrip();
    void exitWithoutSavingLeavesTheFileAsItWas();

private:
    void store(const QString &key, const QString &value) { f->settings.set("dyadix", "Settings", key, value); }
    QString stored(const QString &key) const { return f->settings.values().value("dyadix/Settings/" + key, "<none>"); }
    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
};

void tst_Settings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkpath("cwd"));
    QVERIFY(QDir(m_dir->path()).mkpath("left"));
    QVERIFY(QDir(m_dir->path()).mkpath("right"));
    QVERIFY(writeFile(m_dir->path() + "/right/r.txt", "r", localTime(2024, 1, 2, 3, 4)));
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path() + "/cwd");
    f = std::make_unique<FormFixture>();
}

void tst_Settings::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
}

// Nothing stored: the designed size centred on the screen, the normal state, "*.*", both
// panes on the current folder and all ten recall items hidden.
void tst_Settings::emptyStore()
{
    f->form->Form_Load();
    QCOMPARE(f->host.calls().mid(0, 2), (QStringList {"move 10785 4612 7230 6975", "state 0"}));
    QCOMPARE(f->form->txtSelect.Text(), QStringLiteral("*.*"));
    QCOMPARE(f->form->pane(1).dirList.Path(), m_dir->path() + "/cwd");
    QCOMPARE(f->form->pane(2).dirList.Path(), m_dir->path() + "/cwd");
    for (int k = 0; k < 10; ++k) {
        QVERIFY(!f->form->recallSlots().visible(k));
        QCOMPARE(f->form->recallSlots().caption(k), "&" + QString::number(k) + " ");
    }
    QCOMPARE(f->prompter.shown().size(), size_t(0));
}

// Stored geometry, filter, folders and path sets are applied at start.
void tst_Settings::storedValuesAreApplied()
{
    store("Width", "9000");
    store("Height", "7000");
    store("Left", "-150");
    store("Top", "300");
    store("WindowState", "0");
    store("Wildcards", "*.txt, *.doc");
    store("Path1", m_dir->path() + "/left");
    store("Path2", m_dir->path() + "/right");
    store("LastFile0", "/a|*.*|/b");
    store("LastFile1", "/x & y|*.c|/z");
    f->form->Form_Load();
    QCOMPARE(f->host.calls().first(), QStringLiteral("move -150 300 9000 7000"));
    QCOMPARE(f->form->txtSelect.Text(), QStringLiteral("*.txt, *.doc"));
    QCOMPARE(f->form->pane(1).dirList.Path(), m_dir->path() + "/left");
    QCOMPARE(f->lines(2), QStringList {"r.txt\t2024/01/02 03:04\t       1"});
    QCOMPARE(f->form->recallSlots().caption(1), QStringLiteral("&1 /x & y|*.c|/z"));
    QCOMPARE(f->form->mnuFileLast[1]->text(), QStringLiteral("&1 /x && y|*.c|/z"));
    QVERIFY(f->form->recallSlots().visible(0));
    QVERIFY(f->form->recallSlots().visible(1));
    QVERIFY(!f->form->recallSlots().visible(2));
}

// Exit in the normal state stores state, geometry, folders, path sets and filter.
void tst_Settings::normalExitStoresEverything()
{
    store("LastFile0", "/a|*.*|/b");
    store("LastFile5", "x");
    f->form->Form_Load();
    f->host.frame = {150, 300, 8000, 6000};
    f->form->txtSelect.setText("*.md");
    f->form->mnuFileExit.trigger();
    QCOMPARE(stored("WindowState"), QStringLiteral("0"));
    QCOMPARE(stored("Left"), QStringLiteral("150"));
    QCOMPARE(stored("Top"), QStringLiteral("300"));
    QCOMPARE(stored("Width"), QStringLiteral("8000"));
    QCOMPARE(stored("Height"), QStringLiteral("6000"));
    QCOMPARE(stored("Path1"), m_dir->path() + "/cwd");
    QCOMPARE(stored("Wildcards"), QStringLiteral("*.md"));
    QCOMPARE(stored("LastFile0"), QStringLiteral("/a|*.*|/b"));
    QCOMPARE(stored("LastFile5"), QStringLiteral("<none>"));
}

// A maximised exit stores only the state; the next start opens maximised over the normal
// geometry stored before.
void tst_Settings::maximisedExitThenRestart()
{
    store("Width", "8000");
    store("Height", "6000");
    store("Left", "100");
    store("Top", "200");
    f->form->Form_Load();
    f->host.state = 2;
    f->host.frame = {0, 0, 28800, 16200};
    f->form->mnuFileExit.trigger();
    QCOMPARE(stored("WindowState"), QStringLiteral("2"));
    QCOMPARE(stored("Width"), QStringLiteral("8000"));

    FormFixture next;
    next.settings = f->settings;
    next.form->Form_Load();
    QCOMPARE(next.host.calls().mid(0, 2), (QStringList {"move 100 200 8000 6000", "state 2"}));
}

// A minimised exit writes none of state, position and size.
void tst_Settings::minimisedExitWritesNoGeometry()
{
    f->form->Form_Load();
    f->host.state = 1;
    f->form->Form_Unload();
    for (const char *key : {"WindowState", "Width", "Height", "Left", "Top"})
        QCOMPARE(stored(key), QStringLiteral("<none>"));
    QCOMPARE(stored("Wildcards"), QStringLiteral("*.*"));
}

// A window wider than 32,767 twips is stored and read back without an error.
void tst_Settings::wideWindowReadsBack()
{
    f->form->Form_Load();
    f->host.frame = {-30, 0, 57600, 32400};
    f->form->Form_Unload();
    FormFixture next;
    next.settings = f->settings;
    next.form->Form_Load();
    QCOMPARE(next.host.calls().first(), QStringLiteral("move -30 0 57600 32400"));
    QCOMPARE(next.prompter.shown().size(), size_t(0));
}

// A stored number that is not one, or beyond 32 bits, brings the prompt at its step; Ignore
// leaves that value at 0 and goes on.
void tst_Settings::badNumbers_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("move");
    QTest::newRow("width not a number") << "Width" << "wide" << "Error 13\nType mismatch" << "move 14400 4612 0 6975";
    QTest::newRow("width beyond 32 bits") << "Width" << "4294967296" << "Error 6\nOverflow" << "move 14400 4612 0 6975";
    QTest::newRow("empty height") << "Height" << "" << "Error 13\nType mismatch" << "move 10785 8100 7230 0";
    QTest::newRow("fractional left") << "Left" << "12.5" << "" << "move 12 4612 7230 6975";
}

void tst_Settings::badNumbers()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, text);
    QFETCH(QString, move);
    store(key, value);
    if (!text.isEmpty())
        f->prompter.answer(MsgAnswer::Ignore);
    f->form->Form_Load();
    QCOMPARE(f->prompter.shown().size(), size_t(text.isEmpty() ? 0 : 1));
    if (!text.isEmpty()) {
        QCOMPARE(f->prompter.shown().front().text, text);
        QCOMPARE(f->prompter.shown().front().title, QStringLiteral("Error in Sub GetSettings!"));
        QCOMPARE(f->prompter.shown().front().style, 34);
    }
    QCOMPARE(f->host.calls().first(), move);
    QCOMPARE(f->form->txtSelect.Text(), QStringLiteral("*.*"));
}

// A stored folder on a volume that is gone fails at the drive and at the folder step; Ignore
// leaves the pane where it was and the recall items still load. A missing folder on a
// present volume fails at the folder step only.
void tst_Settings::missingFolderAndMissingVolume()
{
    store("Path1", m_dir->path() + "/deleted");
    store("Path2", "/media/dyadix-unplugged-stick/photos");
    store("LastFile0", "/a|*.*|/b");
    for (int i = 0; i < 3; ++i)
        f->prompter.answer(MsgAnswer::Ignore);
    f->form->Form_Load();
    QStringList texts;
    for (const PromptRecord &box : f->prompter.shown())
        texts << box.text;
    QCOMPARE(texts, (QStringList {"Error 76\nPath not found", "Error 68\nDevice unavailable",
                                  "Error 76\nPath not found"}));
    QCOMPARE(f->form->pane(1).dirList.Path(), m_dir->path() + "/cwd");
    QCOMPARE(f->form->pane(2).dirList.Path(), m_dir->path() + "/cwd");
    QVERIFY(f->form->recallSlots().visible(0));
}

// An entry of two characters is shown after loading but deleted at the next exit.
void tst_Settings::twoCharacterEntryShownThenDeleted()
{
    store("LastFile0", "ab");
    store("LastFile1", "c");
    f->form->Form_Load();
    QVERIFY(f->form->recallSlots().visible(0));
    QVERIFY(!f->form->recallSlots().visible(1));
    f->form->Form_Unload();
    QCOMPARE(stored("LastFile0"), QStringLiteral("<none>"));
    QCOMPARE(stored("LastFile1"), QStringLiteral("<none>"));
}

// A path set stored for item 3 alone shows item 3 alone.
void tst_Settings::slotThreeAlone()
{
    store("LastFile3", "/p|*.*|/q");
    f->form->Form_Load();
    for (int k = 0; k < 10; ++k)
        QCOMPARE(f->form->recallSlots().visible(k), k == 3);
    QCOMPARE(f->form->mnuFileLast[3]->text(), QStringLiteral("&3 /p|*.*|/q"));
}

// An executable with another name starts from an empty store and stores under its own name.
void tst_Settings::renamedExecutableStartsEmpty()
{
    store("Wildcards", "*.kept");
    FormModel other(f->fileSystem, f->prompter, f->settings, f->shell, f->host,
                    ProgramInfo {"other", 1, 8, 0, ""});
    other.Form_Load();
    QCOMPARE(other.txtSelect.Text(), QStringLiteral("*.*"));
    other.txtSelect.setText("*.new");
    other.Form_Unload();
    QCOMPARE(f->settings.values().value("other/Settings/Wildcards"), QStringLiteral("*.new"));
    QCOMPARE(stored("Wildcards"), QStringLiteral("*.kept"));
}

// Abort during loading keeps the designed recall items; at exit the path sets added in the
// session are stored, and the stored ones that were never read are kept after them.
void tst_Settings::abortedLoadKeepsStoredPathSets_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("expected"); // LastFile0, LastFile1, ...
    QTest::newRow("nothing added") << QStringList {}
                                   << QStringList {"/a|*.*|/b", "<none>", "/c|*.*|/d"};
    QTest::newRow("one added") << QStringList {"/new|*.*|/set"}
                               << QStringList {"/new|*.*|/set", "/a|*.*|/b", "/c|*.*|/d"};
    QTest::newRow("a stored one added again") << QStringList {"/A|*.*|/b"}
                                              << QStringList {"/A|*.*|/b", "<none>", "/c|*.*|/d"};
}

void tst_Settings::abortedLoadKeepsStoredPathSets()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, expected);
    store("Width", "oops");
    store("LastFile0", "/a|*.*|/b");
    store("LastFile2", "/c|*.*|/d");
    f->prompter.answer(MsgAnswer::Abort);
    f->form->Form_Load();
    QCOMPARE(f->form->recallSlots().caption(0), QStringLiteral("Last"));
    QVERIFY(f->form->recallSlots().visible(0));
    QCOMPARE(f->host.calls(), (QStringList {"show", "focus"}));
    for (const QString &set : added) {
        f->prompter.type(set);
        f->form->mnuFileEdit.trigger();
    }
    f->form->Form_Unload();
    for (int k = 0; k < expected.size(); ++k)
        QCOMPARE(stored("LastFile" + QString::number(k)), expected.at(k));
    QCOMPARE(stored("LastFile3"), QStringLiteral("<none>"));
}

// A store that refuses writes at exit is reported once, clearly.
void tst_Settings::refusedStoreIsReported()
{
    f->form->Form_Load();
    f->settings.failWritesWith(ErrorNumber::DiskFull);
    f->prompter.answer(MsgAnswer::Ok);
    f->form->Form_Unload();
    QCOMPARE(f->prompter.shown().size(), size_t(1));
    QCOMPARE(f->prompter.shown().front().text,
             QStringLiteral("Error 61\nDisk full\nThe settings could not all be stored."));
    QCOMPARE(f->prompter.shown().front().style, 48);
}

// A real INI file written at exit is read back at the next start.
void tst_Settings::realIniFileRoundTrip()
{
    QStandardPaths::setTestModeEnabled(true);
    IniSettingsStore ini;
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/dyadix/dyadix.ini";
    QFile::remove(file);
    {
        FormModel first(f->fileSystem, f->prompter, ini, f->shell, f->host, ProgramInfo {"dyadix", 1, 8, 0, ""});
        first.Form_Load();
        QVERIFY(first.pane(2).dirList.setPath(m_dir->path() + "/right").has_value());
        first.txtSelect.setText("*.txt, *.r");
        first.Form_Unload();
    }
    QVERIFY(QFile::exists(file));
    FormModel second(f->fileSystem, f->prompter, ini, f->shell, f->host, ProgramInfo {"dyadix", 1, 8, 0, ""});
    second.Form_Load();
    QCOMPARE(second.txtSelect.Text(), QStringLiteral("*.txt, *.r"));
    QCOMPARE(second.pane(2).dirList.Path(), m_dir->path() + "/right");
    QFile::remove(file);
}

// Exit without saving leaves the settings file byte for byte as it was.
void tst_Settings::exitWithoutSavingLeavesTheFileAsItWas()
{
    QStandardPaths::setTestModeEnabled(true);
    IniSettingsStore ini;
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/dyadix/dyadix.ini";
    QDir().mkpath(QFileInfo(file).path());
    const QByteArray content = "[Settings]\r\nWildcards=*.keep\r\nLastFile0=/a|*.*|/b\r\n";
    QVERIFY(writeFile(file, content));
    FormModel form(f->fileSystem, f->prompter, ini, f->shell, f->host, ProgramInfo {"dyadix", 1, 8, 0, ""});
    form.Form_Load();
    form.txtSelect.setText("*.changed");
    form.mnuFileExitNoSave.trigger();
    form.Form_Unload();
    QCOMPARE(readFile(file), content);
    QFile::remove(file);
}

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"
