#pragma once

#include <QPainterPath>
#include <QRect>
#include <QTransform>

#include <algorithm>
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

    // What one thread needs to sweep rows: its accumulation rows and the spans it hands
    // out. Rows are independent of each other, so threads that each bring a lane may
    // sweep different rows of one drawing at once, with the same results as one sweep.
    class Lane {
    public:
        Lane() = default;

    private:
        friend class Rasterizer;
        struct Accumulator {
            std::vector<float> cells;
            int minX = 0;
            int maxX = -1;
            int style = -1;
        };
        std::vector<Accumulator> pool;
        std::vector<int> slotOfStyle; // style -> pool index, -1 when unused on this row
        std::vector<int> usedSlots;
        std::vector<std::vector<float>> coverage;
        std::vector<std::size_t> active; // segments crossing the row, in sorted order
        std::size_t next = 0; // the first sorted segment not yet active
        int row = 0; // the row the lane goes on with
        const Rasterizer* sweeping = nullptr;
        uint64_t drawing = 0;
        std::vector<StyleSpan> spans;
    };
    // Sorts the edges for sweeping; the rows to sweep are then [firstRow(), endRow()).
    // Call once after the last edge is added, before sweepRows().
    void prepare();
    int firstRow() const { return firstRow_; }
    int endRow() const { return endRow_; }
    // Calls `row(y, spans)` for each row in [from, to) any style covers, top to bottom,
    // with `lane`'s memory. Reads the prepared edges only, so that threads with lanes of
    // their own may sweep different rows at once.
    template <class Row> void sweepRows(Lane& lane, int from, int to, bool antialias, Row&& row) const;

private:
    struct Segment {
        float x0, y0, x1, y1; // y0 < y1
        float dir; // +1 downwards as added, -1 upwards
        int style;
        float slope; // dx/dy
    };
    struct StyleBox {
        int style;
        float x0, y0, x1, y1;
    };

    void flattenCubic(QPointF p0, QPointF c1, QPointF c2, QPointF p3, int style);
    void addClipped(double x0, double y0, double x1, double y1, int style);
    void addVertical(double x, double y0, double y1, int style);
    void accumulate(Lane& lane, const Segment& s, int y) const;
    void sample(Lane& lane, const Segment& s, int y) const;
    void finishRow(Lane& lane, bool antialias) const;
    Lane::Accumulator& accumulatorOf(Lane& lane, int style) const;
    // Takes a free accumulator for a style the lane's row has not met yet.
    Lane::Accumulator& freshAccumulator(Lane& lane, int style) const;
    // Makes `lane` ready to sweep from row `y`: the edges crossing it, its memory wide enough.
    void startLane(Lane& lane, int y) const;
    // Moves a lane that stopped above row `y` on to it, as if it had swept the rows between.
    void skipTo(Lane& lane, int y) const;
    // Sweeps row `y` into the lane's spans; false when no edge crosses it.
    bool sweepRow(Lane& lane, int y, bool antialias) const;

    QRect box_;
    std::vector<Segment> segments_;
    std::vector<FillRule> rules_;
    std::vector<StyleBox> boxes_; // per style, the extent of its edges
    double rowCrossings_ = 0;
    double edgeLimit_ = 1e12;
    bool overflowed_ = false;
    double tolerance_ = 0.2; // device pixels a flattened curve may stray

    // Set by prepare(): the segments by top row, and the rows they reach.
    std::vector<std::size_t> order_;
    int firstRow_ = 0;
    int endRow_ = 0;
    int styles_ = 0; // one past the highest style
    uint64_t drawing_ = 0; // counts reset()s, so that a lane knows a drawing it has not swept
    Lane lane_; // sweep()'s
};

template <class Row> void Rasterizer::sweep(bool antialias, Row&& row)
{
    prepare();
    sweepRows(lane_, firstRow_, endRow_, antialias, row);
}

template <class Row> void Rasterizer::sweepRows(Lane& lane, int from, int to, bool antialias, Row&& row) const
{
    from = std::max(from, firstRow_);
    to = std::min(to, endRow_);
    if (from >= to)
        return;
    // A lane that swept rows above goes on from where it stopped, skipping the rows between.
    if (lane.sweeping != this || lane.drawing != drawing_ || lane.row > from)
        startLane(lane, from);
    else if (lane.row < from)
        skipTo(lane, from);
    for (int y = from; y < to; ++y) {
        if (sweepRow(lane, y, antialias) && !lane.spans.empty())
            row(y, std::span<const StyleSpan>(lane.spans));
    }
    lane.row = to;
}

} // namespace swf
