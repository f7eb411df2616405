// The window's client area: its controls, placed where the window model's layout puts them.
#pragma once

#include "form/controls.h"

#include <QWidget>

#include <map>
#include <vector>

class QAction;

namespace dyadix {

class FormModel;

// The window below its menu bar: builds the drive, folder and file lists, the filter and
// status boxes and the splitter bar for the window model, in the designed tab order with
// their names and tool tips, places each where the model's layout says, tells the model
// the area's size, and hands it the splitter bar's drops.
class ClientArea final : public QWidget
{
public:
    // The text boxes let the shortcuts of menuCommands through to the window.
    ClientArea(FormModel &form, const std::vector<const QAction *> &menuCommands,
               QWidget *parent);

    QWidget *control(ControlId id) const { return m_controls.at(id); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void place(ControlId id);
    // Hands a drop of the splitter to the folder or file list under the point, in that
    // list's own coordinates.
    void dropSplitter(QPoint globalPosition);

    FormModel &m_form;
    std::map<ControlId, QWidget *> m_controls;
};

} // namespace dyadix
