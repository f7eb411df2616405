#include "disktest.h"

#include "diskfiles.h"
#include "rootonly.h"

#include <QTest>

#include <sys/xattr.h>

using namespace dyadix;
using namespace dyadix::test;

// Copies and comparisons on the real disk: contents, times, attributes, holes, a full disk, and no name
// taken while a file is replaced.
class tst_Copying : public DiskTest
{
    Q_OBJECT

private slots:
    // Contents compare byte for byte, a large file's last byte too, on both threads; a pipe is never opened, a missing file is named,
    // and a stop leaves the pairs not yet read as stopped. Through the file helper, the answers are the same.
    void compareContents()
    {
        const QByteArray large(20 << 20, 'x'); // three chunks: two threads read it side by side
        QVERIFY(writeFile(at("big1"), large) && writeFile(at("big2"), large) && writeFile(at("big3"), QByteArray(large).replace(large.size() - 1, 1, "y")));
        QVERIFY(writeFile(at("e1"), "") && writeFile(at("e2"), "") && writeFile(at("s1"), "abc") && writeFile(at("s2"), "abd") && writeFile(at("s3"), "ab"));
        QVERIFY(::mkfifo(QFile::encodeName(at("pipe")).constData(), 0644) == 0);
        const std::vector<ContentPair> pairs {{at("big1"), at("big2")}, {at("big1"), at("big3")}, {at("e1"), at("e2")}, {at("s1"), at("s2")},
                                              {at("s1"), at("s3")}, {at("s1"), at("pipe")}, {at("none"), at("s1")}, {at("s1"), at("s1")}};
        auto outcomes = [&](FileSystem &files, const FileSystem::CopyProgress &progress = {}) {
            QStringList seen;
            for (const Result<Contents> &found : files.compareContents(pairs, progress))
                seen << (found ? (*found == Contents::Same ? "same" : "different") : found.error().promptText(PromptText::Described).replace(dir.path(), "%"));
            return seen.join(", ");
        };
        const QString expected = "same, different, same, different, different, Not a regular file on %/pipe, File not found on %/none, same";
        QCOMPARE(outcomes(fs), expected);
        // In a folder this user may pass through but not list, each file is still found by its name.
        QVERIFY(QDir().mkpath(at("pass")) && writeFile(at("pass/a"), "x") && writeFile(at("pass/b"), "x") && setMode(at("pass"), 0111));
        QStringList passed;
        for (const Result<Contents> &found : fs.compareContents({{at("pass/a"), at("pass/b")}, {at("pass/b"), at("pass/a")}}))
            passed << (found ? (*found == Contents::Same ? "same" : "different") : found.error().description);
        QVERIFY(setMode(at("pass"), 0755));
        QCOMPARE(passed.join(' '), "same same");
        IsolatedFileSystem helped(fs, IsolatedFileSystem::Route::Everything);
        QCOMPARE(outcomes(helped), expected);
        std::int64_t heard = 0; // the progress tells the bytes compared: the first pair whole at least
        QCOMPARE(outcomes(fs, [&](std::int64_t done) { heard = std::max(heard, done); return true; }), expected);
        QVERIFY(heard >= (20 << 20));
        // A stop heard before the pairs start leaves every pair unread.
        QCOMPARE(outcomes(fs, [](std::int64_t) { return false; }), QStringList(int(pairs.size()), "Stopped before the file was finished").join(", "));
    }

    // While a file is replaced, its folder shows no other name (a run killed then leaves nothing); a temporary file that a killed run
    // left there goes with the first copy into the folder, one of a process that still runs stays.
    void replacementTakesNoName()
    {
        const QString folder = at("replaced");
        QVERIFY(QDir().mkpath(folder) && writeFile(folder + "/dst", "old") && writeFile(at("src"), QByteArray(40 << 20, 'n')));
        QVERIFY(writeFile(folder + "/.dyadix-999999999-1.part", "left by a killed run") && writeFile(folder + "/.dyadix-1-1.part", "init's"));
        QStringList during;
        QVERIFY(fs.FileCopy(at("src"), folder + "/dst", [&](std::int64_t) { return during.isEmpty() ? (during = namesIn(folder), true) : true; }).has_value());
        QCOMPARE(during.join(' ') + " | " + namesIn(folder).join(' '), ".dyadix-1-1.part dst | .dyadix-1-1.part dst");
        QCOMPARE(readFile(folder + "/dst").size(), 40 << 20);
    }

