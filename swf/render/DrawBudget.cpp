#include "DrawBudget.h"

#include <algorithm>

namespace swf {

void DrawBudget::start(QSize device)
{
    cost_ = PaintCost(device);
    used_ = 0;
    clipLoad_ = 0;
}

bool DrawBudget::take(double units)
{
    // Written so that a NaN estimate fails too.
    if (!(used_ + units <= kUnitsPerFrame)) {
        used_ = std::max(used_, kUnitsPerFrame);
        return false;
    }
    used_ += units;
    return true;
}

void DrawBudget::charge(double units)
{
    if (units > 0)
        used_ += units;
}

bool DrawBudget::fill(const QPainterPath& path, const QTransform& transform)
{
    return !spent() && take(cost_.fill(path, transform, clipLoad_).units);
}

bool DrawBudget::stroke(const QPainterPath& path, const QTransform& transform, double width)
{
    return !spent() && take(cost_.stroke(path, transform, width, clipLoad_).units);
}

bool DrawBudget::clip(const QPainterPath& devicePath)
{
    if (spent())
        return false;
    const PaintCost::Estimate estimate = cost_.clip(devicePath);
    if (!take(estimate.units))
        return false;
    clipLoad_ += estimate.edgesPerRow;
    return true;
}

} // namespace swf
