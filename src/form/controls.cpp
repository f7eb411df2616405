#include "controls.h"

namespace dyadix {

const std::array<ControlSpec, ControlCount> &designedControls()
{
    static const std::array<ControlSpec, ControlCount> controls {{
        {ControlId::drvList1, "drvList(1)", "drive list", {0, 0, 2415, 315}, 0,
         "Choose Left Drive", "Left drive"},
        {ControlId::txtSelect, "txtSelect", "single-line text box", {2460, 0, 1575, 315}, 1,
         "Show which files? (*.* = all, comma separator) e.g. *.fr?, *.bas", "Filter"},
        {ControlId::drvList2, "drvList(2)", "drive list", {4080, 0, 2355, 315}, 2,
         "Choose Right Drive", "Right drive"},
        {ControlId::dirList1, "dirList(1)", "folder list", {0, 360, 3195, 2115}, 3,
         "Double-click Left Folder", "Left folder"},
        {ControlId::dirList2, "dirList(2)", "folder list", {3240, 360, 3195, 2115}, 4,
         "Double-click Right Folder", "Right folder"},
        {ControlId::lstFiles1, "lstFiles(1)", "sorted list with a check box on each line",
         {0, 2520, 3195, 2760}, 5, "Check Left files to Copy/Move/Delete (or click Match)", "Left files"},
        {ControlId::lstFiles2, "lstFiles(2)", "sorted list with a check box on each line",
         {3240, 2520, 3195, 2760}, 6, "Check Right files to Copy/Move/Delete", "Right files"},
        {ControlId::txtStatus1, "txtStatus(1)", "single-line text box", {0, 5280, 3195, 315}, 7,
         "", "Left status"},
        {ControlId::txtStatus2, "txtStatus(2)", "single-line text box", {3240, 5280, 3195, 315},
         8, "", "Right status"},
        {ControlId::picDragBar, "picDragBar", "bar that the user drags up or down",
         {0, 1620, 9915, 40}, 9, "Drag up or down to resize panes", "Splitter"},
    }};
    return controls;
}

const ControlSpec &controlSpec(ControlId id)
{
    return designedControls()[static_cast<std::size_t>(id)];
}

} // namespace dyadix
