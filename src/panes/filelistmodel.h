#pragma once

#include "paneentry.h"

#include <QAbstractTableModel>

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
    void RemoveItem(int index);
    void Clear();

    int ListCount() const { return static_cast<int>(m_entries.size()); }
    QString List(int index) const { return m_entries.at(static_cast<size_t>(index)).text(); }
    const PaneEntry &entry(int index) const { return m_entries.at(static_cast<size_t>(index)); }

    bool Selected(int index) const { return m_ticks.at(static_cast<size_t>(index)) != 0; }
    // The one way a tick changes, by the user or by a command; a reason given with a tick
    // becomes the line's tool tip while it stays ticked.
    void setSelected(int index, bool ticked, const QString &reason = QString());
    int SelCount() const { return m_selCount; }
    // Why a line is ticked (empty when it is not).
    QString tickReason(int index) const;

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
    // A list holds 100,000s of lines: the ticks and the reasons for them are kept beside the
    // entries, a reason as an index into m_reasons (0: none), so that entries move as a whole.
    std::vector<PaneEntry> m_entries;
    std::vector<char> m_ticks;
    std::vector<std::uint32_t> m_reasonOf;
    std::vector<QString> m_reasons {QString()};
    int m_selCount = 0;
    int m_topIndex = 0;
    bool m_settingTopIndex = false;
};

} // namespace dyadix