    // A copy carries the file's extended attributes: user ones, an access list, and in the root run a label (a folder made for it, the
    // folder's default access list); onto a FAT stick, which
    // holds none, the file arrives whole and the copy says which kinds stayed behind.
    void attributesCopied()
    {
        QVERIFY(writeFile(at("src"), "tagged"));
        const QByteArray src = QFile::encodeName(at("src"));
        // An access list giving "nobody" read: the kernel's form, version 2 and (tag, permissions, id) entries.
        const auto entry = [](quint16 tag, quint16 perm, quint32 id) { return QByteArray(reinterpret_cast<const char *>(&tag), 2) + QByteArray(reinterpret_cast<const char *>(&perm), 2) + QByteArray(reinterpret_cast<const char *>(&id), 4); };
        const QByteArray acl = QByteArray("\x02\0\0\0", 4) + entry(1, 6, quint32(-1)) + entry(2, 4, 65534) + entry(4, 4, quint32(-1)) + entry(0x10, 4, quint32(-1)) + entry(0x20, 4, quint32(-1));
        const bool root = ::geteuid() == 0;
        QStringList names {"user.xdg.tags", "user.xdg.origin.url", "system.posix_acl_access"};
        QVERIFY(::setxattr(src, "user.xdg.tags", "red", 3, 0) == 0 && ::setxattr(src, "user.xdg.origin.url", "https://example.com/f", 21, 0) == 0);
        QVERIFY(::setxattr(src, "system.posix_acl_access", acl.constData(), size_t(acl.size()), 0) == 0);
        if (root) {
            QVERIFY(::setxattr(src, "security.dyadix", "label", 5, 0) == 0);
            names << "security.dyadix";
        }
        QCOMPARE(*fs.FileCopy(at("src"), at("dst")), 0);
        for (const QString &name : names) {
            char value[256];
            const ssize_t in = ::getxattr(src, name.toLatin1(), value, sizeof value);
            const QByteArray there(value, int(std::max<ssize_t>(in, 0)));
            const ssize_t out = ::getxattr(QFile::encodeName(at("dst")), name.toLatin1(), value, sizeof value);
            QVERIFY2(out == in && QByteArray(value, int(std::max<ssize_t>(out, 0))) == there, qPrintable(name));
        }
        // A folder made for a copy gets its model's default access list, which the files made in it then take.
        QVERIFY(QDir().mkpath(at("tree/sub")) && QDir().mkpath(at("copy")));
        QVERIFY(::setxattr(QFile::encodeName(at("tree/sub")), "system.posix_acl_default", acl.constData(), size_t(acl.size()), 0) == 0);
        QVERIFY(fs.makeFolders(at("copy"), "sub", at("tree")).has_value());
        char value[256];
        QCOMPARE(QByteArray(value, int(std::max<ssize_t>(0, ::getxattr(QFile::encodeName(at("copy/sub")), "system.posix_acl_default", value, sizeof value)))), acl);
        const auto stick = Mount::fat(1024);
        if (!stick)
            QSKIP("only root may mount a FAT image; the root run of the suite tests this");
        QCOMPARE(*fs.FileCopy(at("src"), stick->dir.path() + "/dst"), AttributeKind::User | AttributeKind::Access | AttributeKind::Security);
        QCOMPARE(readFile(stick->dir.path() + "/dst"), QByteArray("tagged"));
        QVERIFY(fs.flushToDisk({stick->dir.path() + "/dst", at("dst")}).has_value()); // the stick's file by fsync (FUSE), the disk's by syncfs
    }

    // A file with holes arrives with its holes: the same bytes, in no more blocks than the source's (as cp keeps them).
    void sparseCopy()
    {
        QFile image(at("image"));
        QVERIFY(image.open(QIODevice::WriteOnly) && image.resize(64 << 20) && image.seek(32 << 20) && image.write(QByteArray(1 << 20, 'd')) == (1 << 20));
        image.close();
        QVERIFY(fs.FileCopy(at("image"), at("copy")).has_value());
        struct stat source {}, copy {};
        QVERIFY(::stat(QFile::encodeName(at("image")), &source) == 0 && ::stat(QFile::encodeName(at("copy")), &copy) == 0);
        QCOMPARE(copy.st_size, source.st_size);
        QVERIFY2(copy.st_blocks <= 2 * source.st_blocks, qPrintable(QString("%1 blocks, the source %2").arg(copy.st_blocks).arg(source.st_blocks)));
        QCOMPARE(*fs.compareContents({{at("image"), at("copy")}}).front(), Contents::Same);
    }

