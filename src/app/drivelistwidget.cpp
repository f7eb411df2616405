// The drive list's binding to its model, and its accessible interface.
#include "drivelistwidget.h"

#include "panes/drivelistmodel.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

namespace dyadix {

namespace {

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
    if (className == QLatin1String(DriveListWidget::staticMetaObject.className())
        && object->isWidgetType())
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

} // namespace dyadix
