#include "DrawContext.h"

#include <QPainter>

#include <cmath>

namespace swf {

DrawContext::DrawContext(
    QPainter& painter, DrawBudget& budget, const QTransform& transform, const ColorXform& cx)
    : painter_(painter)
    , budget_(budget)
    , transform_(transform)
    , cx_(cx)
{
}

double DrawContext::pixelsPerTwip() const
{
    return std::sqrt(std::abs(transform_.determinant()));
}

bool DrawContext::fill(const QPainterPath& path, const QBrush& brush)
{
    if (!budget_.fill(path, transform_))
        return false;
    painter_.setWorldTransform(transform_);
    painter_.fillPath(path, brush);
    return true;
}

bool DrawContext::stroke(const QPainterPath& path, const QPen& pen, double deviceWidth)
{
    if (!budget_.stroke(path, transform_, deviceWidth))
        return false;
    painter_.setWorldTransform(transform_);
    painter_.strokePath(path, pen);
    return true;
}

} // namespace swf
