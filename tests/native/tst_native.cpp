#include "disktest.h"
#include "native/helperprotocol.h"

#include "diskfiles.h"
#include "faultyfilesystem.h"
#include "rootonly.h"

#include <QProcess>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

// The program's own file system on the real disk: listings, volumes, names, the file helper that reads
// network folders, and the Trash.
class tst_Native : public DiskTest
{
    Q_OBJECT

private slots:
    // Listing, stat and delete agree with the disk, follow no link and give each its own error.
    void listingAndStat()
    {
        QVERIFY(writeFile(at("Read.TXT"), "aaa", localTime(2023, 6, 30, 23, 59, 30)) && writeFile(at(".hidden"), "h"));
        QVERIFY(QDir(dir.path()).mkdir("folder.txt"));
        QVERIFY(QFile::link(at("folder.txt"), at("to-folder")) && QFile::link(at("Read.TXT"), at("to-file")));
        QVERIFY(QFile::link(at("nowhere"), at("dangling")));
        auto names = [&](const QString &pattern) {
            QStringList result;
            const Result<std::vector<DirEntry>> entries = fs.enumerate(dir.path(), pattern);
            for (const DirEntry &entry : *entries)
                result << entry.name + (entry.stat.attributes & FileAttribute::Alias ? "@" : "") + QString::number(entry.stat.size);
            return result.sort(), result.join(' ');
        };
        QCOMPARE(names("*.*"), QStringLiteral(".hidden1 Read.TXT3 dangling0 to-file@3"));
        QCOMPARE(names("*.txt") + '|' + names(""), QStringLiteral("Read.TXT3|"));
        QCOMPARE(*fs.FileDateTime(at("Read.TXT")), localTime(2023, 6, 30, 23, 59, 30));
        QCOMPARE(fs.enumerate(dir.path(), "read.txt")->at(0).stat.modified, localTime(2023, 6, 30, 23, 59, 30));
        QCOMPARE(*fs.GetAttr(at("Read.TXT")) + *fs.GetAttr(dir.path()), FileAttribute::Archive + FileAttribute::Directory);
        QVERIFY(setMode(at("Read.TXT"), 0444));
        QCOMPARE(*fs.GetAttr(at("Read.TXT")), FileAttribute::Archive | FileAttribute::ReadOnly);
        QVERIFY(writeFile(at("big"), "") && QFile::resize(at("big"), std::int64_t(3) << 30));
        QCOMPARE(*fs.FileLen(at("big")), std::int64_t(3) << 30);
        const QString errors = QString("%1 %2 %3 %4 %5 %6").arg(fs.enumerate(at("gone"), "*.*").error().number)
            .arg(fs.FileLen(at("none")).error().number).arg(fs.FileDateTime(at("no/none")).error().number)
            .arg(fs.Kill(at("none")).error().number).arg(fs.Kill(at("no/none")).error().number).arg(fs.Kill(at("folder.txt")).error().number);
        QCOMPARE(errors, QStringLiteral("76 53 76 53 76 75"));
        QVERIFY(fs.folderExists(at("folder.txt")) && !fs.folderExists(at("nope")));
    }

    // A folder of tens of thousands of names has them stat'ed in parts at once and handed over in batches: every file comes once with its
    // own size, a link to nothing with its error, and no folder or link to one; while the names are read, an empty batch now and then
    // tells the caller that the listing goes on. Listed whole, it is every one of them.
    void largeFolder()
    {
        const QString many = at("many");
        QVERIFY(QDir().mkpath(many + "/sub") && QFile::link(many + "/sub", many + "/to-sub") && QFile::link(many + "/none", many + "/gone"));
        constexpr int Files = 65600; // more than one batch of 65,536
        for (int i = 0; i < 7; ++i)
            QVERIFY(writeFile(many + QString("/f%1").arg(i), QByteArray(i, 'x')));
        int unlinked = 0; // names 7 on are hard links to the first seven: one call each keeps this quick on a slow disk
        for (int i = 7; i < Files; ++i)
            unlinked += ::link(QFile::encodeName(many + QString("/f%1").arg(i % 7)), QFile::encodeName(many + QString("/f%1").arg(i))) != 0;
        QCOMPARE(unlinked, 0);
        std::vector<int> seen(Files, 0);
        int batches = 0, empty = 0, wrong = 0, failed = 0;
        QVERIFY(fs.listFolder(many, "*.*", [&](std::vector<DirEntry> &entries) {
            entries.empty() ? ++empty : ++batches;
            for (const DirEntry &entry : entries) {
                if (entry.name == "gone") {
                    failed += entry.statError == 53 ? 1 : 100;
                    continue;
                }
                const int i = entry.name.mid(1).toInt();
                ++seen[size_t(i)];
                wrong += entry.name != QString("f%1").arg(i) || entry.stat.size != i % 7;
            }
            return true;
        }));
        QCOMPARE(QString("%1 %2 %3 %4 %5").arg(empty).arg(batches).arg(wrong).arg(failed).arg(std::count(seen.begin(), seen.end(), 1)), QString("4 2 0 1 65600"));
        QCOMPARE(fs.enumerate(many, "*.*")->size(), size_t(Files + 1));
    }

