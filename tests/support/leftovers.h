#pragma once

// What a test leaves behind when it is killed before it cleans up (on its time-out, say) is
// undone all the same: the mounts it made and the programs it started.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <unistd.h>

namespace dyadix::test::leftovers {

// The record of this test program's mounts and programs; the first use starts the watcher
// (after-test) that reads it once the test program has ended.
inline void note(const QByteArray &line)
{
    static const QString record = [] {
        const QString path = QDir::tempPath() + "/dyadix-leftovers-" + QString::number(::getpid());
        QFile::remove(path);
        QProcess::startDetached("setsid", {DYADIX_AFTER_TEST, QString::number(::getpid()), path});
        return path;
    }();
    QFile file(record);
    if (file.open(QIODevice::Append))
        file.write(line + '\n');
}

inline void mounted(const QString &path)
{
    note("mount " + path.toLocal8Bit());
}

// Starts a program that is ended should this test die before it.
inline void start(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.start(program, arguments);
    if (process.waitForStarted())
        note("program " + QByteArray::number(process.processId()) + ' ' + QFile::encodeName(QFileInfo(program).canonicalFilePath()));
}

} // namespace dyadix::test::leftovers
