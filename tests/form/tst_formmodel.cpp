#include "formfixture.h"
#include "tempfiles.h"

#include <QDir>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_FormModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void menuItems_data();
    void menuItems();
    void menuOrder();
    void startUp();
    void optionClicks();
    void exitStoresSettings();
    void choosingADriveListsItsFolder();
    void refreshLeavesListsAlone();

private:
    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
};

void tst_FormModel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    f = std::make_unique<FormFixture>();
}

void tst_FormModel::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
}

// Every menu item has its caption, shortcut and initial state.
void tst_FormModel::menuItems_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<int>("checked"); // -1: not an option
    QTest::newRow("mnuFile") << "mnuFile" << "&File" << "" << -1;
    QTest::newRow("mnuFileAdd") << "mnuFileAdd" << "&Add Path to List" << "Ctrl+A" << -1;
    QTest::newRow("mnuFileEdit") << "mnuFileEdit" << "&Edit Path..." << "Ctrl+E" << -1;
    QTest::newRow("mnuFileRemove") << "mnuFileRemove" << "&Remove Path..." << "Ctrl+D" << -1;
    QTest::newRow("mnuFileRefresh") << "mnuFileRefresh" << "Re&fresh Drive Lists" << "Ctrl+R" << -1;
    QTest::newRow("mnuFileExport") << "mnuFileExport" << "Export to &Tab-delimited File..." << "Ctrl+T" << -1;
    QTest::newRow("mnuFileBatch") << "mnuFileBatch" << "Make DOS &Batch File..." << "Ctrl+B" << -1;
    QTest::newRow("mnuFileExit") << "mnuFileExit" << "E&xit" << "" << -1;
    QTest::newRow("mnuFileExitNoSave") << "mnuFileExitNoSave" << "&Exit without Saving Settings" << "Ctrl+Q" << -1;
    QTest::newRow("mnuOption") << "mnuOption" << "&Options" << "" << -1;
    QTest::newRow("mnuOptionAction") << "mnuOptionAction" << "&Warn before Actions" << "" << 1;
    QTest::newRow("mnuOptionNewer") << "mnuOptionNewer" << "&Mark Newer" << "" << 1;
    QTest::newRow("mnuOptionWarn1") << "mnuOptionWarn1" << "Warn if &Target is Bigger" << "" << 1;
    QTest::newRow("mnuOptionSynch") << "mnuOptionSynch" << "Synchronize &Scrolling" << "Ctrl+S" << 0;
    QTest::newRow("mnuOptionSyncFoldr") << "mnuOptionSyncFoldr" << "Synchronize &Folders" << "Ctrl+F" << 0;
    QTest::newRow("mnuMatch") << "mnuMatch" << "&Match!" << "" << -1;
    QTest::newRow("mnuCopy(1)") << "mnuCopy(1)" << "&Copy!>" << "" << -1;
    QTest::newRow("mnuCopy(2)") << "mnuCopy(2)" << "<Cop&y!" << "" << -1;
    QTest::newRow("mnuCopy(3)") << "mnuCopy(3)" << ">&Move!>" << "" << -1;
    QTest::newRow("mnuCopy(4)") << "mnuCopy(4)" << "<Mo&ve!<" << "" << -1;
    QTest::newRow("mnuDel(1)") << "mnuDel(1)" << ">&Delete!" << "" << -1;
    QTest::newRow("mnuDel(2)") << "mnuDel(2)" << "De&lete!<" << "" << -1;
    QTest::newRow("mnuFileHelp") << "mnuFileHelp" << "&Help" << "" << -1;
    QTest::newRow("mnuHelpHowTo") << "mnuHelpHowTo" << "&Instructions..." << "" << -1;
    QTest::newRow("mnuHelpAbout") << "mnuHelpAbout" << "&About..." << "" << -1;
}

void tst_FormModel::menuItems()
{
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(int, checked);
    FormModel &form = *f->form;
    const std::map<QString, QAction *> items {
        {"mnuFile", &form.mnuFile}, {"mnuFileAdd", &form.mnuFileAdd},
        {"mnuFileEdit", &form.mnuFileEdit}, {"mnuFileRemove", &form.mnuFileRemove},
        {"mnuFileRefresh", &form.mnuFileRefresh}, {"mnuFileExport", &form.mnuFileExport},
        {"mnuFileBatch", &form.mnuFileBatch}, {"mnuFileExit", &form.mnuFileExit},
        {"mnuFileExitNoSave", &form.mnuFileExitNoSave}, {"mnuOption", &form.mnuOption},
        {"mnuOptionAction", &form.mnuOptionAction}, {"mnuOptionNewer", &form.mnuOptionNewer},
        {"mnuOptionWarn1", &form.mnuOptionWarn1}, {"mnuOptionSynch", &form.mnuOptionSynch},
        {"mnuOptionSyncFoldr", &form.mnuOptionSyncFoldr}, {"mnuMatch", &form.mnuMatch},
        {"mnuCopy(1)", form.mnuCopy(1)}, {"mnuCopy(2)", form.mnuCopy(2)},
        {"mnuCopy(3)", form.mnuCopy(3)}, {"mnuCopy(4)", form.mnuCopy(4)},
        {"mnuDel(1)", form.mnuDel(1)}, {"mnuDel(2)", form.mnuDel(2)},
        {"mnuFileHelp", &form.mnuFileHelp}, {"mnuHelpHowTo", &form.mnuHelpHowTo},
        {"mnuHelpAbout", &form.mnuHelpAbout}};
    const QAction *action = items.at(item);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    QVERIFY(action->isEnabled());
    QVERIFY(action->isVisible());
    QCOMPARE(action->isCheckable(), checked >= 0);
    if (checked >= 0)
        QCOMPARE(action->isChecked(), checked == 1);
}

