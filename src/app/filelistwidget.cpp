// The file list's binding to its model, its column widths, keys and tool tips.
#include "filelistwidget.h"

#include "panes/filelistmodel.h"
#include "panes/shortname.h"

#include <QApplication>
#include <QDate>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace dyadix {

namespace {

// Draws each cell as the list shows it in its width: a name shortened, a date in its short
// form where the list is narrow.
class CellDelegate final : public QStyledItemDelegate
{
public:
    explicit CellDelegate(FileListWidget &list) : QStyledItemDelegate(&list), m_list(list) {}
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        QStyle *style = m_list.style();
        item.text = m_list.shownText(index, style->subElementRect(QStyle::SE_ItemViewItemText, &item, &m_list).width());
        item.textElideMode = Qt::ElideNone;
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, &m_list);
    }

private:
    FileListWidget &m_list;
};

} // namespace

FileListWidget::FileListWidget(FileListModel &model, QWidget *parent)
    : QTableView(parent)
    , m_model(model)
{
    setModel(&model);
    m_textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    m_thisYear = QDate::currentDate().year();
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
    horizontalHeader()->setMinimumSectionSize(1); // a size column of two digits is narrower than the style's least
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(new CellDelegate(*this));
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

// The widths the columns may take: a date whole or short, the largest size, each with the
// margins the style draws a cell's text in; a name at least a tick box and an ellipsis, and
// better ten letters.
void FileListWidget::SetHorizontalExtent()
{
    const QFontMetrics metrics(font());
    const int checkWidth = style()->pixelMetric(QStyle::PM_IndicatorWidth) + 12;
    const int margins = 2 * m_textMargin + 2;
    m_widths.leastName = checkWidth + metrics.horizontalAdvance(QStringLiteral("\u2026")) + margins;
    m_widths.usableName = checkWidth + metrics.horizontalAdvance(QString(10, QLatin1Char('x'))) + margins;
    m_widths.date = metrics.horizontalAdvance(QStringLiteral("0000/00/00 00:00")) + margins;
    m_widths.shortDate = std::max(metrics.horizontalAdvance(QStringLiteral("00/00 00:00")),
                                  metrics.horizontalAdvance(QStringLiteral("0000/00/00"))) + margins;
    m_widths.size = metrics.horizontalAdvance(QString::number(m_model.largestSize())) + margins;
    verticalHeader()->setDefaultSectionSize(
        std::max(metrics.height(), style()->pixelMetric(QStyle::PM_IndicatorHeight)) + 4);
    fitNameColumn();
}

// The date and size stay in view: the name column takes what is left, its names shortened to
// fit. Where that would leave less than ten letters of a name, dates show in their short form;
// only where even then not a tick box and an ellipsis are left does the list scroll sideways.
void FileListWidget::fitNameColumn()
{
    const int width = viewport()->width() - m_widths.size;
    m_shortDates = width - m_widths.date < m_widths.usableName;
    const int date = m_shortDates ? m_widths.shortDate : m_widths.date;
    setColumnWidth(FileListModel::DateColumn, date);
    setColumnWidth(FileListModel::SizeColumn, m_widths.size);
    setColumnWidth(FileListModel::NameColumn, std::max(width - date, m_widths.leastName));
    viewport()->update();
}

QString FileListWidget::shownText(const QModelIndex &index, int width) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    const QFontMetrics metrics(font());
    switch (index.column()) {
    case FileListModel::NameColumn:
        return shortenedName(text, width - 2 * m_textMargin, [&metrics](const QString &part) { return metrics.horizontalAdvance(part); });
    case FileListModel::DateColumn:
        return m_shortDates ? shortDateText(text, m_thisYear) : text;
    default:
        return text;
    }
}

void FileListWidget::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitNameColumn();
}

bool FileListWidget::viewportEvent(QEvent *event)
{
    // The viewport narrows when the vertical scroll bar shows: the date and size stay in view.
    if (event->type() == QEvent::Resize)
        fitNameColumn();
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
