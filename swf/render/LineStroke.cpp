#include "LineStroke.h"

#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

Qt::PenCapStyle toQt(LineStyle::Cap cap)
{
    switch (cap) {
    case LineStyle::Cap::None:
        return Qt::FlatCap;
    case LineStyle::Cap::Square:
        return Qt::SquareCap;
    case LineStyle::Cap::Round:
        break;
    }
    return Qt::RoundCap;
}

Qt::PenJoinStyle toQt(LineStyle::Join join)
{
    switch (join) {
    case LineStyle::Join::Bevel:
        return Qt::BevelJoin;
    case LineStyle::Join::Miter:
        return Qt::MiterJoin;
    case LineStyle::Join::Round:
        break;
    }
    return Qt::RoundJoin;
}

// Moves every point of the path onto the pixel grid: onto pixel centres for lines of an
// odd width, onto pixel corners for even ones.
QPainterPath hinted(const QPainterPath& path, double width)
{
    const bool odd = static_cast<long long>(std::llround(width)) % 2 == 1;
    QPainterPath out = path;
    for (int i = 0; i < out.elementCount(); ++i) {
        const QPainterPath::Element& e = out.elementAt(i);
        const auto snap = [odd](double v) { return odd ? std::floor(v) + 0.5 : std::round(v); };
        out.setElementPositionAt(i, snap(e.x), snap(e.y));
    }
    return out;
}

double signedArea(const QPolygonF& poly)
{
    double area = 0;
    for (qsizetype i = 0; i < poly.size(); ++i) {
        const QPointF& a = poly[i];
        const QPointF& b = poly[(i + 1) % poly.size()];
        area += a.x() * b.y() - b.x() * a.y();
    }
    return area;
}

// Which way round Qt's stroker winds the outline of an open line. It is the same for a
// line in any direction, so hand-made caps wound the same way join it under the non-zero
// rule instead of cutting holes into it.
bool strokerWindsPositive()
{
    static const bool positive = [] {
        QPainterPath line;
        line.moveTo(0, 0);
        line.lineTo(10, 0);
        QPainterPathStroker stroker;
        stroker.setWidth(2);
        stroker.setCapStyle(Qt::FlatCap);
        const QList<QPolygonF> polys = stroker.createStroke(line).toSubpathPolygons();
        return polys.isEmpty() || signedArea(polys.front()) >= 0;
    }();
    return positive;
}

void addWound(QPainterPath& out, QPolygonF poly)
{
    if ((signedArea(poly) >= 0) != strokerWindsPositive())
        std::reverse(poly.begin(), poly.end());
    out.addPolygon(poly);
    out.closeSubpath();
}

// A cap drawn by hand at `end`, the line arriving there along `direction`.
void addCap(QPainterPath& out, QPointF end, QPointF direction, LineStyle::Cap cap, double width)
{
    const double half = width / 2;
    if (cap == LineStyle::Cap::Round) {
        QPainterPath circle;
        circle.addEllipse(end, half, half);
        for (const QPolygonF& poly : circle.toSubpathPolygons())
            addWound(out, poly);
        return;
    }
    const double length = std::hypot(direction.x(), direction.y());
    if (cap != LineStyle::Cap::Square || length <= 0)
        return;
    const QPointF d = direction / length * half;
    const QPointF n(-d.y(), d.x());
    QPolygonF square;
    square << end + n << end + n + d << end - n + d << end - n;
    addWound(out, square);
}

// Hand-made caps for each open subpath: the stroker has one cap style for both ends.
void addCaps(QPainterPath& out, const QPainterPath& path, const LineStyle& style, double width)
{
    for (const QPolygonF& poly : path.toSubpathPolygons()) {
        if (poly.size() < 2)
            continue;
        if (poly.isClosed() && !style.noClose)
            continue;
        QPointF startDir;
        for (qsizetype i = 1; i < poly.size(); ++i) {
            if (poly[i] != poly.front()) {
                startDir = poly.front() - poly[i];
                break;
            }
        }
        QPointF endDir;
        for (qsizetype i = poly.size() - 2; i >= 0; --i) {
            if (poly[i] != poly.back()) {
                endDir = poly.back() - poly[i];
                break;
            }
        }
        addCap(out, poly.front(), startDir, style.startCap, width);
        addCap(out, poly.back(), endDir, style.endCap, width);
    }
}

} // namespace

double lineDeviceWidth(const LineStyle& style, const QTransform& t, double viewScale)
{
    double scale;
    if (style.noHScale && style.noVScale)
        scale = viewScale;
    else if (style.noHScale)
        scale = std::hypot(t.m21(), t.m22());
    else if (style.noVScale)
        scale = std::hypot(t.m11(), t.m12());
    else
        scale
            = std::sqrt((t.m11() * t.m11() + t.m12() * t.m12() + t.m21() * t.m21() + t.m22() * t.m22()) / 2);
    const double width = style.width * scale;
    return std::isfinite(width) ? std::max(1.0, width) : 1.0;
}

QPainterPath strokeOnDevice(const QPainterPath& devicePath, const LineStyle& style, double width)
{
    QPainterPath path = devicePath;
    if (style.pixelHinting) {
        width = std::max(1.0, std::round(width));
        path = hinted(path, width);
    }
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setJoinStyle(toQt(style.join));
    if (style.join == LineStyle::Join::Miter)
        stroker.setMiterLimit(std::max(1.0, style.miterLimit));
    stroker.setCurveThreshold(0.25);
    const bool sameCaps = style.startCap == style.endCap;
    stroker.setCapStyle(sameCaps ? toQt(style.startCap) : Qt::FlatCap);
    QPainterPath outline = stroker.createStroke(path);
    if (!sameCaps)
        addCaps(outline, path, style, width);
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

} // namespace swf