// The File menu runs Add, Edit, Remove, the ten recall items between two separators, then
// Refresh, Export, Batch and the two exits; seven commands stand on the menu bar.
void tst_FormModel::menuOrder()
{
    const std::vector<QAction *> file = f->form->fileMenuItems();
    QCOMPARE(file.size(), size_t(20));
    QVERIFY(file[3]->isSeparator());
    QVERIFY(file[14]->isSeparator());
    QCOMPARE(file[4], f->form->mnuFileLast[0]);
    QCOMPARE(file[13], f->form->mnuFileLast[9]);
    QCOMPARE(file[15]->text(), QStringLiteral("Re&fresh Drive Lists"));
    QCOMPARE(file[19]->text(), QStringLiteral("&Exit without Saving Settings"));
    QStringList bar;
    for (QAction *command : f->form->menuBarCommands())
        bar << command->text();
    QCOMPARE(bar, (QStringList {"&Match!", "&Copy!>", "<Cop&y!", ">&Move!>", "<Mo&ve!<",
                                ">&Delete!", "De&lete!<"}));
}

// Start-up centres the window at its designed size, lists both panes on the current folder
// while the window is hidden, then shows it and puts the focus in the filter box; with nothing
// stored the recall items are hidden.
void tst_FormModel::startUp()
{
    QVERIFY(writeFile(m_dir->path() + "/here.txt", "x", localTime(2024, 2, 3, 4, 5)));
    f->form->Form_Load();
    QCOMPARE(f->host.calls(),
             (QStringList {"move 10785 4612 7230 6975", "state 0", "pointer 11", "pointer 0",
                           "pointer 11", "pointer 0", "show", "focus"}));
    for (int i : {1, 2}) {
        QCOMPARE(f->form->pane(i).dirList.Path(), m_dir->path());
        QCOMPARE(f->lines(i), QStringList {"here.txt\t2024/02/03 04:05\t       1"});
    }
    QCOMPARE(f->form->txtSelect.Text(), QStringLiteral("*.*"));
    QCOMPARE(f->form->SettingsApp, QStringLiteral("dyadix"));
    QCOMPARE(f->form->SettingsSection, QStringLiteral("Settings"));
    for (QAction *item : f->form->mnuFileLast)
        QVERIFY(!item->isVisible());
    QCOMPARE(f->form->Caption(), QStringLiteral("Dyadix - Windows File-Matching Program"));
    QCOMPARE(f->prompter.shown().size(), size_t(0));
}

// Clicking an option reverses its check mark and nothing else.
void tst_FormModel::optionClicks()
{
    for (QAction *option : f->form->optionMenuItems()) {
        if (option == &f->form->mnuOptionSyncFoldr)
            continue;
        const bool before = option->isChecked();
        option->trigger();
        QCOMPARE(option->isChecked(), !before);
        option->trigger();
        QCOMPARE(option->isChecked(), before);
    }
    QCOMPARE(f->host.calls(), QStringList());
}

// "Exit" unloads the window, whose unload handling stores the settings, then ends.
void tst_FormModel::exitStoresSettings()
{
    f->form->mnuFileExit.trigger();
    QCOMPARE(f->host.calls(), (QStringList {"unload", "end"}));
    QVERIFY(!f->form->NoSaveOnExit);
}

// Choosing a drive moves the pane to that drive's current folder (its root at first, later
// the folder last shown on it) and lists it.
void tst_FormModel::choosingADriveListsItsFolder()
{
    const QString volumeRoot = m_dir->path() + "/volume/";
    QVERIFY(QDir(m_dir->path()).mkpath("volume/inner"));
    QVERIFY(writeFile(volumeRoot + "on-volume.txt", "x", localTime(2024, 2, 3, 4, 5)));
    f->fileSystem.addVirtualVolume(volumeRoot);
    f->form->Form_Load();
    DriveListModel &drives = f->form->pane(2).drvList;
    drives.Refresh();
    auto rowOf = [&](const QString &root) {
        for (int r = 0; r < drives.rowCount(); ++r) {
            if (drives.index(r).data(DriveListModel::RootRole).toString() == root)
                return r;
        }
        return -1;
    };
    const QString homeDrive = drives.Drive();
    drives.chooseRow(rowOf(volumeRoot));
    QCOMPARE(f->form->pane(2).dirList.Path(), m_dir->path() + "/volume");
    QCOMPARE(f->lines(2), QStringList {"on-volume.txt\t2024/02/03 04:05\t       1"});
    QVERIFY(f->show(2, volumeRoot + "inner"));
    drives.chooseRow(rowOf(homeDrive));
    QCOMPARE(f->form->pane(2).dirList.Path(), m_dir->path());
    drives.chooseRow(rowOf(volumeRoot));
    QCOMPARE(f->form->pane(2).dirList.Path(), volumeRoot + "inner");
}

// "Refresh Drive Lists" leaves the file lists and status lines as they are.
void tst_FormModel::refreshLeavesListsAlone()
{
    QVERIFY(writeFile(m_dir->path() + "/a", "x", localTime(2024, 2, 3, 4, 5)));
    f->form->Form_Load();
    const QStringList before = f->lines(1);
    const QString status = f->status(1);
    f->form->mnuFileRefresh.trigger();
    QCOMPARE(f->lines(1), before);
    QCOMPARE(f->status(1), status);
    QCOMPARE(f->form->pane(1).drvList.Drive(), *f->realFileSystem.volumeOf(m_dir->path()));
}

QTEST_MAIN(tst_FormModel)
#include "tst_formmodel.moc"
