#include "runtime/nativefilesystem.h"
#include "runtime/nativename.h"

#include "faultyfilesystem.h"
#include "tempfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dyadix;
using namespace dyadix::test;

class tst_NativeFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void enumerationListsFilesOnly();
    void enumerationByPattern_data();
    void enumerationByPattern();
    void enumerationOfMissingFolder();
    void statOfFiles();
    void missingFileAndMissingPath();
    void bigFileSize();
    void killRefusesFolder();
    void volumes();

private:
    QStringList names(const QString &pattern);
    std::unique_ptr<QTemporaryDir> m_dir;
    NativeFileSystem m_fs;
};

void tst_NativeFileSystem::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QStringList tst_NativeFileSystem::names(const QString &pattern)
{
    Result<std::vector<DirEntry>> entries = m_fs.enumerate(m_dir->path(), pattern);
    if (!entries)
        return {QStringLiteral("error %1").arg(entries.error().number)};
    QStringList result;
    for (const DirEntry &entry : *entries)
        result << entry.name;
    result.sort();
    return result;
}

// Folders and links to folders never appear; hidden files, links to files and dangling
// links do.
void tst_NativeFileSystem::enumerationListsFilesOnly()
{
    const QString dir = m_dir->path();
    QVERIFY(writeFile(dir + "/a.txt", "aaa"));
    QVERIFY(writeFile(dir + "/.hidden", "h"));
    QVERIFY(QDir(dir).mkdir("sub"));
    QVERIFY(QDir(dir).mkdir("folder.txt"));
    QVERIFY(QFile::link(dir + "/sub", dir + "/link-to-folder"));
    QVERIFY(QFile::link(dir + "/a.txt", dir + "/link-to-file"));
    QVERIFY(QFile::link(dir + "/nowhere", dir + "/dangling"));
    QCOMPARE(names("*.*"), (QStringList {".hidden", "a.txt", "dangling", "link-to-file"}));

    Result<std::vector<DirEntry>> entries = m_fs.enumerate(dir, "link-to-file");
    QVERIFY(entries.has_value());
    QCOMPARE(entries->size(), size_t(1));
    QCOMPARE(entries->front().stat.size, 3);
    QVERIFY(entries->front().stat.attributes & FileAttribute::Alias);
    QVERIFY(!entries->front().statError);
}

// Each pattern of the filter selects its own files, without regard to case.
void tst_NativeFileSystem::enumerationByPattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("*.*") << "*.*" << QStringList {"Makefile", "Read.TXT", "form.frm", "form.frx", "notes.txt"};
    QTest::newRow("*.txt") << "*.txt" << QStringList {"Read.TXT", "notes.txt"};
    QTest::newRow("*.fr?") << "*.fr?" << QStringList {"form.frm", "form.frx"};
    QTest::newRow("no match") << "*.doc" << QStringList();
    QTest::newRow("empty pattern") << "" << QStringList();
}

void tst_NativeFileSystem::enumerationByPattern()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, expected);
    for (const char *name : {"Makefile", "Read.TXT", "form.frm", "form.frx", "notes.txt"})
        QVERIFY(writeFile(m_dir->path() + '/' + name, "x"));
    QCOMPARE(names(pattern), expected);
}

// A folder that is not there is "Path not found".
void tst_NativeFileSystem::enumerationOfMissingFolder()
{
    Result<std::vector<DirEntry>> entries = m_fs.enumerate(m_dir->path() + "/gone", "*.*");
    QVERIFY(!entries.has_value());
    QCOMPARE(entries.error().number, 76);
}

// Time, length and attributes come from one stat and agree with the file on disk.
void tst_NativeFileSystem::statOfFiles()
{
    const QString path = m_dir->path() + "/data.bin";
    const std::int64_t when = localTime(2023, 6, 30, 23, 59, 30);
    QVERIFY(writeFile(path, QByteArray(1234, 'x'), when));
    QCOMPARE(*m_fs.FileDateTime(path), when);
    QCOMPARE(*m_fs.FileLen(path), 1234);
    QCOMPARE(*m_fs.GetAttr(path), FileAttribute::Archive);
    QCOMPARE(*m_fs.GetAttr(m_dir->path()), FileAttribute::Directory);
    QVERIFY(::chmod(encodeNativeName(path).constData(), 0444) == 0);
    QCOMPARE(*m_fs.GetAttr(path), FileAttribute::Archive | FileAttribute::ReadOnly);

    Result<std::vector<DirEntry>> entries = m_fs.enumerate(m_dir->path(), "*.*");
    QCOMPARE(entries->size(), size_t(1));
    QCOMPARE(entries->front().stat.modified, when);
    QCOMPARE(entries->front().stat.size, 1234);
}

// A missing file in an existing folder and a file in a missing folder give different errors.
void tst_NativeFileSystem::missingFileAndMissingPath()
{
    QCOMPARE(m_fs.FileLen(m_dir->path() + "/none.txt").error().number, 53);
    QCOMPARE(m_fs.FileDateTime(m_dir->path() + "/no/none.txt").error().number, 76);
    QCOMPARE(m_fs.Kill(m_dir->path() + "/none.txt").error().number, 53);
    QCOMPARE(m_fs.Kill(m_dir->path() + "/no/none.txt").error().number, 76);
}

// Files of 2 GiB and more report their full length.
void tst_NativeFileSystem::bigFileSize()
{
    const QByteArray path = encodeNativeName(m_dir->path() + "/big.img");
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
    QVERIFY(fd >= 0);
    const off_t size = off_t(3) * 1024 * 1024 * 1024 + 5;
    QVERIFY(::ftruncate(fd, size) == 0);
    ::close(fd);
    QCOMPARE(*m_fs.FileLen(m_dir->path() + "/big.img"), std::int64_t(size));
}

// Delete never removes a folder, even an empty one.
void tst_NativeFileSystem::killRefusesFolder()
{
    QVERIFY(QDir(m_dir->path()).mkdir("empty"));
    QCOMPARE(m_fs.Kill(m_dir->path() + "/empty").error().number, 75);
    QVERIFY(QFileInfo(m_dir->path() + "/empty").isDir());
}

// The drive list offers the root volume, and every folder belongs to a listed-style root.
void tst_NativeFileSystem::volumes()
{
    const std::vector<Volume> volumes = m_fs.volumes();
    QVERIFY(std::any_of(volumes.begin(), volumes.end(),
                        [](const Volume &v) { return v.rootPath == "/"; }));
    for (const Volume &volume : volumes) {
        QVERIFY2(volume.rootPath.endsWith('/'), qPrintable(volume.rootPath));
        QVERIFY2(!volume.rootPath.startsWith("/proc") && !volume.rootPath.startsWith("/sys"),
                 qPrintable(volume.rootPath));
    }
    const Result<QString> root = m_fs.volumeOf(m_dir->path());
    QVERIFY(root.has_value());
    QVERIFY(root->endsWith('/'));
    QVERIFY(m_dir->path().startsWith(*root) || *root == "/");
    QCOMPARE(*m_fs.volumeOf(m_dir->path() + "/not/yet/there"), *root);
    QCOMPARE(m_fs.volumeOf("relative/path").error().number, 76);
    QCOMPARE(m_fs.volumeOf("/media/dyadix-unplugged-stick/photos").error().number, 68);
    QVERIFY(m_fs.folderExists(m_dir->path()));
    QVERIFY(!m_fs.folderExists(m_dir->path() + "/nope"));
}

QTEST_GUILESS_MAIN(tst_NativeFileSystem)
#include "tst_nativefilesystem.moc"