    // The drives are "/" and the volumes a person mounts (a folder bound elsewhere, a memory disk under /mnt), "/" first, never a tmpfs of
    // the system's or a volume in its own trees (under /run). A missing folder is on the volume that holds the folder above it.
    void volumes()
    {
        QVERIFY(QDir().mkpath(at("bound/inner")) && writeFile(at("bound/inner/f"), "f"));
        const auto bound = Mount::bind(at("bound")), memory = Mount::tmpfs(64), mounted = Mount::tmpfs(64, "/mnt"), system = Mount::bind(at("bound"), "/run");
        QStringList roots, walked;
        for (const Volume &volume : fs.volumes())
            roots << volume.rootPath;
        QCOMPARE(roots.value(0), QStringLiteral("/"));
        QCOMPARE(*fs.volumeOf(at("missing/deeper")), *fs.volumeOf(dir.path()));
        if (!bound || !memory || !mounted || !system)
            QSKIP("only root may mount the volumes of the rest of this test");
        QVERIFY(roots.contains(bound->dir.path() + '/') && roots.contains(mounted->dir.path() + '/') && !roots.contains(memory->dir.path() + '/') && !roots.contains(system->dir.path() + '/'));
        QCOMPARE(*fs.volumeOf(bound->dir.path() + "/inner/missing"), bound->dir.path() + '/');
        // Mounted again inside itself, a folder is walked once.
        const auto again = Mount::bind(at("bound"), at("bound"));
        QVERIFY(again && fs.walkTree(at("bound"), "*", [&](std::vector<DirEntry> &batch) { for (const DirEntry &e : batch) walked << e.name; return true; }).has_value() && walked == QStringList {"inner/f"});
    }

    // This disk tells case apart, also in an empty folder and beside a name's twin; a FAT stick does not, empty or not.
    void namesAndCase()
    {
        QVERIFY(writeFile(at("Name.txt"), "n") && QDir().mkpath(at("Empty")) && QDir().mkpath(at("sub")) && writeFile(at("sub/A"), "a") && writeFile(at("sub/a"), "b"));
        QCOMPARE(QString("%1%2%3").arg(fs.namesFoldCase(dir.path())).arg(fs.namesFoldCase(at("Empty"))).arg(fs.namesFoldCase(at("sub"))), "000");
        const auto stick = Mount::fat(1024);
        if (!stick)
            QSKIP("only root may mount a FAT image; the root run of the suite tests this");
        const bool empty = fs.namesFoldCase(stick->dir.path());
        QVERIFY(QDir().mkpath(stick->dir.path() + "/Photos") && writeFile(stick->dir.path() + "/Photos/x", "x"));
        QCOMPARE(QString("%1%2").arg(empty).arg(fs.namesFoldCase(stick->dir.path())), "11");
    }

    // The file helper process does what the file system does, and says what failed as it would;
    // a copy told to stop stops and leaves nothing behind.
    void helper()
    {
        IsolatedFileSystem helped(fs, IsolatedFileSystem::Route::Everything);
        QVERIFY(writeFile(at("src"), "content", 1600000000) && writeFile(at("dst"), "old", 1500000000));
        QVERIFY(helped.makeFolders(dir.path(), "a/b", dir.path()).has_value());
        QVERIFY(helped.FileCopy(at("src"), at("a/b/copy")).has_value());
        QCOMPARE(readFile(at("a/b/copy")) + ' ' + QByteArray::number(qint64(modifiedOf(at("a/b/copy")))), QByteArray("content 1600000000"));
        QCOMPARE(QString("%1 %2 %3 %4").arg(*helped.FileLen(at("src"))).arg(*helped.FileDateTime(at("src"))).arg(*helped.GetAttr(at("a")))
                     .arg(helped.GetAttr(at("none")).error().description), QString("7 1600000000 16 File not found"));
        QByteArray big(64 << 20, 'b'); // in parts of 16 MiB: the stop is heard after the first
        QVERIFY(writeFile(at("big"), big));
        QCOMPARE(helped.FileCopy(at("big"), at("dst"), [](std::int64_t) { return false; }).error().number, 83);
        QCOMPARE(readFile(at("dst")), QByteArray("old"));
        QCOMPARE(helped.makeFolders(dir.path(), "src/c", dir.path()).error().number, 87);
        QVERIFY(helped.Kill(at("a/b/copy")).has_value() && helped.Kill(at("a/b/copy")).error().number == 53);
        QCOMPARE(namesIn(dir.path()), (QStringList {"a", "big", "dst", "src"}));
        QCOMPARE(helped.walkTree(at("gone"), "*", [](std::vector<DirEntry> &) { return true; }).error().number, 76);
        // A request the helper does not know, or one cut short, is refused rather than read as another.
        const QByteArray kill = helper::requestPacket({helper::Operation::Kill, at("src"), {}, {}});
        QVERIFY(!helper::readRequest("X", 1) && !helper::readRequest(kill.constData(), size_t(kill.size()) - 1));
        QCOMPARE(helper::readRequest(kill.constData(), size_t(kill.size()))->first, at("src"));
        const QByteArray result = helper::resultPacket(ErrorNumber::DiskFull, 7);
        QVERIFY(!helper::readReply(result.constData(), size_t(result.size()) - 1));
        QCOMPARE(helper::readReply(result.constData(), size_t(result.size()))->error.description, "Disk full");
    }

