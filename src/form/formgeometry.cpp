#include "formgeometry.h"

#include "layout.h"

#include <cmath>

namespace dyadix {

FormGeometry::FormGeometry()
{
    for (const ControlSpec &spec : designedControls())
        m_geometry[static_cast<size_t>(spec.id)] = spec.designed;
}

std::vector<ControlId> FormGeometry::clientResized(double width, double height)
{
    m_clientWidth = width;
    m_clientHeight = height;
    return layOutAgain();
}

std::vector<ControlId> FormGeometry::layOutAgain()
{
    const ControlGeometry laidOut = layOut(m_clientWidth, m_clientHeight, m_geometry);
    std::vector<ControlId> changed;
    for (const ControlSpec &spec : designedControls()) {
        const auto at = static_cast<size_t>(spec.id);
        if (laidOut[at] == m_geometry[at])
            continue;
        m_geometry[at] = laidOut[at];
        changed.push_back(spec.id);
    }
    return changed;
}

std::vector<ControlId> FormGeometry::droppedOnFolderList(double y)
{
    m_geometry[static_cast<size_t>(ControlId::dirList1)].height = std::abs(y);
    return layOutAgain();
}

std::vector<ControlId> FormGeometry::droppedOnFileList(double y)
{
    Geometry &folders = m_geometry[static_cast<size_t>(ControlId::dirList1)];
    if (folders.height + y >= 0)
        folders.height += y;
    return layOutAgain();
}

} // namespace dyadix
