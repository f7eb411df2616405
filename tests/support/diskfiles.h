#pragma once

// Files on disk written and read as the kernel sees them: bytes, times and modes.

#include "core/utf8names.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QStringList>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dyadix::test {

// Writes a file with content and modification time (seconds; 0 leaves it); any bytes in path.
inline bool writeFile(const QByteArray &path, const QByteArray &content, std::int64_t modified = 0)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const struct timespec times[2] = {{time_t(modified), 0}, {time_t(modified), 0}};
    const bool ok = fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size()
        && (modified == 0 || ::futimens(fd, times) == 0);
    return fd >= 0 && ::close(fd) == 0 && ok;
}
inline bool writeFile(const QString &path, const QByteArray &content, std::int64_t modified = 0)
{
    return writeFile(encodeUtf8Name(path), content, modified);
}
// The content of a file, or a null array when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    const int fd = ::open(encodeUtf8Name(path).constData(), O_RDONLY | O_CLOEXEC);
    QByteArray content = fd < 0 ? QByteArray() : QByteArray("");
    char buffer[65536];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, n);
    if (fd >= 0)
        ::close(fd);
    return content;
}
inline std::int64_t localTime(int year, int month, int day, int hour, int minute, int second = 0)
{
    std::tm t {second, minute, hour, day, month - 1, year - 1900, 0, 0, -1, 0, nullptr};
    return std::mktime(&t);
}
inline std::int64_t modifiedOf(const QString &path) // -1: no such file
{
    struct stat st {};
    return ::lstat(encodeUtf8Name(path).constData(), &st) == 0 ? st.st_mtim.tv_sec : -1;
}
inline QStringList namesIn(const QString &folder) // sorted, hidden ones included
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return names.sort(), names;
}
inline bool setMode(const QString &path, int mode)
{
    return ::chmod(encodeUtf8Name(path).constData(), mode_t(mode)) == 0;
}

// A folder's entries by path: "path=content@o" (changed at `old`; "@n" at `young`), "path/", "path|" a pipe, "path@" a link.
inline QString filesOf(const QString &top, std::int64_t old, std::int64_t young, bool deep = false)
{
    QMap<QString, QString> items;
    QDirIterator it(top, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, deep ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString path = it.next(), name = path.mid(top.size() + 1);
        struct stat st {};
        const int kind = ::lstat(encodeUtf8Name(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
        items[name] = name + (kind == S_IFDIR ? "/" : kind == S_IFIFO ? "|" : kind == S_IFLNK ? "@" : kind != S_IFREG ? "?" : "=" + readFile(path)
                              + (st.st_mtim.tv_sec == old ? "@o" : st.st_mtim.tv_sec == young ? "@n" : ""));
    }
    return QStringList(items.values()).join(' ');
}

} // namespace dyadix::test