    // A network folder's files (by the mount table, which writes a blank as \040) go to the helper; those of the other folders, even
    // of one whose name begins with the network folder's, are worked on here (where the faults planted below meet them).
    void networkFoldersOnly()
    {
        FaultyFileSystem faulty(fs);
        IsolatedFileSystem isolated(faulty);
        isolated.setMountTable(at("mounts"));
        QVERIFY(writeFile(at("mounts"), "host:/x " + at("net work").replace(' ', "\\040").toUtf8() + " fuse.sshfs rw 0 0\n") && QDir().mkpath(at("net work")));
        QStringList answers;
        for (const QString name : {"net work", "net work/f", "net works", "local"}) {
            QVERIFY(name == "net work" || writeFile(at(name), "f"));
            faulty.failOn(FsOperation::FileDateTime, ErrorNumber::DeviceIoError, 1, name);
            answers << (isolated.FileDateTime(at(name)) ? "helper" : "here");
        }
        QCOMPARE(answers.join(' '), "helper helper here here");
        // A network folder is not looked into for case (it may not answer): taken not to tell it apart, which is safe either way.
        QCOMPARE(QString("%1%2").arg(isolated.namesFoldCase(at("net work"))).arg(isolated.namesFoldCase(at("net works"))), "10");
    }

    // Deleted and replaced files go into the Trash as the desktop's file manager reads it: the file with its content and time in files/,
    // its original path and the date in info/, so that restoring it (moving it back to that path) gives the very file again. A file on
    // another volume goes to that volume's Trash; where none can be made, nothing changes.
    void trash_data()
    {
        // Where the file is: home's, a small tmpfs, one without a usable Trash, one whose .Trash is
        // shared by all users, one whose .Trash this user may not use (.Trash-UID serves).
        QTest::addColumn<QString>("volume");
        QTest::addColumn<bool>("replace");
        for (const char *volume : {"home", "tmpfs", "no Trash", "shared .Trash", "closed .Trash"}) {
            QTest::addRow("delete, %s", volume) << volume << false;
            QTest::addRow("replace, %s", volume) << volume << true;
        }
    }
    void trash()
    {
        QFETCH(QString, volume);
        QFETCH(bool, replace);
        QTemporaryDir dataHome; // a new account's: the folders above the Trash are made too
        qputenv("XDG_DATA_HOME", (dataHome.path() + "/new/share").toLocal8Bit());
        std::unique_ptr<Mount> disk;
        QString folder = dir.path(), trashFolder = dataHome.path() + "/new/share/Trash";
        if (volume != "home") {
            if (!(disk = Mount::tmpfs(1024, QDir::tempPath(), volume == "tmpfs" ? "1777" : "0755")))
                QSKIP("this machine does not let the test mount a small tmpfs");
            folder = disk->dir.path() + "/work";
            trashFolder = disk->dir.path() + (volume == "shared .Trash" ? "/.Trash/" : "/.Trash-") + QString::number(volume == "tmpfs" ? 0 : ActAsNobody::Id);
            QVERIFY(QDir().mkdir(folder) && ::chown(encodeUtf8Name(folder).constData(), ActAsNobody::Id, ActAsNobody::Id) == 0);
            if (volume.endsWith(".Trash"))
                QVERIFY(QDir().mkdir(disk->dir.path() + "/.Trash") && setMode(disk->dir.path() + "/.Trash", volume == "shared .Trash" ? 01777 : 01755));
            QVERIFY(volume != "closed .Trash" || (QDir().mkdir(trashFolder) && ::chown(encodeUtf8Name(trashFolder).constData(), ActAsNobody::Id, 0) == 0));
        }
        std::optional<ActAsNobody> nobody; // who may not make a Trash at the top of a volume of root's
        if (volume == "no Trash" || volume.endsWith(".Trash"))
            QVERIFY(nobody.emplace().active);
        const QString name = QString(200, 'n') + " 50%.txt", path = folder + "/" + name;
        QVERIFY(writeFile(path, "old content", 1600000000) && writeFile(folder + "/new", "new content", 1700000000));
        struct stat before {};
        QVERIFY(::stat(encodeUtf8Name(path).constData(), &before) == 0);
        const Status done = [&]() -> Status {
            if (!replace)
                return fs.moveToTrash(path);
            const Result<int> copied = fs.FileCopy(folder + "/new", path, {}, Replaced::ToTrash);
            return copied ? Status() : Status(copied.error());
        }();
        if (volume == "no Trash") {
            QCOMPARE(done.error().number, 86);
            QCOMPARE(readFile(path) + ' ' + QByteArray::number(qint64(modifiedOf(path))), QByteArray("old content 1600000000"));
            return;
        }
        QVERIFY2(done.has_value(), qPrintable(done ? QString() : done.error().description));
        QCOMPARE(readFile(path), replace ? QByteArray("new content") : QByteArray());
        const QStringList infos = QDir(trashFolder + "/info").entryList(QDir::Files);
        QCOMPARE(infos.size(), 1);
        const QString trashed = trashFolder + "/files/" + infos[0].chopped(10);
        const QByteArray info = readFile(trashFolder + "/info/" + infos[0]);
        const QByteArray shown = volume == "home" ? encodeUtf8Name(path) : "work/" + encodeUtf8Name(name);
        QVERIFY2(info.startsWith("[Trash Info]\nPath=" + shown.toPercentEncoding("/") + "\nDeletionDate=" + QDate::currentDate().toString(Qt::ISODate).toLatin1() + "T"), info.constData());
        QCOMPARE(readFile(trashed) + ' ' + QByteArray::number(qint64(modifiedOf(trashed))), QByteArray("old content 1600000000"));
        if (nobody) // the desktop's tools run as root here, with root's Trash
            return;
        // Restored by a tool of the desktop's Trash (trash-cli) where it is installed, else as
        // the layout says: the file goes back to its path, the same file as before.
        QVERIFY(QFile::remove(path) || !replace);
        QProcess list, restore;
        list.start("trash-list");
        if (list.waitForFinished(20000) && list.exitCode() == 0) {
            QVERIFY2(list.readAllStandardOutput().contains(" " + encodeUtf8Name(path) + "\n"), "trash-list does not show it");
            restore.start("trash-restore", {path});
            restore.write("0\n");
            restore.closeWriteChannel();
            QVERIFY(restore.waitForFinished(20000) && restore.exitCode() == 0);
        } else {
            QVERIFY(::rename(encodeUtf8Name(trashed).constData(), encodeUtf8Name(path).constData()) == 0);
        }
        struct stat after {};
        QVERIFY(::stat(encodeUtf8Name(path).constData(), &after) == 0);
        QCOMPARE(QString("%1:%2").arg(after.st_dev).arg(after.st_ino), QString("%1:%2").arg(before.st_dev).arg(before.st_ino));
    }

