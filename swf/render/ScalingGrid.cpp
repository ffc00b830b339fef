#include "ScalingGrid.h"

#include <algorithm>
#include <cmath>

namespace swf {

std::optional<ScalingGrid::Axis> ScalingGrid::makeAxis(
    double low, double high, double lowLine, double highLine, double scale)
{
    if (!(scale > 0) || !std::isfinite(scale) || !(high > low) || !(highLine > lowLine) || lowLine < low
        || highLine > high)
        return std::nullopt;
    Axis axis { low, high, lowLine, highLine, 1 / scale };
    // Scaled down past the corners' own size, the corners shrink with the clip.
    const double outer = (lowLine - low) + (high - highLine);
    const double shown = (high - low) * scale;
    if (outer > shown)
        axis.keep *= shown / outer;
    return axis;
}

std::optional<ScalingGrid> ScalingGrid::make(
    const QRectF& bounds, const QRectF& grid, double scaleX, double scaleY)
{
    const auto x = makeAxis(bounds.left(), bounds.right(), grid.left(), grid.right(), scaleX);
    const auto y = makeAxis(bounds.top(), bounds.bottom(), grid.top(), grid.bottom(), scaleY);
    if (!x || !y)
        return std::nullopt;
    ScalingGrid result;
    result.x_ = *x;
    result.y_ = *y;
    return result;
}

double ScalingGrid::Axis::map(double v) const
{
    if (v <= lowLine)
        return low + (v - low) * keep;
    if (v >= highLine)
        return high - (high - v) * keep;
    const double start = low + (lowLine - low) * keep;
    const double end = high - (high - highLine) * keep;
    return start + (v - lowLine) * (end - start) / (highLine - lowLine);
}

QPointF ScalingGrid::map(QPointF clipPoint) const
{
    return { x_.map(clipPoint.x()), y_.map(clipPoint.y()) };
}

QPainterPath ScalingGrid::map(const QPainterPath& shapePath, const QTransform& toClip) const
{
    QPainterPath out = shapePath;
    for (int i = 0; i < out.elementCount(); ++i) {
        const QPainterPath::Element e = out.elementAt(i);
        const QPointF p = map(toClip.map(QPointF(e.x, e.y)));
        out.setElementPositionAt(i, p.x(), p.y());
    }
    return out;
}

} // namespace swf
