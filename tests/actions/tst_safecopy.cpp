#include "runtime/nativefilesystem.h"
#include "runtime/nativename.h"

#include "tempfiles.h"
#include "tmpfsmount.h"

#include <QDir>
#include <QFile>
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
    void init();
    void copiesContentTimeAndPermissions();
    void overwritesAnExistingTarget();
    void refusals_data();
    void refusals();
    void linkTargetIsReplacedNotFollowed();
    void bigFile();
    void fullDiskKeepsTheOldTarget();

private:
    QString at(const QString &name) const { return m_dir->path() + '/' + name; }
    std::unique_ptr<QTemporaryDir> m_dir;
    NativeFileSystem m_fs;
};

void tst_SafeCopy::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

// The target gets the source's bytes, its modification time to the nanosecond and its
// permissions.
void tst_SafeCopy::copiesContentTimeAndPermissions()
{
    QVERIFY(writeFile(at("src"), "payload"));
    const struct timespec times[2] = {{1700000000, 123456789}, {1600000000, 987654321}};
    QVERIFY(::utimensat(AT_FDCWD, encodeNativeName(at("src")).constData(), times, 0) == 0);
    QVERIFY(::chmod(encodeNativeName(at("src")).constData(), 0640) == 0);
    QVERIFY(m_fs.FileCopy(at("src"), at("dst")).has_value());
    QCOMPARE(readFile(at("dst")), QByteArray("payload"));
    struct stat st {};
    QVERIFY(::stat(encodeNativeName(at("dst")).constData(), &st) == 0);
    QCOMPARE(qint64(st.st_mtim.tv_sec), qint64(1600000000));
    QCOMPARE(qint64(st.st_mtim.tv_nsec), qint64(987654321));
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
    QCOMPARE(namesIn(m_dir->path()), (QStringList {"dst", "src"}));
}

// An existing target is replaced whole, also by a shorter file.
void tst_SafeCopy::overwritesAnExistingTarget()
{
    QVERIFY(writeFile(at("src"), "short"));
    QVERIFY(writeFile(at("dst"), "a much longer old content"));
    QVERIFY(m_fs.FileCopy(at("src"), at("dst")).has_value());
    QCOMPARE(readFile(at("dst")), QByteArray("short"));
}

// What cannot be copied is refused with its error and leaves the target as it was.
void tst_SafeCopy::refusals_data()
{
    QTest::addColumn<QString>("case_");
    QTest::addColumn<int>("error");
    QTest::newRow("missing source") << "missing source" << 53;
    QTest::newRow("target folder gone") << "target folder gone" << 76;
    QTest::newRow("read-only target") << "read-only target" << 70;
    QTest::newRow("target is a folder") << "target is a folder" << 75;
    QTest::newRow("source is a folder") << "source is a folder" << 75;
}

void tst_SafeCopy::refusals()
{
    QFETCH(QString, case_);
    QFETCH(int, error);
    QVERIFY(writeFile(at("src"), "new"));
    QString source = at("src"), target = at("dst");
    if (case_ == "missing source")
        source = at("nothing");
    if (case_ == "target folder gone")
        target = at("gone/dst");
    if (case_ == "read-only target") {
        QVERIFY(writeFile(target, "old"));
        QVERIFY(::chmod(encodeNativeName(target).constData(), 0444) == 0);
    }
    if (case_ == "target is a folder")
        QVERIFY(QDir(m_dir->path()).mkdir("dst"));
    if (case_ == "source is a folder") {
        QVERIFY(QDir(m_dir->path()).mkdir("folder"));
        source = at("folder");
    }
    const Status status = m_fs.FileCopy(source, target);
    QVERIFY(!status.has_value());
    QCOMPARE(status.error().number, error);
    if (case_ == "read-only target")
        QCOMPARE(readFile(target), QByteArray("old"));
    for (const QString &name : namesIn(m_dir->path()))
        QVERIFY2(!name.endsWith(".part"), qPrintable(name));
}

// Copying over a link replaces the link with the file; the file it pointed to is untouched.
void tst_SafeCopy::linkTargetIsReplacedNotFollowed()
{
    QVERIFY(writeFile(at("src"), "new"));
    QVERIFY(writeFile(at("elsewhere"), "keep"));
    QVERIFY(QFile::link(at("elsewhere"), at("dst")));
    QVERIFY(m_fs.FileCopy(at("src"), at("dst")).has_value());
    QVERIFY(!QFileInfo(at("dst")).isSymLink());
    QCOMPARE(readFile(at("dst")), QByteArray("new"));
    QCOMPARE(readFile(at("elsewhere")), QByteArray("keep"));
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

// A disk that fills up during the copy leaves the old, bigger target byte for byte as it was
// and no temporary file behind.
void tst_SafeCopy::fullDiskKeepsTheOldTarget()
{
    TmpfsMount disk(1024);
    if (!disk.mounted())
        QSKIP("this machine does not let the test mount a small tmpfs");
    const QByteArray old(700 * 1024, 'o');
    QVERIFY(writeFile(disk.path() + "/dst", old));
    QVERIFY(writeFile(at("src"), QByteArray(600 * 1024, 'n')));
    const Status status = m_fs.FileCopy(at("src"), disk.path() + "/dst");
    QVERIFY(!status.has_value());
    QCOMPARE(status.error().number, 61);
    QCOMPARE(readFile(disk.path() + "/dst"), old);
    QCOMPARE(namesIn(disk.path()), QStringList {"dst"});
}

QTEST_GUILESS_MAIN(tst_SafeCopy)
#include "tst_safecopy.moc"
