#include "layout.h"

#include "core/conversions.h"

namespace dyadix {

namespace {

constexpr double PaneGap = 45;
constexpr double SplitterGap = 5;

Geometry &at(ControlGeometry &g, ControlId id) { return g[static_cast<std::size_t>(id)]; }

void setWidth(Geometry &control, double width)
{
    if (width >= 0)
        control.width = width;
}

void setHeight(Geometry &control, double height)
{
    if (height >= 0)
        control.height = height;
}

} // namespace

ControlGeometry layOut(double clientWidth, double clientHeight, ControlGeometry g)
{
    const double w = roundHalfEven((clientWidth - PaneGap) / 2);
    const double d = roundHalfEven((clientWidth - at(g, ControlId::txtSelect).width) / 2 - PaneGap);
    Geometry &folders1 = at(g, ControlId::dirList1);
    setHeight(at(g, ControlId::dirList2), folders1.height);
    at(g, ControlId::picDragBar).top = folders1.top + folders1.height + SplitterGap;

    const ControlId files[] = {ControlId::lstFiles1, ControlId::lstFiles2};
    const ControlId folders[] = {ControlId::dirList1, ControlId::dirList2};
    const ControlId drives[] = {ControlId::drvList1, ControlId::drvList2};
    const ControlId statuses[] = {ControlId::txtStatus1, ControlId::txtStatus2};
    for (int i = 0; i < 2; ++i) {
        Geometry &list = at(g, files[i]);
        Geometry &status = at(g, statuses[i]);
        list.top = folders1.top + folders1.height + PaneGap;
        setHeight(list, clientHeight - list.top - status.height);
        setWidth(list, w);
        setWidth(at(g, folders[i]), w);
        setWidth(at(g, drives[i]), d);
        setWidth(status, w);
        status.top = clientHeight - status.height;
    }
    Geometry &list2 = at(g, ControlId::lstFiles2);
    list2.left = clientWidth - list2.width;
    at(g, ControlId::dirList2).left = list2.left;
    at(g, ControlId::txtStatus2).left = list2.left;
    Geometry &filter = at(g, ControlId::txtSelect);
    filter.left = (clientWidth - filter.width) / 2;
    Geometry &drive2 = at(g, ControlId::drvList2);
    drive2.left = clientWidth - drive2.width;
    return g;
}

} // namespace dyadix
