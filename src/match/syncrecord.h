#pragma once

// The record of the last time two folders were in step: which names were the same on both
// sides, with their date and size, and since when.

#include "core/datestamp.h"
#include "core/nameorder.h"
#include "core/result.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace dyadix {

// Names in the order of the file lists (without regard to case, then by their characters),
// each with the date stamp and size both sides had and the local time (a date stamp) at which
// they were last seen in step.
class SyncRecord
{
public:
    struct Entry
    {
        DateStamp date = 0;
        std::int64_t size = 0;
        DateStamp since = 0;
    };

    // The record's name in the state folder: one per pair of folders and way of listing.
    static QString fileName(const QString &left, const QString &right, bool subfolders);

    // The record as a file holds it: a header naming the two folders, the fixed part of every
    // entry, then the names in UTF-8 each ending in a zero byte, and a checksum of all that.
    // A name costs its own bytes and 17 more.
    QByteArray encode() const;
    // The record a file holds, or nothing where it is not one, is cut short or was damaged
    // (its checksum does not agree), or is that of other folders.
    static std::optional<SyncRecord> decode(const QByteArray &bytes, const QString &left, const QString &right, bool subfolders);

    SyncRecord() = default;
    SyncRecord(const QString &left, const QString &right, bool subfolders)
        : m_left(left), m_right(right), m_subfolders(subfolders) {}

    // A record of the same folders without entries.
    SyncRecord emptyCopy() const { return SyncRecord(m_left, m_right, m_subfolders); }

    std::size_t size() const { return m_entries.size(); }
    NameView nameAt(std::size_t index) const
    {
        return QStringView(m_names).mid(qsizetype(m_entries[index].at), qsizetype(m_entries[index].length));
    }
    const Entry &entryAt(std::size_t index) const { return m_entries[index].entry; }
    // When the record was written last (a date stamp); 0 for a record never written.
    DateStamp written() const { return m_written; }
    void setWritten(DateStamp when) { m_written = when; }

    // Adds a name after the last; names must come in the record's order.
    void append(NameView name, const Entry &entry);
    // Sets a name's entry, keeping the order: for the few names a copy brings in step. With
    // `foldCase`, it takes the place of the name's entries in any case.
    void set(const QString &name, const Entry &entry, bool foldCase);

    // The record's order of two names.
    static int order(NameView a, NameView b);

private:
    struct Stored
    {
        std::uint32_t at = 0; // in m_names
        std::uint32_t length = 0;
        Entry entry;
    };
    QString m_left, m_right;
    bool m_subfolders = false;
    DateStamp m_written = 0;
    QString m_names; // every name, back to back
    std::vector<Stored> m_entries;
};

// The minutes from one date stamp to another (negative where the second is earlier).
std::int64_t minutesBetween(DateStamp from, DateStamp to);

} // namespace dyadix
