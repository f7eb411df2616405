#include "tempfiles.h"

#include "runtime/nativename.h"

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dyadix::test {

bool writeFile(const QByteArray &path, const QByteArray &content, std::int64_t modified)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    qsizetype written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + written,
                                  static_cast<size_t>(content.size() - written));
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        written += n;
    }
    if (modified != 0) {
        const struct timespec times[2] = {{static_cast<time_t>(modified), 0},
                                          {static_cast<time_t>(modified), 0}};
        if (::futimens(fd, times) != 0) {
            ::close(fd);
            return false;
        }
    }
    return ::close(fd) == 0;
}

bool writeFile(const QString &path, const QByteArray &content, std::int64_t modified)
{
    return writeFile(encodeNativeName(path), content, modified);
}

std::int64_t localTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm local {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

std::int64_t modifiedOf(const QString &path)
{
    struct stat st {};
    if (::lstat(encodeNativeName(path).constData(), &st) != 0)
        return -1;
    return st.st_mtim.tv_sec;
}

} // namespace dyadix::test

#include <QDir>
#include <QFile>

namespace dyadix::test {

QByteArray readFile(const QString &path)
{
    const int fd = ::open(encodeNativeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QByteArray();
    QByteArray content("");
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, n);
    ::close(fd);
    return content;
}

QStringList namesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                               | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace dyadix::test
