#include "syncrecord.h"

#include "core/utf8names.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstring>

namespace dyadix {

namespace {

const QByteArray Magic = QByteArrayLiteral("DYADIX-RECORD-1\n");
constexpr qsizetype FixedPart = 16; // date and time seen in step (4 bytes each), size (8)

// A date stamp as minutes since 1970/01/01 00:00 of its own clock, and back.
std::int64_t minutesSinceEpoch(DateStamp stamp)
{
    const std::int64_t y = stamp / 100000000, m = stamp / 1000000 % 100, d = stamp / 10000 % 100;
    // Days from the civil date (Howard Hinnant's algorithm).
    const std::int64_t year = m <= 2 ? y - 1 : y;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t ofEra = year - era * 400;
    const std::int64_t ofYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t days = era * 146097 + ofEra * 365 + ofEra / 4 - ofEra / 100 + ofYear - 719468;
    return days * 1440 + stamp / 100 % 100 * 60 + stamp % 100;
}

DateStamp stampOf(std::int32_t minutes)
{
    const std::int64_t total = minutes, days = (total >= 0 ? total : total - 1439) / 1440, inDay = total - days * 1440;
    const std::int64_t z = days + 719468, era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t ofEra = z - era * 146097;
    const std::int64_t yearOfEra = (ofEra - ofEra / 1460 + ofEra / 36524 - ofEra / 146096) / 365;
    const std::int64_t ofYear = ofEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * ofYear + 2) / 153, d = ofYear - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yearOfEra + era * 400 + (m <= 2);
    return ((((y * 100 + m) * 100 + d) * 100 + inDay / 60) * 100) + inDay % 60;
}

// A checksum of the record's bytes, eight at a time: enough to tell a damaged file.
std::uint64_t checksumOf(const char *data, qsizetype size)
{
    std::uint64_t hash = 0x243F6A8885A308D3ULL ^ std::uint64_t(size);
    qsizetype at = 0;
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + at, 8);
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 29;
    }
    for (; at < size; ++at)
        hash = (hash ^ static_cast<unsigned char>(data[at])) * 0x100000001B3ULL;
    return hash;
}

// A date stamp as the file keeps it: "no date" and a date beyond four bytes' reach (after the
// year 6053) each a value no date takes; such a date reads back as one no file has.
constexpr std::int32_t NoDate = INT32_MIN, OutOfReach = INT32_MIN + 1;
constexpr DateStamp NeverSeen = -1;

std::int32_t storedDate(DateStamp stamp)
{
    if (stamp == 0)
        return NoDate;
    const std::int64_t minutes = minutesSinceEpoch(stamp);
    return minutes > INT32_MAX || minutes <= OutOfReach ? OutOfReach : std::int32_t(minutes);
}

DateStamp readDate(std::int32_t stored)
{
    return stored == NoDate ? 0 : stored == OutOfReach ? NeverSeen : stampOf(stored);
}

template<typename T> void put(QByteArray &bytes, T value)
{
    const T little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char *>(&little), sizeof little);
}

// Reads the record's parts in turn; once short, every later read fails too.
class Reader
{
public:
    Reader(const QByteArray &bytes, qsizetype end) : m_bytes(bytes), m_end(end) {}
    template<typename T> bool get(T &value)
    {
        if (m_at + qsizetype(sizeof value) > m_end)
            return false;
        std::memcpy(&value, m_bytes.constData() + m_at, sizeof value);
        value = qFromLittleEndian(value);
        m_at += sizeof value;
        return true;
    }
    bool text(QByteArray &value)
    {
        std::uint32_t length = 0;
        if (!get(length) || m_at + qsizetype(length) > m_end)
            return false;
        value = m_bytes.mid(m_at, length);
        m_at += length;
        return true;
    }
    qsizetype at() const { return m_at; }
    void skip(qsizetype bytes) { m_at += bytes; }

private:
    const QByteArray &m_bytes;
    qsizetype m_end;
    qsizetype m_at = 0;
};

} // namespace

std::int64_t minutesBetween(DateStamp from, DateStamp to)
{
    return minutesSinceEpoch(to) - minutesSinceEpoch(from);
}

QString SyncRecord::fileName(const QString &left, const QString &right, bool subfolders)
{
    const QByteArray key = encodeUtf8Name(left) + '\0' + encodeUtf8Name(right) + '\0' + (subfolders ? '1' : '0');
    return QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32)) + QStringLiteral(".record");
}

int SyncRecord::order(NameView a, NameView b)
{
    const int folded = compareNameViews(a, b);
    return folded != 0 ? folded : compareNameViewsExactly(a, b);
}

void SyncRecord::append(NameView name, const Entry &entry)
{
    const qsizetype at = m_names.size();
    name.appendTo(m_names);
    m_entries.push_back({std::uint32_t(at), std::uint32_t(m_names.size() - at), entry});
}

