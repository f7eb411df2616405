// The folder list's binding to its model, and how it draws a folder.
#include "dirlistwidget.h"

#include "panes/dirlistmodel.h"

#include <QStyledItemDelegate>

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
        indented.rect.setLeft(option.rect.left()
                              + 12 * index.data(DirListModel::DepthRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

} // namespace

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

} // namespace dyadix
