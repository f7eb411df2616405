#include "panes/dirlistmodel.h"
#include "panes/drivelistmodel.h"

#include "runtime/nativefilesystem.h"

#include "faultyfilesystem.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_FolderLists : public QObject
{
    Q_OBJECT

private slots:
    void folderChainThenSubfolders();
    void missingFolderIsPathNotFound();
    void openingARow();
    void driveOfAPath();
    void driveThatCannotBeRead();

private:
    NativeFileSystem m_fs;
};

// The folder list shows the folders from the root down to the current one, then its
// subfolders one level deeper.
void tst_FolderLists::folderChainThenSubfolders()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("work/Beta"));
    QVERIFY(QDir(dir.path()).mkpath("work/alpha"));
    QVERIFY(QDir(dir.path()).mkpath("work/.hidden"));
    QFile(dir.path() + "/work/file.txt").open(QIODevice::WriteOnly);
    DirListModel model(m_fs);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changed(&model, &DirListModel::pathChanged);
    QVERIFY(model.setPath(dir.path() + "/work/").has_value());
    QCOMPARE(model.Path(), dir.path() + "/work");
    QCOMPARE(changed.count(), 1);

    const QStringList parts = (dir.path() + "/work").split('/', Qt::SkipEmptyParts);
    const int current = model.currentRow();
    QCOMPARE(current, int(parts.size()));
    QCOMPARE(model.index(0).data().toString(), QStringLiteral("/"));
    QCOMPARE(model.index(current).data().toString(), QStringLiteral("work"));
    QCOMPARE(model.index(current).data(DirListModel::DepthRole).toInt(), current);
    QStringList children;
    for (int row = current + 1; row < model.rowCount(); ++row) {
        children << model.index(row).data().toString();
        QCOMPARE(model.index(row).data(DirListModel::DepthRole).toInt(), current + 1);
        QVERIFY(!model.index(row).data(DirListModel::OpenRole).toBool());
    }
    QCOMPARE(children, (QStringList {".hidden", "alpha", "Beta"}));

    // Setting the folder it already shows counts as a change too.
    QVERIFY(model.setPath(dir.path() + "/work").has_value());
    QCOMPARE(changed.count(), 2);
}

// A folder that does not exist is refused and the list stays where it was.
void tst_FolderLists::missingFolderIsPathNotFound()
{
    QTemporaryDir dir;
    DirListModel model(m_fs);
    QVERIFY(model.setPath(dir.path()).has_value());
    const Status status = model.setPath(dir.path() + "/missing");
    QCOMPARE(status.error().number, 76);
    QCOMPARE(model.Path(), dir.path());
    QCOMPARE(model.setPath("relative").error().number, 76);
}

// Double-clicking a row opens that folder, above or below the current one.
void tst_FolderLists::openingARow()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("a/b"));
    DirListModel model(m_fs);
    QVERIFY(model.setPath(dir.path() + "/a").has_value());
    QVERIFY(model.openRow(model.currentRow() + 1).has_value());
    QCOMPARE(model.Path(), dir.path() + "/a/b");
    QVERIFY(model.openRow(0).has_value());
    QCOMPARE(model.Path(), QStringLiteral("/"));
}

// Setting a drive to a path selects that path's volume, and a change is signalled once.
void tst_FolderLists::driveOfAPath()
{
    QTemporaryDir dir;
    DriveListModel drives(m_fs);
    QSignalSpy changed(&drives, &DriveListModel::driveChanged);
    QVERIFY(drives.setDrive(dir.path()).has_value());
    QCOMPARE(drives.Drive(), *m_fs.volumeOf(dir.path()));
    QVERIFY(drives.currentRow() >= 0);
    QVERIFY(drives.setDrive(dir.path() + "/deeper").has_value());
    QCOMPARE(changed.count(), 1);
    drives.Refresh();
    QCOMPARE(drives.Drive(), *m_fs.volumeOf(dir.path()));
    QVERIFY(drives.currentRow() >= 0);
}

// A volume that cannot be read leaves the drive as it was and reports why.
void tst_FolderLists::driveThatCannotBeRead()
{
    FaultyFileSystem faulty(m_fs);
    DriveListModel drives(faulty);
    QVERIFY(drives.setDrive("/").has_value());
    faulty.failOn(FsOperation::VolumeOf, ErrorNumber::DiskNotReady);
    const Status status = drives.setDrive("/media/gone/folder");
    QCOMPARE(status.error().number, 71);
    QCOMPARE(drives.Drive(), QStringLiteral("/"));
}

QTEST_GUILESS_MAIN(tst_FolderLists)
#include "tst_folderlists.moc"