    // A link that another user planted in a shared sticky folder is not followed by a copy or a
    // write of root's, whatever the system's own protection: the file it names stays as it was.
    void plantedLink()
    {
        if (::geteuid() != 0)
            QSKIP("only root can plant a link as another user; the root run tests this");
        QVERIFY(QDir().mkdir(at("shared")) && setMode(at("shared"), 01777) && writeFile(at("secret"), "root's own", 1600000000));
        QVERIFY(writeFile(at("src"), "planted content") && QFile::link(at("secret"), at("shared/target")));
        const QByteArray link = encodeUtf8Name(at("shared/target"));
        QVERIFY(::lchown(link.constData(), ActAsNobody::Id, ActAsNobody::Id) == 0);
        QCOMPARE(fs.FileCopy(at("src"), at("shared/target")).error(), RunTimeError(85, "Link in a shared folder not followed: another user made it"));
        QCOMPARE(fs.writeFile(at("shared/target"), "export").error().number, 85);
        QCOMPARE(readFile(at("secret")) + ' ' + QByteArray::number(qint64(modifiedOf(at("secret")))), QByteArray("root's own 1600000000"));
        QVERIFY(::lchown(link.constData(), 0, 0) == 0 && fs.FileCopy(at("src"), at("shared/target")).has_value());
        QCOMPARE(readFile(at("secret")), QByteArray("planted content"));
        QVERIFY(QFileInfo(at("shared/target")).isSymLink());
    }
};

DYADIX_DISK_TEST_MAIN(tst_Native)
#include "tst_native.moc"
