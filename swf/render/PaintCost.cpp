#include "PaintCost.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace swf {
namespace {

// Units per thing, from timings of Qt 6.4's raster engine (see the header).
constexpr double kCallUnits = 16; // transform, brush and rasteriser set-up
constexpr double kRasterUnitsPerElement = 0.25; // converting the outline
constexpr double kStrokeUnitsPerElement = 1; // the stroker, or the cosmetic stroker
constexpr double kLengthPerUnit = 8; // device pixels of edges: the cells they make
constexpr double kRowsSquaredPerUnit = 128; // edges met on a row, squared
constexpr double kSlantedRowsSquaredPerUnit = 4096; // slanted edges' rows squared, times edges per row
constexpr double kElementCellsPerUnit = 7000; // outline elements times device cells
constexpr double kPixelsPerUnit = 128; // area painted
constexpr double kClipRasterFactor = 4; // clipping also builds and intersects spans
constexpr double kHairlineLengthPerUnit = 0.5; // the cosmetic stroker plots every pixel itself
constexpr double kClippedRowsPerUnit = 4; // per clip edge on each row painted under it
// Below this many units the product bound of the rows squared is close enough, and
// counting the rows one by one is not worth it.
constexpr double kExactRowsFrom = 256;

QPointF map(const QTransform& t, const QPainterPath::Element& e)
{
    return QPointF(t.m11() * e.x + t.m21() * e.y + t.dx(), t.m12() * e.x + t.m22() * e.y + t.dy());
}

bool finite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Calls `edge(points, count, curved)` for every edge of the path in device space, the
// closing edges that filling adds included.
template <class F> void forEachEdge(const QPainterPath& path, const QTransform& t, F&& edge)
{
    const int n = path.elementCount();
    QPointF start;
    QPointF current;
    bool open = false;
    const auto close = [&] {
        if (open && current != start) {
            const QPointF line[2] = { current, start };
            edge(line, 2, false);
        }
    };
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            close();
            start = current = map(t, e);
            open = true;
            break;
        case QPainterPath::LineToElement: {
            const QPointF line[2] = { current, map(t, e) };
            edge(line, 2, false);
            current = line[1];
            break;
        }
        case QPainterPath::CurveToElement:
            if (i + 2 < n) {
                const QPointF curve[4]
                    = { current, map(t, e), map(t, path.elementAt(i + 1)), map(t, path.elementAt(i + 2)) };
                edge(curve, 4, true);
                current = curve[3];
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    close();
}

} // namespace

PaintCost::PaintCost(QSize device)
    : device_(QPointF(0, 0), QSizeF(device.expandedTo(QSize(0, 0))))
{
}

PaintCost::Scan PaintCost::scan(
    const QPainterPath& path, const QTransform& transform, double halo, double weight)
{
    const double height = device_.height();
    // The device rows [first, last) an edge meets.
    const auto rowsOf = [&](const QPointF* p, int count) -> std::pair<int, int> {
        double lo = p[0].y();
        double hi = p[0].y();
        for (int k = 1; k < count; ++k) {
            lo = std::min(lo, p[k].y());
            hi = std::max(hi, p[k].y());
        }
        lo = std::clamp(lo - halo, 0.0, height);
        hi = std::clamp(hi + halo, 0.0, height);
        const int first = static_cast<int>(std::floor(lo));
        int last = static_cast<int>(std::ceil(hi));
        if (last == first && first < height && hi > 0)
            ++last;
        return { first, last };
    };

    Scan s;
    s.elements = path.elementCount();
    double weighted = 0;
    bool wild = false;
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    double left = kInfinity;
    double top = kInfinity;
    double right = -kInfinity;
    double bottom = -kInfinity;
    forEachEdge(path, transform, [&](const QPointF* p, int count, bool curved) {
        const double w = curved ? 2 * weight : weight;
        weighted += w;
        bool ok = true;
        for (int k = 0; k < count; ++k)
            ok = ok && finite(p[k]);
        if (!ok) {
            // Geometry past the range of doubles: charged as if it crossed the whole device.
            wild = true;
            s.length += device_.width() + height;
            s.edgeRows += w * height;
            s.slantedRowsSquared += w * height * height;
            return;
        }
        s.length += visibleLength(p, count, curved, halo);
        const auto [first, last] = rowsOf(p, count);
        const double rows = last - first;
        s.edgeRows += w * rows;
        // Upright edges take the rasteriser's short way.
        if (curved || p[0].x() != p[count - 1].x())
            s.slantedRowsSquared += w * rows * rows;
        for (int k = 0; k < count; ++k) {
            left = std::min(left, p[k].x());
            right = std::max(right, p[k].x());
            top = std::min(top, p[k].y());
            bottom = std::max(bottom, p[k].y());
        }
    });
    if (wild)
        s.bounds = device_;
    else if (left <= right)
        s.bounds = QRectF(QPointF(left - halo, top - halo), QPointF(right + halo, bottom + halo));

    // Each row meets at most all the edges, so the edges times their rows bound the sum
    // of squares; when that bound matters, count the rows.
    const double bound = weighted * s.edgeRows;
    if (wild || bound / kRowsSquaredPerUnit < kExactRowsFrom || height < 1) {
        s.rowsSquared = bound;
        return s;
    }
    rows_.assign(static_cast<std::size_t>(height) + 1, 0.0);
    forEachEdge(path, transform, [&](const QPointF* p, int count, bool curved) {
        const auto [first, last] = rowsOf(p, count);
        const double w = curved ? 2 * weight : weight;
        rows_[static_cast<std::size_t>(first)] += w;
        rows_[static_cast<std::size_t>(last)] -= w;
    });
    double edges = 0;
    for (double change : rows_) {
        edges += change;
        s.rowsSquared += edges * edges;
    }
    return s;
}

// The part of `bounds` on the device, as width and height; lines have no width but
// still cross rows.
QSizeF PaintCost::visible(const QRectF& bounds) const
{
    const double width = std::min(bounds.right(), device_.right()) - std::max(bounds.left(), device_.left());
    const double height = std::min(bounds.bottom(), device_.bottom()) - std::max(bounds.top(), device_.top());
    if (!(width >= 0 && height >= 0))
        return QSizeF(0, 0);
    return QSizeF(width, height);
}

// Qt clips edges to the device before it makes cells for them, so only the part of an
// edge on the device counts. A line is no longer than the diagonal of its box there; a
// curve of at most one turn each way, than twice the box's half perimeter.
double PaintCost::visibleLength(const QPointF* p, int count, bool curved, double halo) const
{
    double length = 0;
    double left = p[0].x();
    double right = p[0].x();
    double top = p[0].y();
    double bottom = p[0].y();
    for (int k = 1; k < count; ++k) {
        length += std::hypot(p[k].x() - p[k - 1].x(), p[k].y() - p[k - 1].y());
        left = std::min(left, p[k].x());
        right = std::max(right, p[k].x());
        top = std::min(top, p[k].y());
        bottom = std::max(bottom, p[k].y());
    }
    const QSizeF box
        = visible(QRectF(QPointF(left - halo, top - halo), QPointF(right + halo, bottom + halo)));
    const double bound = curved ? 2 * (box.width() + box.height()) : std::hypot(box.width(), box.height());
    return std::min(length, bound);
}

double PaintCost::area(const QRectF& bounds) const
{
    const QSizeF size = visible(bounds);
    return size.width() * size.height();
}

double PaintCost::rowsUnder(const QRectF& bounds) const
{
    return visible(bounds).height();
}

// The rasteriser's work for an outline of `elements` elements whose edges run `length`
// pixels on the device; `scan` gives the rows its edges meet.
double PaintCost::raster(const Scan& s, double elements, double length, double coveredArea) const
{
    const double rows = rowsUnder(s.bounds);
    const double edgesPerRow = rows > 0 ? s.edgeRows / rows : 0;
    const double cells = std::min(length, coveredArea);
    return elements * kRasterUnitsPerElement + length / kLengthPerUnit + s.rowsSquared / kRowsSquaredPerUnit
        + s.slantedRowsSquared * edgesPerRow / kSlantedRowsSquaredPerUnit
        + elements * cells / kElementCellsPerUnit;
}

PaintCost::Estimate PaintCost::fill(
    const QPainterPath& path, const QTransform& transform, double clipEdgesPerRow)
{
    const Scan s = scan(path, transform, 0, 1);
    const double covered = area(s.bounds);
    Estimate e;
    e.units = kCallUnits + raster(s, s.elements, s.length, covered) + covered / kPixelsPerUnit
        + rowsUnder(s.bounds) * clipEdgesPerRow / kClippedRowsPerUnit;
    return e;
}

PaintCost::Estimate PaintCost::stroke(
    const QPainterPath& path, const QTransform& transform, double width, double clipEdgesPerRow)
{
    Estimate e;
    if (!(width > 0)) {
        const Scan s = scan(path, transform, 0.5, 1);
        e.units = kCallUnits + s.elements * kStrokeUnitsPerElement + s.length / kHairlineLengthPerUnit
            + rowsUnder(s.bounds) * clipEdgesPerRow / kClippedRowsPerUnit;
        return e;
    }
    // The stroker turns every edge into an outline with two sides and a join, which is
    // then filled: twice the edges on each row, widened by the pen.
    const Scan s = scan(path, transform, width / 2, 2);
    const double joinLength = std::min(width, device_.width() + device_.height());
    const double covered = area(s.bounds);
    e.units = kCallUnits + s.elements * kStrokeUnitsPerElement
        + raster(s, 2 * s.elements, 2 * s.length + s.elements * joinLength, covered)
        + covered / kPixelsPerUnit + rowsUnder(s.bounds) * clipEdgesPerRow / kClippedRowsPerUnit;
    return e;
}

PaintCost::Estimate PaintCost::clip(const QPainterPath& devicePath)
{
    const Scan s = scan(devicePath, QTransform(), 0, 1);
    const double covered = area(s.bounds);
    Estimate e;
    e.units = kCallUnits + kClipRasterFactor * raster(s, s.elements, s.length, covered)
        + covered / kPixelsPerUnit;
    const double rows = rowsUnder(s.bounds);
    e.edgesPerRow = rows > 0 ? s.edgeRows / rows : 0;
    return e;
}

} // namespace swf