    // A copy gets the source's bytes, nanosecond time and permissions, and nothing else appears;
    // set-user-ID and set-group-ID stay only where the copy keeps the owner and group.
    void copy_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("oldTarget");
        QTest::addColumn<int>("owner"); // of the source, -1: this user
        QTest::addColumn<int>("copied"); // the copy's mode
        QTest::newRow("owner and group") << 0640 << QByteArray() << -1 << 0640;
        QTest::newRow("read-only") << 0444 << QByteArray() << -1 << 0444;
        QTest::newRow("set-group-ID") << 02755 << QByteArray() << -1 << 02755;
        QTest::newRow("own set-user-ID program") << 06755 << QByteArray("old") << -1 << 06755;
        QTest::newRow("another user's set-user-ID program") << 06755 << QByteArray() << 65534 << 0755;
        QTest::newRow("everyone, over a longer file") << 0666 << QByteArray("a much longer old content") << -1 << 0666;
    }

    void copy()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, oldTarget);
        QFETCH(int, owner);
        QFETCH(int, copied);
        if (owner >= 0 && ::geteuid() != 0)
            QSKIP("only root can copy another user's file as someone else; the root run tests this");
        QVERIFY(writeFile(at("src"), "payload") && (oldTarget.isNull() || writeFile(at("dst"), oldTarget)));
        const struct timespec times[2] = {{1700000000, 1}, {1600000000, 987654321}};
        QVERIFY(owner < 0 || ::chown(encodeUtf8Name(at("src")).constData(), uid_t(owner), gid_t(owner)) == 0);
        QVERIFY(::utimensat(AT_FDCWD, encodeUtf8Name(at("src")).constData(), times, 0) == 0 && setMode(at("src"), mode));
        QVERIFY(fs.FileCopy(at("src"), at("dst")).has_value());
        struct stat st {};
        QVERIFY(::stat(encodeUtf8Name(at("dst")).constData(), &st) == 0);
        QCOMPARE(readFile(at("dst")), QByteArray("payload"));
        QCOMPARE(st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec, 1600000000987654321LL);
        QCOMPARE(int(st.st_mode & 07777), copied);
        QCOMPARE(namesIn(dir.path()), (QStringList {"dst", "src"}));
    }

    // A copy that does not fit fails as "Disk full", leaving the old target and no partial file.
    void copyToAFullDisk()
    {
        auto disk = Mount::tmpfs(4096);
        if (!disk)
            QSKIP("this machine does not let the test mount a small tmpfs");
        const QString target = disk->dir.path() + "/dst";
        QVERIFY(writeFile(target, "old") && writeFile(at("src"), QByteArray(5 << 20, 's')));
        QCOMPARE(fs.FileCopy(at("src"), target).error().number, 61);
        QCOMPARE(namesIn(disk->dir.path()), QStringList {"dst"});
        QCOMPARE(readFile(target), QByteArray("old"));
        const QByteArray content = QByteArray("0123456789abcdefghijklmnopqrstuvwxyz-").repeated(90000); // 3.3 MB, no block alike
        QVERIFY(writeFile(at("src"), content) && fs.FileCopy(at("src"), target).has_value());
        QCOMPARE(readFile(target), content);
        // A volume with no file entry left to give says so too, where the copy's file that would replace the target cannot be made.
        const auto full = Mount::make("tmpfs", "tmpfs", 0, "size=4096k,nr_inodes=2,mode=1777", QDir::tempPath());
        QVERIFY(full && writeFile(full->dir.path() + "/dst", "old"));
        QCOMPARE(fs.FileCopy(at("src"), full->dir.path() + "/dst").error().number, 61);
        QCOMPARE(readFile(full->dir.path() + "/dst"), QByteArray("old"));
    }

    // A file written whole keeps the permissions it replaces and writes through a link, which stays, but not through a
    // link to nothing; a full device says so, and a file that appears while a copy is written is replaced.
    void writtenFiles()
    {
        auto mode = [&](const QString &name) { struct stat st {}; return ::lstat(encodeUtf8Name(at(name)).constData(), &st) ? -1 : int(st.st_mode); };
        QVERIFY(fs.writeFile(at("new.txt"), "new").has_value());
        QVERIFY(writeFile(at("private.txt"), "old") && setMode(at("private.txt"), 0600) && fs.writeFile(at("private.txt"), "replaced").has_value());
        QVERIFY(QFile::link(at("private.txt"), at("link.txt")) && fs.writeFile(at("link.txt"), "through the link").has_value());
        QCOMPARE(QString::asprintf("%o %o %o ", mode("new.txt"), mode("private.txt"), mode("link.txt")) + readFile(at("private.txt")), "100644 100600 120777 through the link");
        QCOMPARE(QFile::link(at("gone"), at("dangling")) ? fs.writeFile(at("dangling"), "x").error().number : 0, 75);
        QCOMPARE(fs.writeFile("/dev/full", "settings", SpecialTarget::WriteInto).error().number, 61);
        QVERIFY(writeFile(at("src"), "copied") && fs.FileCopy(at("src"), at("appeared"), [&](std::int64_t) { return writeFile(at("appeared"), "meanwhile"); }).has_value());
        QCOMPARE(readFile(at("appeared")) + ' ' + namesIn(dir.path()).join(' ').toUtf8(), "copied appeared dangling link.txt new.txt private.txt src");
    }
};

DYADIX_DISK_TEST_MAIN(tst_Copying)
#include "tst_copying.moc"
