#pragma once

// The file-system tests' base: the program's own file system, and a fresh folder on the real disk
// for each test function.

#include "native/isolatedfilesystem.h"
#include "native/nativefilesystem.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace dyadix::test {

class DiskTest : public QObject
{
    Q_OBJECT
protected:
    NativeFileSystem fs;
    QTemporaryDir dir;
    QString at(const QString &name) { return dir.path() + '/' + name; }
private slots:
    void initTestCase() { ::umask(022); }
    void cleanup() { QDir(dir.path()).removeRecursively(), QDir().mkpath(dir.path()); }
};

} // namespace dyadix::test

// A test's main: the file helper starts first, as the program starts it, before any thread.
#define DYADIX_DISK_TEST_MAIN(Test)                                                                \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        dyadix::IsolatedFileSystem::startHelper();                                                 \
        QCoreApplication application(argc, argv);                                                  \
        Test test;                                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
