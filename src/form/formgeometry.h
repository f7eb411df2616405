#pragma once

// Where the window's controls stand: the designed layout, fitted to the client area and moved
// by drops of the splitter bar.

#include "controls.h"

#include <array>
#include <vector>

namespace dyadix {

// Each call answers the controls whose geometry it changed, in tab order.
class FormGeometry
{
public:
    FormGeometry();

    Geometry of(ControlId id) const { return m_geometry[static_cast<size_t>(id)]; }
    // The client area changed size (twips): lays the controls out again.
    std::vector<ControlId> clientResized(double width, double height);
    // Lays the controls out for the client area as it is.
    std::vector<ControlId> layOutAgain();
    // The splitter bar dropped on a folder list: the folder lists end where it was dropped.
    std::vector<ControlId> droppedOnFolderList(double y);
    // The splitter bar dropped on a file list: the folder lists grow by the drop's distance
    // below the file list's top (or shrink, but not below nothing).
    std::vector<ControlId> droppedOnFileList(double y);

private:
    std::array<Geometry, ControlCount> m_geometry {};
    double m_clientWidth = DesignedClientWidth;
    double m_clientHeight = DesignedClientHeight;
};

} // namespace dyadix
