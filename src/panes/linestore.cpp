#include "linestore.h"

#include <algorithm>

namespace dyadix {

PaneEntry LineStore::entry(size_t index) const
{
    const Line &line = at(index);
    return PaneEntry {nameOf(line).toString(), line.date, line.size, (line.mark & PlaceholderMark) != 0,
                      line.modified};
}

void LineStore::appendText(QString &text, size_t index) const
{
    const Line &line = at(index);
    appendLineText(text, nameOf(line), line.date, line.size, (line.mark & PlaceholderMark) != 0);
}

std::int64_t LineStore::largestSize() const
{
    if (!m_largestKnown) {
        m_largest = 0;
        for (const Line &line : m_lines)
            m_largest = std::max(m_largest, line.size);
        m_largestKnown = true;
    }
    return m_largest;
}

LineStore::Line LineStore::placeholderLine(const NameRef &name)
{
    Line line;
    line.nameAt = name.nameAt;
    line.nameLength = name.nameLength;
    line.mark = PlaceholderMark;
    return line;
}

LineStore::Line LineStore::lineOf(const PaneEntry &entry)
{
    Line line;
    line.nameAt = m_names.add(entry.name);
    line.nameLength = std::uint32_t(entry.name.size());
    line.mark = entry.placeholder ? PlaceholderMark : 0;
    line.size = entry.size;
    line.modified = entry.modified;
    line.date = entry.date;
    return line;
}

bool LineStore::lineLess(const Line &a, const Line &b) const
{
    return lineOrderLess({nameOf(a), a.date, a.size, (a.mark & PlaceholderMark) != 0},
                         {nameOf(b), b.date, b.size, (b.mark & PlaceholderMark) != 0});
}

void LineStore::add(std::vector<PaneEntry> entries)
{
    if (entries.empty())
        return;
    if (std::is_sorted(entries.rbegin(), entries.rend(), entryLess))
        std::reverse(entries.begin(), entries.end());
    else if (!std::is_sorted(entries.begin(), entries.end(), entryLess))
        sortEntries(entries);
    std::vector<Line> lines;
    lines.reserve(entries.size());
    for (PaneEntry &entry : entries) {
        lines.push_back(lineOf(entry));
        entry.name = QString(); // the name now lives in the store's blocks
    }
    entries = {};
    insertSorted(std::move(lines));
}

LineStore::Prepared LineStore::preparePlaceholders(const LineStore &other, const std::vector<int> &rows)
{
    // The names stay where the other store keeps them: its blocks are shared, not copied.
    Prepared prepared;
    std::vector<NameRef> &names = prepared.names;
    names.reserve(rows.size());
    const std::uint64_t shift = rows.empty() ? 0 : m_names.adopt(other.m_names);
    for (const int row : rows) {
        const Line &theirs = other.m_lines.at(size_t(row));
        names.push_back({theirs.nameAt + shift, theirs.nameLength});
    }
    const auto less = [this](const NameRef &a, const NameRef &b) {
        return lineLess(placeholderLine(a), placeholderLine(b));
    };
    if (std::is_sorted(names.rbegin(), names.rend(), less))
        std::reverse(names.begin(), names.end());
    else if (!std::is_sorted(names.begin(), names.end(), less))
        std::stable_sort(names.begin(), names.end(), less);
    return prepared;
}

void LineStore::addPrepared(Prepared prepared)
{
    const std::vector<NameRef> &names = prepared.names;
    mergeLines(names.size(), [&names](size_t k) { return placeholderLine(names[k]); });
}

void LineStore::insertSorted(std::vector<Line> lines)
{
    if (m_lines.empty() && !lines.empty()) {
        noteWidest(lines.size(), [&lines](size_t k) -> const Line & { return lines[k]; });
        m_observer.beginInsert(0, static_cast<int>(lines.size()) - 1);
        m_lines = std::move(lines);
        m_observer.endInsert();
        return;
    }
    mergeLines(lines.size(), [&lines](size_t k) -> const Line & { return lines[k]; });
}

template<typename LineAt>
void LineStore::noteWidest(size_t added, const LineAt &lineAt)
{
    if (m_largestKnown) {
        for (size_t k = 0; k < added; ++k)
            m_largest = std::max(m_largest, lineAt(k).size);
    }
}

// Puts `added` sorted lines, the k-th given by lineAt(k), at their places.
template<typename LineAt>
void LineStore::mergeLines(size_t added, const LineAt &lineAt)
{
    if (added == 0)
        return;
    noteWidest(added, lineAt);
    const size_t oldCount = m_lines.size();
    // The store grows by a quarter at least, not by doubling: at a million lines the unused
    // room would weigh as much as the names.
    if (m_lines.capacity() < oldCount + added)
        m_lines.reserve(std::max(oldCount + added, m_lines.capacity() + m_lines.capacity() / 4));
    // Lines that all come after the store's (a tree listed in order) are appended.
    if (oldCount == 0 || !lineLess(lineAt(0), m_lines.back())) {
        m_observer.beginInsert(static_cast<int>(oldCount), static_cast<int>(oldCount + added) - 1);
        for (size_t k = 0; k < added; ++k)
            m_lines.push_back(lineAt(k));
        m_observer.endInsert();
        return;
    }
    // One line goes in at its place.
    if (added == 1) {
        const auto place = std::upper_bound(m_lines.begin(), m_lines.end(), lineAt(0),
                                            [this](const Line &a, const Line &b) { return lineLess(a, b); });
        const int at = static_cast<int>(place - m_lines.begin());
        m_observer.beginInsert(at, at);
        m_lines.insert(place, lineAt(0));
        m_observer.endInsert();
        return;
    }
    // Merged in place from the back, so that no second copy of the store is made.
    m_observer.beginReset();
    m_lines.resize(oldCount + added);
    size_t to = oldCount + added;
    size_t from = oldCount;
    size_t next = added;
    while (next > 0) {
        --to;
        if (from > 0 && lineLess(lineAt(next - 1), m_lines[from - 1]))
            m_lines[to] = m_lines[--from];
        else
            m_lines[to] = lineAt(--next);
    }
    m_observer.endReset();
}

void LineStore::remove(size_t index)
{
    if (m_lines.at(index).size == m_largest)
        m_largestKnown = false;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(index));
}

void LineStore::clear()
{
    m_lines = {};
    m_names.clear();
    m_largest = 0;
    m_largestKnown = true;
}

} // namespace dyadix
