#pragma once

#include "nameblocks.h"
#include "paneentry.h"

#include <QAbstractTableModel>
#include <QHash>

#include <cstdint>
#include <vector>

namespace dyadix {

// The lines of one pane's file list with a tick beside each, kept in entryLess order. Every
// command reads and changes the list through this model; a tick changes only through
// setSelected, which signals ticksChanged so that the pane's selection status follows.
class FileListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, DateColumn, SizeColumn, ColumnCount };
    enum Role { LineTextRole = Qt::UserRole, NameRole, PlaceholderRole };

    explicit FileListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // "Name", "Date" and "Size", as a screen reader reads the columns.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Adds one line at its sorted place.
    void AddItem(PaneEntry entry);
    // Adds many lines at their sorted places in one step (sort, then merge).
    void addItems(std::vector<PaneEntry> entries);
    // Placeholders for lines of another list, given by their indexes there, made ready to be
    // added: they share the names the other list keeps; no line of either list changes.
    struct Prepared;
    Prepared preparePlaceholders(const FileListModel &other, const std::vector<int> &rows);
    // Adds lines made ready; this touches no other list.
    void addPrepared(Prepared prepared);
    void RemoveItem(int index);
    void Clear();

    int ListCount() const { return static_cast<int>(m_lines.size()); }
    QString List(int index) const
    {
        QString text;
        appendLine(text, index);
        return text;
    }
    PaneEntry entry(int index) const;
    // A line's parts without copying its name; the name's view lasts until the list changes.
    NameView nameAt(int index) const { return nameOf(m_lines.at(size_t(index))); }
    DateStamp dateAt(int index) const { return m_lines.at(size_t(index)).date; }
    std::int64_t sizeAt(int index) const { return m_lines.at(size_t(index)).size; }
    std::int64_t modifiedAt(int index) const { return m_lines.at(size_t(index)).modified; }
    bool placeholderAt(int index) const { return (m_lines.at(size_t(index)).mark & PlaceholderMark) != 0; }
    // Appends the line's text, as List gives it.
    void appendLine(QString &text, int index) const;
    // The largest size of any line, for the width of the size column.
    std::int64_t largestSize() const;
    // A few of the longest names (by their number of characters), for the width of the name
    // column; a name removed may stay among them.
    const std::vector<QString> &longestNames() const { return m_longestNames; }

    bool Selected(int index) const { return (m_lines.at(size_t(index)).mark & TickMark) != 0; }
    // The one way a tick changes, by the user or by a command; a reason given with a tick
    // becomes the line's tool tip while it stays ticked.
    void setSelected(int index, bool ticked, const QString &reason = QString());
    int SelCount() const { return m_selCount; }
    // While one lives, ticks change without a signal each; at its end one dataChanged covers
    // the lines whose ticks changed, and one ticksChanged follows where any tick was set. For
    // a command that ticks a million lines at once.
    class TickBatch
    {
    public:
        explicit TickBatch(FileListModel &list) : m_list(list) { ++m_list.m_batchDepth; }
        ~TickBatch() { m_list.endTickBatch(); }
        TickBatch(const TickBatch &) = delete;
        TickBatch &operator=(const TickBatch &) = delete;

    private:
        FileListModel &m_list;
    };

    // The first visible line, as the view reports it and as synchronised scrolling sets it.
    int TopIndex() const { return m_topIndex; }
    bool setTopIndex(int index);

signals:
    // A line's tick changed.
    void ticksChanged();
    // The view should show `index` as its first line.
    void topIndexRequested(int index);
    // The user scrolled the view: `index` is now its first line.
    void scrolled();

public slots:
    // What the view calls when its first visible line changes.
    void viewScrolled(int topIndex);

private:
    // A list holds up to millions of lines, each kept in 40 bytes beside its name's
    // characters: the name by its place in m_names, the tick, whether it is a placeholder, and
    // the reason for the tick as an index into m_reasons (0: none), all in `mark`.
    struct Line
    {
        std::uint64_t nameAt = 0;
        std::uint32_t nameLength = 0;
        std::uint32_t mark = 0;
        std::int64_t size = 0;
        std::int64_t modified = 0;
        DateStamp date = 0;
    };
    static constexpr std::uint32_t TickMark = 1u << 31;
    static constexpr std::uint32_t PlaceholderMark = 1u << 30;
    static constexpr std::uint32_t ReasonMask = PlaceholderMark - 1;

    void endTickBatch();
    NameView nameOf(const Line &line) const { return m_names.at(line.nameAt, line.nameLength); }
    Line lineOf(const PaneEntry &entry);
    bool lineLess(const Line &a, const Line &b) const;
    // Puts lines, sorted, at their places: appended where they all come last, else merged.
    void insertSorted(std::vector<Line> lines);
    template<typename LineAt>
    void mergeLines(size_t added, const LineAt &lineAt);
    // Notes the largest size and the longest names among lines to be added.
    template<typename LineAt>
    void noteWidest(size_t added, const LineAt &lineAt);
    // A placeholder's line is its name; the rest is the same for all.
    struct NameRef
    {
        std::uint64_t nameAt;
        std::uint32_t nameLength;
    };
    static Line placeholderLine(const NameRef &name)
    {
        Line line;
        line.nameAt = name.nameAt;
        line.nameLength = name.nameLength;
        line.mark = PlaceholderMark;
        return line;
    }

public:
    struct Prepared
    {
    private:
        friend class FileListModel;
        std::vector<NameRef> names;
    };

private:
    NameBlocks m_names;
    std::vector<Line> m_lines;
    std::vector<QString> m_reasons {QString()};
    QHash<QString, std::uint32_t> m_reasonIndex;
    std::vector<QString> m_longestNames;
    int m_batchDepth = 0;
    bool m_batchTicked = false; // setSelected ran during the batch
    int m_batchFirst = -1, m_batchLast = -1; // the lines whose ticks changed
    mutable std::int64_t m_largest = 0;
    mutable bool m_largestKnown = true;
    int m_selCount = 0;
    int m_topIndex = 0;
    bool m_settingTopIndex = false;
};

} // namespace dyadix
