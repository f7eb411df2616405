#pragma once

// One pane's file list as a Qt model: its lines (a LineStore) with a tick beside each, the
// tick's reason or Match's note as the line's tool tip, and the view's scroll position.

#include "linestore.h"
#include "listscroll.h"

#include <QAbstractTableModel>
#include <QHash>

#include <cstdint>
#include <vector>

namespace dyadix {

// Every command reads and changes the list through this model; a tick changes only through
// setSelected, which signals ticksChanged so that the pane's selection status follows.
class FileListModel final : public QAbstractTableModel, private LineStore::Observer
{
    Q_OBJECT

public:
    enum Column { NameColumn, DateColumn, SizeColumn, ColumnCount };
    using Prepared = LineStore::Prepared;

    explicit FileListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // "Name", "Date" and "Size", as a screen reader reads the columns.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Adds one line at its sorted place.
    void AddItem(PaneEntry entry) { m_store.add({std::move(entry)}); }
    // Adds many lines at their sorted places in one step (sort, then merge).
    void addItems(std::vector<PaneEntry> entries) { m_store.add(std::move(entries)); }
    // Placeholders for lines of another list, given by their indexes there, made ready to be
    // added: they share the names the other list keeps; no line of either list changes.
    Prepared preparePlaceholders(const FileListModel &other, const std::vector<int> &rows)
    {
        return m_store.preparePlaceholders(other.m_store, rows);
    }
    // Adds lines made ready; this touches no other list.
    void addPrepared(Prepared prepared) { m_store.addPrepared(std::move(prepared)); }
    void RemoveItem(int index);
    void Clear();

    int ListCount() const { return static_cast<int>(m_store.size()); }
    QString List(int index) const
    {
        QString text;
        appendLine(text, index);
        return text;
    }
    PaneEntry entry(int index) const { return m_store.entry(size_t(index)); }
    // A line's parts without copying its name; the name's view lasts until the list changes.
    NameView nameAt(int index) const { return m_store.nameOf(line(index)); }
    DateStamp dateAt(int index) const { return line(index).date; }
    std::int64_t sizeAt(int index) const { return line(index).size; }
    std::int64_t modifiedAt(int index) const { return line(index).modified; }
    bool placeholderAt(int index) const { return m_store.placeholderAt(size_t(index)); }
    // Appends the line's text, as List gives it.
    void appendLine(QString &text, int index) const { m_store.appendText(text, size_t(index)); }
    // The largest size of any line, for the width of the size column.
    std::int64_t largestSize() const { return m_store.largestSize(); }

    bool Selected(int index) const { return (line(index).mark & TickMark) != 0; }
    // The one way a tick changes, by the user or by a command; a reason given with a tick
    // becomes the line's tool tip while it stays ticked.
    void setSelected(int index, bool ticked, const QString &reason = QString());
    // What Match found about a line it leaves as it is, or why a command left its file
    // undone: a note for its tool tip (and a screen reader's description), and for a
    // conflict to settle by hand or a failure a colour of its own. The line's next change of
    // tick takes both away.
    enum class Note { Plain, Conflict, Failed };
    void setNote(int index, const QString &note, Note kind = Note::Plain);
    bool conflictAt(int index) const { return (line(index).mark & ConflictMark) != 0; }
    bool failedAt(int index) const { return (line(index).mark & FailedMark) != 0; }
    // A line's tool tip: the reason for its tick, or Match's note.
    QString noteAt(int index) const { return m_reasons[line(index).mark & ReasonMask]; }
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
    int TopIndex() const { return m_scroll.TopIndex(); }
    bool setTopIndex(int index) { return m_scroll.setTopIndex(index, ListCount()); }
    ListScroll &scrollPosition() { return m_scroll; }

signals:
    // A line's tick changed.
    void ticksChanged();

private:
    // The mark's bits beside the store's placeholder bit: the tick, and the reason for it as
    // an index into m_reasons (0: none).
    static constexpr std::uint32_t TickMark = 1u << 31;
    static constexpr std::uint32_t ConflictMark = LineStore::PlaceholderMark >> 1;
    static constexpr std::uint32_t FailedMark = LineStore::PlaceholderMark >> 2;
    static constexpr std::uint32_t ReasonMask = FailedMark - 1;

    const LineStore::Line &line(int index) const { return m_store.at(size_t(index)); }
    void beginInsert(int first, int last) override { beginInsertRows(QModelIndex(), first, last); }
    void endInsert() override { endInsertRows(); }
    void beginReset() override { beginResetModel(); }
    void endReset() override { endResetModel(); }
    void endTickBatch();
    // Sets a line's mark and tells the views (at once, or at the end of a batch).
    void mark(int index, std::uint32_t mark);
    std::uint32_t reasonIndexOf(const QString &reason);

    LineStore m_store {*this};
    std::vector<QString> m_reasons {QString()};
    QHash<QString, std::uint32_t> m_reasonIndex;
    int m_batchDepth = 0;
    bool m_batchTicked = false; // setSelected ran during the batch
    int m_batchFirst = -1, m_batchLast = -1; // the lines whose ticks changed
    int m_selCount = 0;
    ListScroll m_scroll;
};

} // namespace dyadix
