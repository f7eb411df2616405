#pragma once

// Where each control stands for a client area of a given size.

#include "controls.h"

namespace dyadix {

using ControlGeometry = std::array<Geometry, ControlCount>;

// The window's layout for a client area of clientWidth × clientHeight twips, worked out from
// the controls' current geometry (the folder lists' height is the splitter position). The
// panes share the width with a 45-twip gap, the filter box stays centred between the drive
// lists, the file lists fill the height between splitter and status boxes. A step that would
// give a control a negative width or height leaves that size as it was; moves always apply.
ControlGeometry layOut(double clientWidth, double clientHeight, ControlGeometry current);

} // namespace dyadix
