// The file list's binding to its model, its column widths, keys and tool tips.
#include "filelistwidget.h"

#include "panes/filelistmodel.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace dyadix {

FileListWidget::FileListWidget(FileListModel &model, QWidget *parent)
    : QTableView(parent)
    , m_model(model)
{
    setModel(&model);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setTextElideMode(Qt::ElideMiddle);
    connect(&model, &QAbstractItemModel::modelReset, this, &FileListWidget::SetHorizontalExtent);
    connect(&model, &QAbstractItemModel::rowsInserted, this, &FileListWidget::SetHorizontalExtent);
    connect(&model.scrollPosition(), &ListScroll::topIndexRequested, this,
            [this](int row) { verticalScrollBar()->setValue(row); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, &model.scrollPosition(), &ListScroll::viewScrolled);
    SetHorizontalExtent();
}

void FileListWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && currentIndex().isValid()) {
        const int row = currentIndex().row();
        m_model.setSelected(row, !m_model.Selected(row));
        return;
    }
    QTableView::keyPressEvent(event);
}

// The keys move from line to line; Left and Right scroll the lines sideways, and Home and End
// go to the first and last line.
QModelIndex FileListWidget::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    switch (cursorAction) {
    case MoveLeft:
    case MoveRight: {
        QScrollBar *bar = horizontalScrollBar();
        bar->setValue(bar->value() + (cursorAction == MoveLeft ? -1 : 1) * bar->singleStep());
        return current;
    }
    case MoveHome:
        return m_model.index(0, FileListModel::NameColumn);
    case MoveEnd:
        return m_model.index(m_model.rowCount() - 1, FileListModel::NameColumn);
    default: {
        const QModelIndex moved = QTableView::moveCursor(cursorAction, modifiers);
        return moved.isValid() ? moved.siblingAtColumn(FileListModel::NameColumn) : moved;
    }
    }
}

// The date column fits a date and the size column the largest size; the name column the
// longest name (measured from a few of the longest names, never from every line), and no
// less than what is left of the width.
void FileListWidget::SetHorizontalExtent()
{
    const QFontMetrics metrics(font());
    const int checkWidth = style()->pixelMetric(QStyle::PM_IndicatorWidth) + 12;
    const int gap = metrics.horizontalAdvance(QLatin1Char('M'));
    int longest = metrics.horizontalAdvance(QStringLiteral("MMM"));
    for (const QString &name : m_model.longestNames())
        longest = std::max(longest, metrics.horizontalAdvance(displayName(name)));
    m_nameWidth = checkWidth + longest + gap;
    setColumnWidth(FileListModel::DateColumn,
                   metrics.horizontalAdvance(QStringLiteral("0000/00/00 00:00")) + gap);
    setColumnWidth(FileListModel::SizeColumn,
                   metrics.horizontalAdvance(QString::number(m_model.largestSize())) + gap);
    verticalHeader()->setDefaultSectionSize(
        std::max(metrics.height(), style()->pixelMetric(QStyle::PM_IndicatorHeight)) + 4);
    fitNameColumn();
}

void FileListWidget::fitNameColumn()
{
    const int rest = viewport()->width() - columnWidth(FileListModel::DateColumn)
        - columnWidth(FileListModel::SizeColumn);
    setColumnWidth(FileListModel::NameColumn, std::max(rest, m_nameWidth));
}

void FileListWidget::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitNameColumn();
}

bool FileListWidget::viewportEvent(QEvent *event)
{
    // The tool tip of a line shows its whole name, then why it is ticked, if it is.
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex at = indexAt(help->pos());
        if (!at.isValid()) {
            QToolTip::hideText();
            return true;
        }
        const QModelIndex name = at.siblingAtColumn(FileListModel::NameColumn);
        QString text = name.data(Qt::DisplayRole).toString();
        if (const QString reason = name.data(Qt::ToolTipRole).toString(); !reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(at));
        return true;
    }
    return QTableView::viewportEvent(event);
}

} // namespace dyadix
