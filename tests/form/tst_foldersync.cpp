#include "formfixture.h"
#include "tempfiles.h"

#include "panes/foldersync.h"

#include <QDir>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_FolderSync : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void follows_data();
    void follows();
    void sameFolderBothWays();
    void folderWithoutTheRootIsUsedAsItIs();
    void noCommonEnding_data();
    void noCommonEnding();
    void missingCounterpart_data();
    void missingCounterpart();
    void plainTextReplacement();
    void rootsIgnoreCase();
    void emptyRootStandsForTheStart();
    void switchingOffAndOnComputesRootsAgain();

private:
    QString t(const QString &relative) const { return m_dir->path() + relative; }
    void mk(const QString &relative) { QVERIFY(QDir().mkpath(t(relative))); }
    int listings() const { return int(f->host.calls().count("pointer 11")); }
    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_FolderSync::init()
{
    f = std::make_unique<FormFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
}

// Switched on over two folders with a common ending, each folder opened in one pane takes the
// other pane to its counterpart, once: the panes never move each other back and forth.
void tst_FolderSync::follows_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("leftRoot");
    QTest::addColumn<QString>("rightRoot");
    QTest::addColumn<int>("pane");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("followed");
    QTest::newRow("ProjA") << "/Work/ProjA" << "/Backup/ProjA" << "/Work" << "/Backup"
                           << 1 << "/Work/ProjA/Src" << "/Backup/ProjA/Src";
    QTest::newRow("ProjA from the right") << "/Work/ProjA" << "/Backup/ProjA" << "/Work" << "/Backup"
                                          << 2 << "/Backup/ProjA/Src" << "/Work/ProjA/Src";
    QTest::newRow("volumes of one name") << "/vol1/Data" << "/vol2/Data" << "/vol1" << "/vol2"
                                         << 1 << "/vol1/Data/Old" << "/vol2/Data/Old";
    QTest::newRow("Alpha and Beta") << "/Work/Alpha" << "/Work/Beta" << "/Work/Alph" << "/Work/Bet"
                                    << 1 << "/Work/Alpha/Sub" << "/Work/Beta/Sub";
}

void tst_FolderSync::follows()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, leftRoot);
    QFETCH(QString, rightRoot);
    QFETCH(int, pane);
    QFETCH(QString, opened);
    QFETCH(QString, followed);
    mk(opened);
    mk(followed);
    mk(left);
    mk(right);
    QVERIFY(f->show(1, t(left)));
    QVERIFY(f->show(2, t(right)));
    f->form->mnuOptionSyncFoldr.trigger();
    QVERIFY(f->form->mnuOptionSyncFoldr.isChecked());
    QCOMPARE(f->form->LeftRoot, t(leftRoot));
    QCOMPARE(f->form->RightRoot, t(rightRoot));
    f->host.clear();
    QVERIFY(f->show(pane, t(opened)));
    QCOMPARE(f->form->pane(3 - pane).dirList.Path(), t(followed));
    QCOMPARE(listings(), 2);
    QVERIFY(f->form->mnuOptionSyncFoldr.isChecked());
    QCOMPARE(f->prompter.shown().size(), size_t(0));
}

// Over the same folder in both panes, the option changes nothing at once; then each folder
// opened in one pane opens in the other.
void tst_FolderSync::sameFolderBothWays()
{
    mk("/same/inner");
    QVERIFY(f->show(1, t("/same")));
    QVERIFY(f->show(2, t("/same")));
    f->host.clear();
    f->form->mnuOptionSyncFoldr.trigger();
    QCOMPARE(listings(), 0);
    QVERIFY(f->show(2, t("/same/inner")));
    QCOMPARE(f->form->pane(1).dirList.Path(), t("/same/inner"));
    QCOMPARE(listings(), 2);
}

// A folder whose path holds no root goes to the very same folder in the other pane.
void tst_FolderSync::folderWithoutTheRootIsUsedAsItIs()
{
    mk("/Work/ProjA");
    mk("/Backup/ProjA");
    QVERIFY(f->show(1, t("/Work/ProjA")));
    QVERIFY(f->show(2, t("/Backup/ProjA")));
    f->form->mnuOptionSyncFoldr.trigger();
    QVERIFY(f->show(1, m_dir->path()));
    QCOMPARE(f->form->pane(2).dirList.Path(), m_dir->path());
}

// Folders that end differently bring the question; Yes moves the Right pane to the Left
// folder, No switches the option off.
void tst_FolderSync::noCommonEnding_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(MsgAnswer::Yes);
    QTest::newRow("no") << int(MsgAnswer::No);
}

void tst_FolderSync::noCommonEnding()
{
    QFETCH(int, answer);
    mk("/One");
    mk("/Two");
    QVERIFY(f->show(1, t("/One")));
    QVERIFY(f->show(2, t("/Two")));
    f->prompter.answer(MsgAnswer(answer));
    f->form->mnuOptionSyncFoldr.trigger();
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.title, QStringLiteral("Can't Synchronize!"));
    QCOMPARE(box.style, 36);
    QCOMPARE(box.text, "Failed to Synchronise\n" + t("/One") + "\n" + t("/Two")
                           + "\nThese folders do not end in identical names.\n\n"
                             "Do you want to set the Right-hand Path = " + t("/One"));
    const bool yes = answer == int(MsgAnswer::Yes);
    QCOMPARE(f->form->mnuOptionSyncFoldr.isChecked(), yes);
    QCOMPARE(f->form->pane(2).dirList.Path(), yes ? t("/One") : t("/Two"));
}

