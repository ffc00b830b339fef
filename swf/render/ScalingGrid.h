#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include <optional>

namespace swf {

// Nine-slice scaling of a clip. The grid cuts the clip's own bounds into nine parts;
// however the clip is scaled, its corners keep their size, its edges stretch along their
// length only and the centre takes the rest. The clip's shapes are drawn through map(),
// which moves every point of their outlines within its part, so that the clip's own
// transform then scales them as a whole. When the clip is scaled down below its corners'
// size, the corners shrink together and the centre vanishes.
class ScalingGrid {
public:
    // `bounds` and `grid` in the clip's twips; `scaleX` and `scaleY` how much the clip is
    // scaled on the stage. Nothing when there is no centre to stretch: a grid that is
    // empty or lies outside the bounds is ignored, as is a clip squashed flat.
    static std::optional<ScalingGrid> make(
        const QRectF& bounds, const QRectF& grid, double scaleX, double scaleY);

    QPointF map(QPointF clipPoint) const;
    // The outline of a shape placed in the clip by `toClip`, in the clip's twips, each
    // point moved within its part. Curves keep their control points' places relative to
    // their parts, so a curve that crosses a grid line bends a little.
    QPainterPath map(const QPainterPath& shapePath, const QTransform& toClip) const;

private:
    // One axis: the bounds [low, high] with the grid's lines at lowLine and highLine.
    struct Axis {
        double low = 0, high = 0, lowLine = 0, highLine = 0;
        double keep = 1; // the outer parts' scale within the clip: their size over the clip's scale
        double map(double v) const;
    };
    static std::optional<Axis> makeAxis(
        double low, double high, double lowLine, double highLine, double scale);

    Axis x_, y_;
};

} // namespace swf
