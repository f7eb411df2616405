#pragma once

// A file list's lines, packed and kept in order: the names in shared blocks, placeholders,
// sorted merges and the figures of the widest line.

#include "nameblocks.h"
#include "paneentry.h"

#include <cstdint>
#include <vector>

namespace dyadix {

// Lines are kept in lineOrderLess order. A list holds up to millions of them, each in 40 bytes
// beside its name's characters: the name by its place in the blocks, and a mark whose bits
// the list's model uses for the tick and its reason; one bit says "placeholder".
class LineStore
{
public:
    struct Line
    {
        std::uint64_t nameAt = 0;
        std::uint32_t nameLength = 0;
        std::uint32_t mark = 0;
        std::int64_t size = 0;
        std::int64_t modified = 0;
        DateStamp date = 0;
    };
    static constexpr std::uint32_t PlaceholderMark = 1u << 30;

    // Hears of lines about to come, so that a model can tell its views.
    class Observer
    {
    public:
        virtual void beginInsert(int first, int last) = 0;
        virtual void endInsert() = 0;
        virtual void beginReset() = 0;
        virtual void endReset() = 0;

    protected:
        ~Observer() = default;
    };

    explicit LineStore(Observer &observer) : m_observer(observer) {}

    size_t size() const { return m_lines.size(); }
    const Line &at(size_t index) const { return m_lines.at(index); }
    NameView nameOf(const Line &line) const { return m_names.at(line.nameAt, line.nameLength); }
    bool placeholderAt(size_t index) const { return (at(index).mark & PlaceholderMark) != 0; }
    PaneEntry entry(size_t index) const;
    // Appends the line's text (name TAB date TAB size).
    void appendText(QString &text, size_t index) const;
    // The largest size of any line.
    std::int64_t largestSize() const;

    // Puts entries at their sorted places in one step (sort, then merge).
    void add(std::vector<PaneEntry> entries);
    // Placeholders for lines of another store, given by their indexes there, made ready to
    // be added: they share the names the other store keeps; no line of either store changes.
    struct Prepared;
    Prepared preparePlaceholders(const LineStore &other, const std::vector<int> &rows);
    // Adds lines made ready; this touches no other store.
    void addPrepared(Prepared prepared);
    // Removes one line; the caller tells its views.
    void remove(size_t index);
    // Removes every line and name; the caller tells its views.
    void clear();
    // Sets the bits of a line's mark that are not the placeholder bit.
    void setMark(size_t index, std::uint32_t mark)
    {
        Line &line = m_lines.at(index);
        line.mark = (line.mark & PlaceholderMark) | (mark & ~PlaceholderMark);
    }

private:
    // A placeholder's line is its name; the rest is the same for all.
    struct NameRef
    {
        std::uint64_t nameAt;
        std::uint32_t nameLength;
    };
    static Line placeholderLine(const NameRef &name);
    Line lineOf(const PaneEntry &entry);
    bool lineLess(const Line &a, const Line &b) const;
    // Puts lines, sorted, at their places: appended where they all come last, else merged.
    void insertSorted(std::vector<Line> lines);
    template<typename LineAt>
    void mergeLines(size_t added, const LineAt &lineAt);
    // Notes the largest size among lines to be added.
    template<typename LineAt>
    void noteWidest(size_t added, const LineAt &lineAt);

public:
    struct Prepared
    {
    private:
        friend class LineStore;
        std::vector<NameRef> names;
    };

private:
    Observer &m_observer;
    NameBlocks m_names;
    std::vector<Line> m_lines;
    mutable std::int64_t m_largest = 0;
    mutable bool m_largestKnown = true;
};

} // namespace dyadix