// A folder without a counterpart brings the listing's prompt naming the target; Abort leaves
// the option off, Ignore leaves it on; the other pane stays where it was.
void tst_FolderSync::missingCounterpart_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("stillOn");
    QTest::newRow("abort") << int(MsgAnswer::Abort) << false;
    QTest::newRow("ignore") << int(MsgAnswer::Ignore) << true;
}

void tst_FolderSync::missingCounterpart()
{
    QFETCH(int, answer);
    QFETCH(bool, stillOn);
    mk("/Work/ProjA/OnlyHere");
    mk("/Backup/ProjA");
    QVERIFY(f->show(1, t("/Work/ProjA")));
    QVERIFY(f->show(2, t("/Backup/ProjA")));
    f->form->mnuOptionSyncFoldr.trigger();
    f->prompter.answer(MsgAnswer(answer));
    QVERIFY(f->show(1, t("/Work/ProjA/OnlyHere")));
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.title, QStringLiteral("Error in Sub dirList_Change"));
    QCOMPARE(box.style, 34);
    QCOMPARE(box.text, "Path not found\nCould not find " + t("/Backup/ProjA/OnlyHere/"));
    QCOMPARE(f->form->mnuOptionSyncFoldr.isChecked(), stillOn);
    QCOMPARE(f->form->pane(2).dirList.Path(), t("/Backup/ProjA"));
    QCOMPARE(f->host.calls().last(), QStringLiteral("pointer 0"));
}

// The roots are replaced as plain text: Workshop beside Work becomes Backupshop.
void tst_FolderSync::plainTextReplacement()
{
    mk("/Work/ProjA");
    mk("/Backup/ProjA");
    mk("/Workshop");
    mk("/Backupshop");
    QVERIFY(f->show(1, t("/Work/ProjA")));
    QVERIFY(f->show(2, t("/Backup/ProjA")));
    f->form->mnuOptionSyncFoldr.trigger();
    QVERIFY(f->show(1, t("/Workshop")));
    QCOMPARE(f->form->pane(2).dirList.Path(), t("/Backupshop"));
}

// Roots match without regard to case.
void tst_FolderSync::rootsIgnoreCase()
{
    QCOMPARE(counterpartFolder("/x/work/projA/Src/", "/x/Work", "/y/Backup"), QStringLiteral("/y/Backup/projA/Src/"));
    QCOMPARE(counterpartFolder("/a/ab/AB/", "/a/ab", "/b"), QStringLiteral("/b/AB/"));
}

// Cutting the common ending can leave a root empty (/data against /mnt/usb/data): the empty
// root stands for the start of the path, and the other root is put in front of it.
void tst_FolderSync::emptyRootStandsForTheStart()
{
    QCOMPARE(counterpartFolder("/data/sub/", "", "/mnt/usb"), QStringLiteral("/mnt/usb/data/sub/"));
    QCOMPARE(counterpartFolder("/mnt/usb/data/sub/", "/mnt/usb", ""), QStringLiteral("/data/sub/"));

    const QString top = "/dyadix-sync-" + QFileInfo(m_dir->path()).fileName();
    if (!QDir().mkpath(top + "/sub"))
        QSKIP("this test needs to create a folder at the root of the file system");
    mk("/mnt/usb" + top + "/sub");
    QVERIFY(f->show(1, top));
    QVERIFY(f->show(2, t("/mnt/usb") + top));
    f->form->mnuOptionSyncFoldr.trigger();
    QCOMPARE(f->form->LeftRoot, QString());
    QCOMPARE(f->form->RightRoot, t("/mnt/usb"));
    QVERIFY(f->show(1, top + "/sub"));
    QCOMPARE(f->form->pane(2).dirList.Path(), t("/mnt/usb") + top + "/sub");
    QVERIFY(f->show(2, t("/mnt/usb") + top));
    QCOMPARE(f->form->pane(1).dirList.Path(), top);
    QDir(top).removeRecursively();
}

// Switching the option off and on works the roots out again from the folders shown then.
void tst_FolderSync::switchingOffAndOnComputesRootsAgain()
{
    mk("/Work/ProjA");
    mk("/Backup/ProjA");
    mk("/x/Other");
    mk("/y/Other");
    QVERIFY(f->show(1, t("/Work/ProjA")));
    QVERIFY(f->show(2, t("/Backup/ProjA")));
    f->form->mnuOptionSyncFoldr.trigger();
    f->form->mnuOptionSyncFoldr.trigger();
    QVERIFY(!f->form->mnuOptionSyncFoldr.isChecked());
    QVERIFY(f->show(1, t("/x/Other")));
    QCOMPARE(f->form->pane(2).dirList.Path(), t("/Backup/ProjA"));
    QVERIFY(f->show(2, t("/y/Other")));
    f->form->mnuOptionSyncFoldr.trigger();
    QCOMPARE(f->form->LeftRoot, t("/x"));
    QCOMPARE(f->form->RightRoot, t("/y"));
}

QTEST_MAIN(tst_FolderSync)
#include "tst_foldersync.moc"
