#pragma once

#include "ColorXform.h"
#include "DrawBudget.h"

#include <QBrush>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

class QPainter;

namespace swf {

// What a kind of character paints its own picture with: the painter, set up for the
// object's twips, the colour transform down to it, and the frame's budget. Every paint
// goes through fill() and stroke(), which estimate the work first and refuse it once the
// frame's budget is spent, so that no kind need know the cost model.
class DrawContext {
public:
    DrawContext(QPainter& painter, DrawBudget& budget, const QTransform& transform, const ColorXform& cx);

    QPainter& painter() { return painter_; }
    // The object's twips to device pixels.
    const QTransform& transform() const { return transform_; }
    const ColorXform& colorTransform() const { return cx_; }
    // How many device pixels one twip of the object takes, on average over both axes.
    double pixelsPerTwip() const;

    // Fills `path` (object twips). False, with nothing painted, once the budget is spent:
    // the caller stops drawing.
    bool fill(const QPainterPath& path, const QBrush& brush);
    // Strokes `path` with `pen`, `deviceWidth` pixels wide (0 for a hairline).
    bool stroke(const QPainterPath& path, const QPen& pen, double deviceWidth);

private:
    QPainter& painter_;
    DrawBudget& budget_;
    QTransform transform_;
    ColorXform cx_;
};

} // namespace swf
