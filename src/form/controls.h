#pragma once

// The window's controls as designed: names, places, tab order, tool tips.

#include <array>
#include <cstddef>

namespace dyadix {

// The window's controls, in tab order.
enum class ControlId {
    drvList1,
    txtSelect,
    drvList2,
    dirList1,
    dirList2,
    lstFiles1,
    lstFiles2,
    txtStatus1,
    txtStatus2,
    picDragBar,
};
constexpr int ControlCount = 10;

// Position and size of a control in twips (15 to a logical pixel). Fractions are kept until
// the control is placed on the screen.
struct Geometry
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const Geometry &) const = default;
};

// A control as the window is designed: name, kind, geometry, tab position and tool tip.
struct ControlSpec
{
    ControlId id;
    const char *name;
    const char *kind;
    Geometry designed;
    int tabIndex;
    const char *toolTip; // empty: none
    const char *accessibleName; // which pane and what it is, for a screen reader
};

const std::array<ControlSpec, ControlCount> &designedControls();
const ControlSpec &controlSpec(ControlId id);

constexpr int TwipsPerPixel = 15;
// Designed client area of the window, in twips.
constexpr int DesignedClientWidth = 7110;
constexpr int DesignedClientHeight = 6165;

} // namespace dyadix