void SyncRecord::set(const QString &name, const Entry &entry, bool foldCase)
{
    // Where case does not count, every entry of the name in another case is this one.
    const auto compare = [this, foldCase](const Stored &stored, QStringView wanted) {
        const NameView storedName = QStringView(m_names).mid(qsizetype(stored.at), qsizetype(stored.length));
        return foldCase ? compareNameViews(storedName, wanted) : order(storedName, wanted);
    };
    auto place = std::lower_bound(m_entries.begin(), m_entries.end(), name,
                                  [&](const Stored &stored, const QString &wanted) { return compare(stored, wanted) < 0; });
    auto end = place;
    while (end != m_entries.end() && compare(*end, name) == 0)
        ++end;
    place = m_entries.erase(place, end);
    const qsizetype at = m_names.size();
    m_names += name;
    m_entries.insert(place, {std::uint32_t(at), std::uint32_t(name.size()), entry});
}

QByteArray SyncRecord::encode() const
{
    QByteArray bytes = Magic;
    for (const QString &folder : {m_left, m_right}) {
        const QByteArray utf8 = encodeUtf8Name(folder);
        put(bytes, std::uint32_t(utf8.size()));
        bytes += utf8;
    }
    bytes += char(m_subfolders ? 1 : 0);
    put(bytes, storedDate(m_written));
    put(bytes, std::uint32_t(m_entries.size()));
    bytes.reserve(bytes.size() + qsizetype(m_entries.size()) * (FixedPart + 1) + m_names.size() + 8);
    for (const Stored &stored : m_entries) {
        put(bytes, storedDate(stored.entry.date));
        put(bytes, storedDate(stored.entry.since));
        put(bytes, std::int64_t(stored.entry.size));
    }
    for (const Stored &stored : m_entries) {
        bytes += encodeUtf8Name(QStringView(m_names).mid(qsizetype(stored.at), qsizetype(stored.length)));
        bytes += '\0';
    }
    put(bytes, checksumOf(bytes.constData(), bytes.size()));
    return bytes;
}

std::optional<SyncRecord> SyncRecord::decode(const QByteArray &bytes, const QString &left, const QString &right, bool subfolders)
{
    const qsizetype end = bytes.size() - 8;
    if (end < Magic.size() || !bytes.startsWith(Magic))
        return std::nullopt;
    std::uint64_t stored = 0; // little-endian, as put() wrote it
    for (qsizetype k = 7; k >= 0; --k)
        stored = stored << 8 | static_cast<unsigned char>(bytes.at(end + k));
    if (stored != checksumOf(bytes.constData(), end))
        return std::nullopt;
    Reader reader(bytes, end);
    reader.skip(Magic.size());
    QByteArray storedLeft, storedRight;
    std::uint8_t storedSubfolders = 0;
    std::int32_t written = 0;
    std::uint32_t count = 0;
    if (!reader.text(storedLeft) || !reader.text(storedRight) || !reader.get(storedSubfolders) || !reader.get(written)
        || !reader.get(count) || qsizetype(count) > (end - reader.at()) / (FixedPart + 1))
        return std::nullopt;
    // Another pair of folders whose name came out the same: not this pair's record.
    if (decodeUtf8Name(storedLeft.toStdString()) != left || decodeUtf8Name(storedRight.toStdString()) != right
        || (storedSubfolders != 0) != subfolders)
        return std::nullopt;
    SyncRecord record(left, right, subfolders);
    record.m_written = readDate(written);
    record.m_entries.resize(count);
    for (Stored &entry : record.m_entries) {
        std::int32_t date = 0, since = 0;
        std::int64_t size = 0;
        reader.get(date), reader.get(since), reader.get(size);
        entry.entry = {readDate(date), size, readDate(since)};
    }
    // The names, decoded at once, each ending in a zero.
    record.m_names = decodeUtf8Name(std::string_view(bytes.constData() + reader.at(), std::size_t(end - reader.at())));
    qsizetype at = 0;
    for (Stored &entry : record.m_entries) {
        const qsizetype zero = record.m_names.indexOf(QChar(0), at);
        if (zero < 0)
            return std::nullopt;
        entry.at = std::uint32_t(at);
        entry.length = std::uint32_t(zero - at);
        // Out of order (written where names fold otherwise), the record cannot be walked.
        if (&entry != &record.m_entries.front() && order(record.nameAt(std::size_t(&entry - &record.m_entries.front()) - 1), record.nameAt(std::size_t(&entry - &record.m_entries.front()))) >= 0)
            return std::nullopt;
        at = zero + 1;
    }
    if (at != record.m_names.size())
        return std::nullopt;
    return record;
}

} // namespace dyadix
