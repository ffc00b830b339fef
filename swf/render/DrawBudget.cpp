#include "DrawBudget.h"

#include "Rasterizer.h"

#include <algorithm>

namespace swf {

void DrawBudget::start(QSize device)
{
    device_ = device;
    used_ = 0;
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

bool DrawBudget::elements(double count)
{
    return !spent() && take(count * kUnitsPerElement);
}

double DrawBudget::edgesLeft() const
{
    return std::max(0.0, (kUnitsPerFrame - used_) / kUnitsPerEdge);
}

bool DrawBudget::raster(const Rasterizer& r)
{
    if (spent())
        return false;
    return take(r.edges() * kUnitsPerEdge + r.rowCrossings() * kUnitsPerRowCrossing
        + r.spannedPixels() * kUnitsPerPixel);
}

bool DrawBudget::pixels(double count)
{
    return !spent() && take(count * kUnitsPerPixel);
}

} // namespace swf
