#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace dyadix::test {

// Writes a file with the given content and last-modified time (seconds since the epoch;
// 0 leaves the time as it is). The path may hold any bytes. Returns false on failure.
bool writeFile(const QByteArray &path, const QByteArray &content, std::int64_t modified = 0);
bool writeFile(const QString &path, const QByteArray &content, std::int64_t modified = 0);

// Seconds since the epoch of a local date and time.
std::int64_t localTime(int year, int month, int day, int hour, int minute, int second = 0);

// The last-modified time in seconds of a path, or -1.
std::int64_t modifiedOf(const QString &path);

} // namespace dyadix::test

namespace dyadix::test {

// The content of a file, or a null array when it cannot be read.
QByteArray readFile(const QString &path);
// The names in a folder, hidden ones included, sorted.
QStringList namesIn(const QString &folder);

} // namespace dyadix::test
