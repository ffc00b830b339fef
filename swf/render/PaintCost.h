#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <vector>

namespace swf {

// Estimates the work Qt's raster engine does to paint a path, in units of about half a
// microsecond. The terms follow what timings of Qt 6.4 show the work grows with:
//   - the path's elements, and the length of its edges on the device (every pixel an edge
//     passes makes a cell of coverage);
//   - the square of the edges met on each device row;
//   - for slanted edges, the square of the rows each meets times the edges on a row: a
//     zigzag of a hundred tall edges takes a third of a second to fill at 800x600, ten
//     times what the same edges cut into short pieces take;
//   - the elements times the cells on the device, for long paths partly shown;
//   - the pixels the path's bounds cover on the device;
//   - painting under a clip, the clip's edges on each row the painting touches.
// A stroke is estimated as the outline the stroker makes, a clip as a fill whose spans
// are kept and intersected too. Against timings of fills, strokes and clips of such
// paths at 64x48, 800x600 and 1920x1080, the real time stays below twice the estimate,
// and ordinary shapes come out well above their real time. An estimate takes time
// linear in the path's elements, plus the device's rows for paths with many edges.
class PaintCost {
public:
    struct Estimate {
        double units = 0;
        double edgesPerRow = 0; // on the rows the path touches; what a clip by it costs later calls
    };

    explicit PaintCost(QSize device = {});

    // Filling `path` under `transform`; `clipEdgesPerRow` is the load of the clip in force.
    Estimate fill(const QPainterPath& path, const QTransform& transform, double clipEdgesPerRow = 0);
    // Stroking with a pen `width` device pixels wide; 0 is a cosmetic hairline.
    Estimate stroke(
        const QPainterPath& path, const QTransform& transform, double width, double clipEdgesPerRow = 0);
    // Clipping by a path already in device space.
    Estimate clip(const QPainterPath& devicePath);

private:
    struct Scan {
        double elements = 0;
        double length = 0; // device pixels, along the control polygon
        double rowsSquared = 0; // sum over rows of (edges met)^2
        double edgeRows = 0; // sum over edges of the rows each meets
        double slantedRowsSquared = 0; // sum over edges not upright of (rows met)^2
        QRectF bounds;
    };
    // Walks the path's edges in device space. Each edge counts `weight` times on every
    // row it meets, widened by `halo` pixels above and below.
    Scan scan(const QPainterPath& path, const QTransform& transform, double halo, double weight);
    double visibleLength(const QPointF* points, int count, bool curved, double halo) const;
    QSizeF visible(const QRectF& bounds) const;
    double area(const QRectF& bounds) const;
    double raster(const Scan& scan, double elements, double length, double coveredArea) const;
    double rowsUnder(const QRectF& bounds) const;

    QRectF device_;
    std::vector<double> rows_; // per-row edge counts, as differences while scanning
};

} // namespace swf
