#include "controlwidgets.h"

#include <QKeyEvent>
#include <QMenu>

#include "panes/dirlistmodel.h"
#include "panes/drivelistmodel.h"
#include "panes/filelistmodel.h"
#include "panes/textbox.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace dyadix {

namespace {

// Indents each folder by its depth and shows an open or closed folder icon.
class FolderDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const bool open = index.data(DirListModel::OpenRole).toBool();
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon = option->widget->style()->standardIcon(open ? QStyle::SP_DirOpenIcon
                                                                  : QStyle::SP_DirClosedIcon);
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + 12 * index.data(DirListModel::DepthRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

} // namespace

DriveListWidget::DriveListWidget(DriveListModel &model, QWidget *parent)
    : QComboBox(parent)
{
    setModel(&model);
    auto showCurrent = [this, &model] { setCurrentIndex(model.currentRow()); };
    connect(&model, &DriveListModel::driveChanged, this, showCurrent);
    connect(&model, &QAbstractItemModel::modelReset, this, showCurrent);
    connect(&model, &QAbstractItemModel::rowsInserted, this, showCurrent);
    connect(this, &QComboBox::activated, this, [this, &model](int row) {
        model.chooseRow(row);
        setCurrentIndex(model.currentRow());
    });
}

DirListWidget::DirListWidget(DirListModel &model, QWidget *parent)
    : QListView(parent)
{
    setModel(&model);
    setItemDelegate(new FolderDelegate(this));
    setUniformItemSizes(true);
    setIconSize(QSize(16, 16));
    setEditTriggers(NoEditTriggers);
    connect(&model, &QAbstractItemModel::modelReset, this, [this, &model] {
        const QModelIndex current = model.index(model.currentRow());
        setCurrentIndex(current);
        scrollTo(current);
    });
    // activated: double-click, or Enter on the current row.
    connect(this, &QListView::activated, this,
            [&model](const QModelIndex &index) { (void)model.openRow(index.row()); });
}

FileListWidget::FileListWidget(FileListModel &model, QWidget *parent)
    : QTreeView(parent)
    , m_model(model)
{
    setModel(&model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setHeaderHidden(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(ScrollPerItem);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    connect(&model, &QAbstractItemModel::modelReset, this, &FileListWidget::SetHorizontalExtent);
    connect(&model, &QAbstractItemModel::rowsInserted, this, &FileListWidget::SetHorizontalExtent);
    connect(&model, &FileListModel::topIndexRequested, this,
            [this](int row) { verticalScrollBar()->setValue(row); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, &model, &FileListModel::viewScrolled);
    SetHorizontalExtent();
}

void FileListWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && currentIndex().isValid()) {
        const int row = currentIndex().row();
        m_model.setSelected(row, !m_model.Selected(row));
        return;
    }
    QTreeView::keyPressEvent(event);
}

// The columns fit the widest name and size of the whole list. The widest name is found among
// the longest ones, so that a big folder is not measured name by name.
void FileListWidget::SetHorizontalExtent()
{
    const QFontMetrics metrics(font());
    const int count = m_model.ListCount();
    std::vector<std::pair<int, int>> byLength; // length, row
    byLength.reserve(static_cast<size_t>(count));
    std::int64_t largest = 0;
    for (int row = 0; row < count; ++row) {
        const PaneEntry &entry = m_model.entry(row);
        byLength.emplace_back(static_cast<int>(entry.name.size()), row);
        largest = std::max(largest, entry.size);
    }
    const size_t sample = std::min<size_t>(byLength.size(), 64);
    std::partial_sort(byLength.begin(), byLength.begin() + static_cast<std::ptrdiff_t>(sample),
                      byLength.end(), std::greater<>());
    int nameWidth = metrics.horizontalAdvance(QStringLiteral("MMMMMMMM"));
    for (size_t i = 0; i < sample; ++i) {
        const QString shown = displayName(m_model.entry(byLength[i].second).name);
        nameWidth = std::max(nameWidth, metrics.horizontalAdvance(shown));
    }
    const int checkWidth = style()->pixelMetric(QStyle::PM_IndicatorWidth) + 12;
    const int gap = metrics.horizontalAdvance(QStringLiteral("MM"));
    setColumnWidth(FileListModel::NameColumn, checkWidth + nameWidth + gap);
    setColumnWidth(FileListModel::DateColumn,
                   metrics.horizontalAdvance(QStringLiteral("0000/00/00 00:00")) + gap);
    setColumnWidth(FileListModel::SizeColumn,
                   metrics.horizontalAdvance(QString::number(std::max<std::int64_t>(largest, 99999999)))
                       + gap);
}

DragBar::DragBar(QWidget *parent)
    : QFrame(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setCursor(Qt::SizeVerCursor);
}

void DragBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_outline == nullptr)
        m_outline = new QRubberBand(QRubberBand::Rectangle, parentWidget());
    moveOutline(event->globalPosition().toPoint());
    m_outline->show();
}

void DragBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_outline != nullptr && m_outline->isVisible())
        moveOutline(event->globalPosition().toPoint());
}

void DragBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_outline == nullptr || !m_outline->isVisible())
        return;
    m_outline->hide();
    emit dropped(event->globalPosition().toPoint());
}

void DragBar::moveOutline(QPoint globalPosition)
{
    const QPoint inParent = parentWidget()->mapFromGlobal(globalPosition);
    m_outline->setGeometry(x(), inParent.y() - height() / 2, width(), std::max(height(), 3));
}

TextBoxWidget::TextBoxWidget(TextBox &model, bool editable, QWidget *parent)
    : QLineEdit(parent)
    , m_model(model)
{
    setReadOnly(!editable);
    setAutoFillBackground(true);
    connect(&model, &TextBox::changed, this, &TextBoxWidget::follow);
    if (editable)
        connect(this, &QLineEdit::textEdited, &model, &TextBox::userEdited);
    follow();
}

bool TextBoxWidget::event(QEvent *event)
{
    // A key that a menu command of the window has as its shortcut (Ctrl+A, Ctrl+E ...) runs
    // that command from here too; the line edit keeps every other key, the clipboard's included.
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
        for (const QMenu *menu : window()->findChildren<QMenu *>()) {
            for (const QAction *action : menu->actions()) {
                if (action->isEnabled() && action->shortcut() == pressed) {
                    event->ignore();
                    return true;
                }
            }
        }
    }
    return QLineEdit::event(event);
}

void TextBoxWidget::follow()
{
    if (text() != m_model.Text()) {
        setText(m_model.Text());
        setCursorPosition(0);
    }
    QPalette colours = palette();
    colours.setColor(QPalette::Base, m_model.BackColor());
    colours.setColor(QPalette::Text, m_model.ForeColor());
    setPalette(colours);
}

} // namespace dyadix
