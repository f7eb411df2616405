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
    void bigFile();

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

QTEST_GUILESS_MAIN(tst_SafeCopy)
#include "tst_safecopy.moc"
