// The client area's controls: built for the window model, placed by its layout, and the
// splitter bar's drops handed to it.
#include "clientarea.h"

#include "dirlistwidget.h"
#include "dragbar.h"
#include "drivelistwidget.h"
#include "filelistwidget.h"
#include "textboxwidget.h"
#include "windowplacement.h"

#include "form/formmodel.h"

#include <QApplication>
#include <QResizeEvent>

#include <algorithm>
#include <utility>

namespace dyadix {

ClientArea::ClientArea(FormModel &form, const std::vector<const QAction *> &menuCommands,
                       QWidget *parent)
    : QWidget(parent)
    , m_form(form)
{
    DriveListWidget::installAccessibleInterface();
    m_controls[ControlId::drvList1] = new DriveListWidget(form.pane(1).drvList, this);
    m_controls[ControlId::txtSelect] = new TextBoxWidget(form.txtSelect, TextBoxWidget::Typing::Allowed, menuCommands, this);
    m_controls[ControlId::drvList2] = new DriveListWidget(form.pane(2).drvList, this);
    m_controls[ControlId::dirList1] = new DirListWidget(form.pane(1).dirList, this);
    m_controls[ControlId::dirList2] = new DirListWidget(form.pane(2).dirList, this);
    m_controls[ControlId::lstFiles1] = new FileListWidget(form.pane(1).lstFiles, this);
    m_controls[ControlId::lstFiles2] = new FileListWidget(form.pane(2).lstFiles, this);
    m_controls[ControlId::txtStatus1] =
        new TextBoxWidget(form.pane(1).txtStatus, TextBoxWidget::Typing::ReadOnly, menuCommands, this);
    m_controls[ControlId::txtStatus2] =
        new TextBoxWidget(form.pane(2).txtStatus, TextBoxWidget::Typing::ReadOnly, menuCommands, this);
    auto *bar = new DragBar(this);
    connect(bar, &DragBar::dropped, this, [this](QPoint at) { dropSplitter(at); });
    m_controls[ControlId::picDragBar] = bar;

    QWidget *previous = nullptr;
    for (const ControlSpec &spec : designedControls()) {
        QWidget *widget = m_controls.at(spec.id);
        widget->setObjectName(QString::fromLatin1(spec.name));
        widget->setToolTip(QString::fromLatin1(spec.toolTip));
        widget->setAccessibleName(QString::fromLatin1(spec.accessibleName));
        if (previous != nullptr)
            setTabOrder(previous, widget);
        previous = widget;
        place(spec.id);
    }
    connect(&form, &FormModel::geometryChanged, this, [this](ControlId id) { place(id); });
}

void ClientArea::place(ControlId id)
{
    const Geometry g = m_form.geometry(id);
    m_controls.at(id)->setGeometry(toPixels(g.left), toPixels(g.top),
                                   std::max(0, toPixels(g.width)), std::max(0, toPixels(g.height)));
}

void ClientArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_form.clientResized(toTwips(event->size().width()), toTwips(event->size().height()));
}

void ClientArea::dropSplitter(QPoint globalPosition)
{
    const std::pair<ControlId, int> targets[] = {{ControlId::dirList1, 1}, {ControlId::dirList2, 2},
                                                 {ControlId::lstFiles1, 1}, {ControlId::lstFiles2, 2}};
    QWidget *under = QApplication::widgetAt(globalPosition);
    for (const auto &[id, index] : targets) {
        QWidget *control = m_controls.at(id);
        if (under == nullptr || (under != control && !control->isAncestorOf(under)))
            continue;
        const QPoint at = control->mapFromGlobal(globalPosition);
        const double x = toTwips(at.x());
        const double y = toTwips(at.y());
        if (id == ControlId::dirList1 || id == ControlId::dirList2)
            m_form.dirList_DragDrop(index, ControlId::picDragBar, x, y);
        else
            m_form.lstFiles_DragDrop(index, ControlId::picDragBar, x, y);
        return;
    }
}

} // namespace dyadix
