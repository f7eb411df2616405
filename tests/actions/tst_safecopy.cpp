#include "runtime/nativefilesystem.h"
#include "runtime/nativename.h"

#include "tempfiles.h"
#include "tmpfsmount.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace dyadix;
using namespace dyadix::test;

class tst_SafeCopy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void copiesContentTimeAndPermissions_data();
    void copiesContentTimeAndPermissions();
    void overwritesAnExistingTarget();
    void bigFile();
    void fullDiskLeavesNothingBehind_data();
    void fullDiskLeavesNothingBehind();
    void writtenFilePermissions();

private:
    QString at(const QString &name) const { return m_dir->path() + '/' + name; }
    static mode_t modeOf(const QString &path)
    {
        struct stat st {};
        return ::lstat(encodeNativeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    NativeFileSystem m_fs;
};

void tst_SafeCopy::initTestCase()
{
    ::umask(022);
}

void tst_SafeCopy::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

// The target gets the source's bytes, its modification time to the nanosecond and its
// permissions, also those that a new file would not get by default; nothing else is left in
// the folder.
void tst_SafeCopy::copiesContentTimeAndPermissions_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("owner and group") << 0640 << false;
    QTest::newRow("everyone may write") << 0666 << false;
    QTest::newRow("read-only") << 0444 << false;
    QTest::newRow("set-group-ID program") << 02755 << false;
    QTest::newRow("everyone may write, over an existing target") << 0666 << true;
}

void tst_SafeCopy::copiesContentTimeAndPermissions()
{
    QFETCH(int, mode);
    QFETCH(bool, targetExists);
    QVERIFY(writeFile(at("src"), "payload"));
    if (targetExists)
        QVERIFY(writeFile(at("dst"), "old"));
    const struct timespec times[2] = {{1700000000, 123456789}, {1600000000, 987654321}};
    QVERIFY(::utimensat(AT_FDCWD, encodeNativeName(at("src")).constData(), times, 0) == 0);
    QVERIFY(::chmod(encodeNativeName(at("src")).constData(), mode_t(mode)) == 0);
    QVERIFY(m_fs.FileCopy(at("src"), at("dst")).has_value());
    QCOMPARE(readFile(at("dst")), QByteArray("payload"));
    struct stat st {};
    QVERIFY(::stat(encodeNativeName(at("dst")).constData(), &st) == 0);
    QCOMPARE(qint64(st.st_mtim.tv_sec), qint64(1600000000));
    QCOMPARE(qint64(st.st_mtim.tv_nsec), qint64(987654321));
    QCOMPARE(st.st_mode & 07777, mode_t(mode));
    QCOMPARE(namesIn(m_dir->path()), (QStringList {"dst", "src"}));
}

// An existing target is replaced whole, also by a shorter file.
void tst_SafeCopy::overwritesAnExistingTarget()
{
    QVERIFY(writeFile(at("src"), "short"));
    QVERIFY(writeFile(at("dst"), "a much longer old content"));
    QVERIFY(m_fs.FileCopy(at("src"), at("dst")).has_value());
    QCOMPARE(readFile(at("dst")), QByteArray("short"));
    QCOMPARE(namesIn(m_dir->path()), (QStringList {"dst", "src"}));
}

// A file bigger than one kernel copy call arrives whole.
void tst_SafeCopy::bigFile()
{
    QByteArray content(3 * 1024 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char(i * 7 % 251);
    QVERIFY(writeFile(at("src"), content));
    TmpfsMount other(8 * 1024);
    const QString target = other.mounted() ? other.path() + "/dst" : at("dst");
    QVERIFY(m_fs.FileCopy(at("src"), target).has_value());
    QCOMPARE(readFile(target), content);
}

// A copy that does not fit on the target's volume fails with "Disk full", leaves an existing
// target as it was and leaves no partial file under any name, nor the space it took.
void tst_SafeCopy::fullDiskLeavesNothingBehind_data()
{
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("new target") << false;
    QTest::newRow("existing target") << true;
}

void tst_SafeCopy::fullDiskLeavesNothingBehind()
{
    QFETCH(bool, targetExists);
    TmpfsMount disk(128);
    if (!disk.mounted())
        QSKIP("this machine does not let the test mount a small tmpfs");
    const QString target = disk.path() + "/dst";
    if (targetExists)
        QVERIFY(writeFile(target, "old"));
    QVERIFY(writeFile(at("src"), QByteArray(200 * 1024, 's')));

    const Status copied = m_fs.FileCopy(at("src"), target);
    QVERIFY(!copied);
    QCOMPARE(copied.error().number, 61);
    QCOMPARE(namesIn(disk.path()), targetExists ? QStringList {"dst"} : QStringList {});
    if (targetExists)
        QCOMPARE(readFile(target), QByteArray("old"));
    // The space the failed copy took is free again: a file that fitted before still fits.
    QVERIFY(writeFile(at("src"), QByteArray(100 * 1024, 't')));
    QVERIFY(m_fs.FileCopy(at("src"), target).has_value());
    QCOMPARE(readFile(target), QByteArray(100 * 1024, 't'));
}

// A file the program writes whole (an export, say) gets a new file's permissions, keeps those
// of the file it replaces, and replaces a link rather than writing through it.
void tst_SafeCopy::writtenFilePermissions()
{
    QVERIFY(m_fs.writeFile(at("new.txt"), "new").has_value());
    QCOMPARE(modeOf(at("new.txt")), mode_t(0644));

    QVERIFY(writeFile(at("private.txt"), "old"));
    QVERIFY(::chmod(encodeNativeName(at("private.txt")).constData(), 0600) == 0);
    QVERIFY(m_fs.writeFile(at("private.txt"), "replaced").has_value());
    QCOMPARE(readFile(at("private.txt")), QByteArray("replaced"));
    QCOMPARE(modeOf(at("private.txt")), mode_t(0600));

    QVERIFY(QFile::link(at("private.txt"), at("link.txt")));
    QVERIFY(m_fs.writeFile(at("link.txt"), "through no link").has_value());
    QVERIFY(!QFileInfo(at("link.txt")).isSymLink());
    QCOMPARE(modeOf(at("link.txt")), mode_t(0644));
    QCOMPARE(readFile(at("private.txt")), QByteArray("replaced"));
    QCOMPARE(namesIn(m_dir->path()), (QStringList {"link.txt", "new.txt", "private.txt"}));
}

QTEST_GUILESS_MAIN(tst_SafeCopy)
#include "tst_safecopy.moc"
