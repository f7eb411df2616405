#include "controlwidgets.h"

#include "panes/dirlistmodel.h"
#include "panes/drivelistmodel.h"
#include "panes/filelistmodel.h"
#include "panes/textbox.h"

#include <QAccessibleWidget>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QRubberBand>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

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

// A drive list as assistive technology reads it: a combo box named by its accessible name,
// whose value is the drive shown, with its list of drives as its one child.
class DriveListAccessible final : public QAccessibleWidget
{
public:
    explicit DriveListAccessible(QComboBox *box)
        : QAccessibleWidget(box, QAccessible::ComboBox)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && !box()->accessibleName().isEmpty())
            return box()->accessibleName();
        if (t == QAccessible::Name || t == QAccessible::Value)
            return box()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child != nullptr && child->object() == box()->view() ? 0 : -1;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = box()->view()->isVisible();
        state.collapsed = !state.expanded;
        return state;
    }
    QStringList actionNames() const override
    {
        return QStringList {showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &actionName) override
    {
        if (actionName == showMenuAction() || actionName == pressAction())
            box()->showPopup();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    QComboBox *box() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *driveListInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String(DriveListWidget::staticMetaObject.className()) && object->isWidgetType())
        return new DriveListAccessible(static_cast<QComboBox *>(object));
    return nullptr;
}

} // namespace

void DriveListWidget::installAccessibleInterface()
{
    static const bool installed = [] {
        QAccessible::installFactory(driveListInterface);
        return true;
    }();
    (void)installed;
}

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
    if (!isReadOnly()) {
        showModel();
        return;
    }
    if (std::exchange(m_showPending, true))
        return;
    QMetaObject::invokeMethod(this, [this] {
        m_showPending = false;
        showModel();
    }, Qt::QueuedConnection);
}

void TextBoxWidget::showModel()
{
    if (text() != m_model.Text()) {
        setText(m_model.Text());
        setCursorPosition(0);
        // A status may be longer than its box: its tool tip and description give it whole.
        if (isReadOnly()) {
            setToolTip(m_model.Text());
            setAccessibleDescription(m_model.Text());
        }
    }
    // A new palette polishes the box again: only a change of colour sets one.
    if (palette().color(QPalette::Base) == m_model.BackColor()
        && palette().color(QPalette::Text) == m_model.ForeColor())
        return;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, m_model.BackColor());
    colours.setColor(QPalette::Text, m_model.ForeColor());
    setPalette(colours);
}

} // namespace dyadix
