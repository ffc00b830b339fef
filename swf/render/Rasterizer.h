#pragma once

#include <QPainterPath>
#include <QRect>
#include <QTransform>

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

enum class FillRule : uint8_t { EvenOdd, NonZero };

// The coverage of one style on part of a device row: coverage[i] is for column x0 + i,
// 0..1 once the style's fill rule is applied.
struct StyleSpan {
    int style = 0;
    int x0 = 0;
    int x1 = 0; // exclusive
    const float* coverage = nullptr;
};

// A scanline rasteriser that computes, for every pixel, the exact area each style's
// outlines cover, in one pass over all the edges of a drawing.
//
// Each style's outlines are added as closed polygons in device pixels; the rasteriser
// sums the signed area every edge leaves to its right on each row and hands the caller,
// row by row, the coverage of every style there. Styles that share an edge get exactly
// complementary coverage on the pixels it crosses, so a caller that mixes them before
// laying the mix on the picture shows no seam between them. Edges are clipped to a box
// first: what lies left of it still counts for the rows it crosses, what lies right of
// it counts for nothing.
class Rasterizer {
public:
    explicit Rasterizer(const QRect& box = {});
    // Starts a new drawing over `box`, keeping the memory of the last one, so that a
    // rasteriser used for every fill of a frame allocates nothing once warmed up.
    void reset(const QRect& box);

    // Adds `path` (in its own coordinates), mapped by `transform`, to style `style`. Curves
    // are flattened finely enough for the device. Every subpath is closed.
    void addPath(const QPainterPath& path, const QTransform& transform, int style);
    void addEdge(double x0, double y0, double x1, double y1, int style);
    // Sets the fill rule of a style (EvenOdd until set).
    void setRule(int style, FillRule rule);

    // The most edges taken; past it the rasteriser takes no more and reports overflowed(),
    // and its caller draws nothing of it.
    void setEdgeLimit(double limit) { edgeLimit_ = limit; }
    bool overflowed() const { return overflowed_; }

    // What the sweep will cost, for the frame's budget: the edges, the rows they cross and
    // the pixels each style's outline spans, all within the box.
    double edges() const { return static_cast<double>(segments_.size()); }
    double rowCrossings() const { return rowCrossings_; }
    double spannedPixels() const;
    // The device rows and columns the edges reach, within the box (empty when none).
    QRect extent() const;

    // Calls `row(y, spans)` for each device row any style covers, top to bottom. With
    // `antialias` off a pixel is covered or not: covered when its centre is inside.
    template <class Row> void sweep(bool antialias, Row&& row);

private:
    struct Segment {
        float x0, y0, x1, y1; // y0 < y1
        float dir; // +1 downwards as added, -1 upwards
        int style;
    };
    struct StyleBox {
        int style;
        float x0, y0, x1, y1;
    };

    void flattenCubic(QPointF p0, QPointF c1, QPointF c2, QPointF p3, int style);
    void addClipped(double x0, double y0, double x1, double y1, int style);
    void addVertical(double x, double y0, double y1, int style);
    void accumulate(const Segment& s, int y);
    void sample(const Segment& s, int y);
    void prepareRow(int y);
    void finishRow(int y, bool antialias, std::vector<StyleSpan>& spans);

    // The sweep's row loop, without the caller's template: fills spans for each row.
    struct Sweep {
        std::vector<std::size_t> order; // segments by top row
        std::size_t next = 0;
        std::vector<std::size_t> active;
        int last = 0; // the row past the last row any segment reaches
    };
    bool sweepRow(Sweep& sweep, bool antialias, std::vector<StyleSpan>& spans, int& y);

    QRect box_;
    std::vector<Segment> segments_;
    std::vector<FillRule> rules_;
    std::vector<StyleBox> boxes_; // per style, the extent of its edges
    double rowCrossings_ = 0;
    double edgeLimit_ = 1e12;
    bool overflowed_ = false;
    double tolerance_ = 0.2; // device pixels a flattened curve may stray

    // Sweep state: per style its accumulation row, reused from a pool.
    struct Accumulator {
        std::vector<float> cells;
        int minX = 0;
        int maxX = -1;
        int style = -1;
    };
    std::vector<Accumulator> pool_;
    Accumulator& accumulatorOf(int style);
    std::vector<int> slotOfStyle_; // style -> pool index, -1 when unused on this row
    std::vector<int> usedSlots_;
    std::vector<std::vector<float>> coverage_;
    Sweep sweep_;
    std::vector<StyleSpan> spans_;
};

template <class Row> void Rasterizer::sweep(bool antialias, Row&& row)
{
    sweep_.order.clear();
    sweep_.next = 0;
    sweep_.active.clear();
    sweep_.last = 0;
    int y = 0;
    while (sweepRow(sweep_, antialias, spans_, y)) {
        if (!spans_.empty())
            row(y, std::span<const StyleSpan>(spans_));
        ++y;
    }
}

} // namespace swf
