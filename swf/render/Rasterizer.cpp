#include "Rasterizer.h"

#include <algorithm>
#include <array>
#include <cmath>

#if defined(__SSE2__)
#include <xmmintrin.h>
#include <emmintrin.h>
#endif

namespace swf {
namespace {

bool finite(double a, double b, double c, double d)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// The most pieces one curve is cut into, however large it is on the device.
constexpr int kMaxCurvePieces = 256;

} // namespace

Rasterizer::Rasterizer(const QRect& box)
    : box_(box.normalized())
{
}

void Rasterizer::reset(const QRect& box)
{
    box_ = box.normalized();
    segments_.clear();
    rules_.clear();
    boxes_.clear();
    rowCrossings_ = 0;
    edgeLimit_ = 1e12;
    overflowed_ = false;
    order_.clear();
    firstRow_ = endRow_ = 0;
    ++drawing_;
}

void Rasterizer::setRule(int style, FillRule rule)
{
    if (style < 0)
        return;
    if (static_cast<std::size_t>(style) >= rules_.size())
        rules_.resize(static_cast<std::size_t>(style) + 1, FillRule::EvenOdd);
    rules_[static_cast<std::size_t>(style)] = rule;
}

void Rasterizer::addPath(const QPainterPath& path, const QTransform& transform, int style)
{
    QPointF start;
    QPointF last;
    bool open = false;
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        const QPointF p = transform.map(QPointF(e.x, e.y));
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (open)
                addEdge(last.x(), last.y(), start.x(), start.y(), style);
            start = last = p;
            open = true;
            break;
        case QPainterPath::LineToElement:
            addEdge(last.x(), last.y(), p.x(), p.y(), style);
            last = p;
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < count) {
                const QPainterPath::Element& c2 = path.elementAt(i + 1);
                const QPainterPath::Element& end = path.elementAt(i + 2);
                const QPointF p2 = transform.map(QPointF(c2.x, c2.y));
                const QPointF p3 = transform.map(QPointF(end.x, end.y));
                flattenCubic(last, p, p2, p3, style);
                last = p3;
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    if (open)
        addEdge(last.x(), last.y(), start.x(), start.y(), style);
}

void Rasterizer::flattenCubic(QPointF p0, QPointF c1, QPointF c2, QPointF p3, int style)
{
    // The second differences bound how far a piece strays from the curve.
    const QPointF d1 = p0 - 2 * c1 + c2;
    const QPointF d2 = c1 - 2 * c2 + p3;
    const double dd = std::sqrt(std::max(QPointF::dotProduct(d1, d1), QPointF::dotProduct(d2, d2)));
    int pieces = 1;
    if (std::isfinite(dd) && dd > 0)
        pieces = static_cast<int>(
            std::clamp(std::ceil(std::sqrt(0.75 * dd / tolerance_)), 1.0, double(kMaxCurvePieces)));
    QPointF from = p0;
    for (int k = 1; k <= pieces; ++k) {
        const double t = double(k) / pieces;
        const double u = 1 - t;
        const QPointF to
            = k == pieces ? p3 : u * u * u * p0 + 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t * p3;
        addEdge(from.x(), from.y(), to.x(), to.y(), style);
        from = to;
    }
}

void Rasterizer::addEdge(double x0, double y0, double x1, double y1, int style)
{
    if (y0 == y1 || style < 0 || overflowed_ || !finite(x0, y0, x1, y1))
        return;
    const double top = box_.top();
    const double bottom = box_.top() + box_.height();
    // Rows outside the box take nothing of the edge.
    if ((y0 <= top && y1 <= top) || (y0 >= bottom && y1 >= bottom))
        return;
    const double left = box_.left();
    const double right = box_.left() + box_.width();
    if (y0 >= top && y0 <= bottom && y1 >= top && y1 <= bottom && std::min(x0, x1) >= left
        && std::max(x0, x1) <= right) {
        // Wholly within the box, as most edges are: what the cutting below comes to for an
        // edge it does not cut, with the very same arithmetic.
        const double toX = x0 + (x1 - x0) * 1.0;
        const double toY = y0 + (y1 - y0) * 1.0;
        const double midX = (x0 + toX) / 2;
        if (midX <= left)
            addVertical(left, y0, toY, style);
        else if (midX < right)
            addClipped(std::clamp(x0, left, right), y0, std::clamp(toX, left, right), toY, style);
        return;
    }
    const auto xAt = [&](double y) { return x0 + (x1 - x0) * (y - y0) / (y1 - y0); };
    double ya = y0, xa = x0, yb = y1, xb = x1;
    if (ya < top) {
        xa = xAt(top);
        ya = top;
    } else if (ya > bottom) {
        xa = xAt(bottom);
        ya = bottom;
    }
    if (yb < top) {
        xb = xAt(top);
        yb = top;
    } else if (yb > bottom) {
        xb = xAt(bottom);
        yb = bottom;
    }
    if (ya == yb)
        return;

    // Split where the edge crosses the box's left and right sides: a part left of the box
    // counts as an upright edge on its side, a part right of it counts for nothing.
    std::array<double, 4> cuts {};
    int n = 0;
    cuts[n++] = 0;
    if ((xa < left) != (xb < left))
        cuts[n++] = (left - xa) / (xb - xa);
    if ((xa > right) != (xb > right))
        cuts[n++] = (right - xa) / (xb - xa);
    cuts[n++] = 1;
    std::sort(cuts.begin(), cuts.begin() + n);
    for (int i = 0; i + 1 < n; ++i) {
        const double t0 = cuts[i];
        const double t1 = cuts[i + 1];
        const double fromX = xa + (xb - xa) * t0, toX = xa + (xb - xa) * t1;
        const double fromY = ya + (yb - ya) * t0, toY = ya + (yb - ya) * t1;
        const double midX = (fromX + toX) / 2;
        if (midX <= left)
            addVertical(left, fromY, toY, style);
        else if (midX < right)
            addClipped(std::clamp(fromX, left, right), fromY, std::clamp(toX, left, right), toY, style);
    }
}

void Rasterizer::addVertical(double x, double y0, double y1, int style)
{
    addClipped(x, y0, x, y1, style);
}

void Rasterizer::addClipped(double x0, double y0, double x1, double y1, int style)
{
    if (y0 == y1)
        return;
    Segment s;
    if (y0 < y1) {
        s = { float(x0), float(y0), float(x1), float(y1), 1.f, style, 0.f };
    } else {
        s = { float(x1), float(y1), float(x0), float(y0), -1.f, style, 0.f };
    }
    if (!(s.y0 < s.y1))
        return;
    s.slope = (s.x1 - s.x0) / (s.y1 - s.y0);
    if (static_cast<double>(segments_.size()) >= edgeLimit_) {
        overflowed_ = true;
        return;
    }
    segments_.push_back(s);
    rowCrossings_ += std::ceil(s.y1) - std::floor(s.y0);
    const auto it
        = std::find_if(boxes_.begin(), boxes_.end(), [style](const StyleBox& b) { return b.style == style; });
    const float xl = std::min(s.x0, s.x1);
    const float xr = std::max(s.x0, s.x1);
    if (it == boxes_.end()) {
        boxes_.push_back({ style, xl, s.y0, xr, s.y1 });
    } else {
        it->x0 = std::min(it->x0, xl);
        it->x1 = std::max(it->x1, xr);
        it->y0 = std::min(it->y0, s.y0);
        it->y1 = std::max(it->y1, s.y1);
    }
}

double Rasterizer::spannedPixels() const
{
    double pixels = 0;
    for (const StyleBox& b : boxes_)
        pixels += (std::ceil(b.x1) - std::floor(b.x0) + 2) * (std::ceil(b.y1) - std::floor(b.y0));
    return pixels;
}

QRect Rasterizer::extent() const
{
    if (boxes_.empty())
        return {};
    float y0 = boxes_.front().y0, y1 = boxes_.front().y1, x0 = boxes_.front().x0;
    for (const StyleBox& b : boxes_) {
        y0 = std::min(y0, b.y0);
        y1 = std::max(y1, b.y1);
        x0 = std::min(x0, b.x0);
    }
    const int top = static_cast<int>(std::floor(y0));
    const int left = static_cast<int>(std::floor(x0));
    const int right = box_.left() + box_.width();
    const int bottom = static_cast<int>(std::ceil(y1));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(box_);
}

inline Rasterizer::Lane::Accumulator& Rasterizer::accumulatorOf(Lane& lane, int style) const
{
    const int slot = lane.slotOfStyle[static_cast<std::size_t>(style)];
    if (slot >= 0) [[likely]]
        return lane.pool[static_cast<std::size_t>(slot)];
    return freshAccumulator(lane, style);
}

Rasterizer::Lane::Accumulator& Rasterizer::freshAccumulator(Lane& lane, int style) const
{
    const int slot = static_cast<int>(lane.usedSlots.size());
    lane.slotOfStyle[static_cast<std::size_t>(style)] = slot;
    if (lane.pool.size() <= static_cast<std::size_t>(slot))
        lane.pool.push_back({ std::vector<float>(static_cast<std::size_t>(box_.width()) + 3, 0.f), 0, -1, -1 });
    Lane::Accumulator& fresh = lane.pool[static_cast<std::size_t>(slot)];
    fresh.style = style;
    fresh.minX = box_.width() + 2;
    fresh.maxX = -1;
    lane.usedSlots.push_back(slot);
    return fresh;
}

void Rasterizer::sample(Lane& lane, const Segment& s, int y) const
{
    // Without anti-aliasing each pixel takes its centre's side of every edge. The edge
    // counts for the row when it crosses the centre line, its top end included and its
    // bottom end not; it covers the pixels whose centres lie right of it, so that a pixel
    // whose centre is on it belongs to the side it bounds on its left: pixels x0 + 1..x1
    // for a span from x0 + 0.5 to x1 + 0.5. Two shapes that share an edge share no pixel,
    // and a line one pixel wide on a pixel boundary covers one pixel, not two.
    const float centre = float(y) + 0.5f;
    if (!(s.y0 <= centre && centre < s.y1))
        return;
    const float x = s.x0 + (s.x1 - s.x0) * (centre - s.y0) / (s.y1 - s.y0) - float(box_.left());
    const int limit = box_.width() + 1;
    const int i = static_cast<int>(std::clamp(std::floor(x + 0.5f), 0.f, float(limit)));
    Lane::Accumulator& acc = accumulatorOf(lane, s.style);
    acc.cells[static_cast<std::size_t>(i)] += s.dir;
    acc.minX = std::min(acc.minX, i);
    acc.maxX = std::max(acc.maxX, std::min(i + 1, limit));
}

void Rasterizer::accumulate(Lane& lane, const Segment& s, int y) const
{
    const float ya = std::max(s.y0, float(y));
    const float yb = std::min(s.y1, float(y + 1));
    if (!(yb > ya))
        return;
    const float slope = s.slope;
    const float xa = s.x0 + slope * (ya - s.y0);
    const float xb = s.x0 + slope * (yb - s.y0);
    const float d = (yb - ya) * s.dir;

    Lane::Accumulator& acc = accumulatorOf(lane, s.style);
    float* cell = acc.cells.data();
    const float left = float(box_.left());
    const int limit = box_.width() + 1;
    // Columns relative to the box, so that cell 0 is its left column.
    const float xl = std::clamp(std::min(xa, xb) - left, 0.f, float(limit - 1));
    const float xr = std::clamp(std::max(xa, xb) - left, 0.f, float(limit - 1));
    // Both are at least 0, so floor and ceiling come from truncation.
    const int i0 = static_cast<int>(xl);
    const int i1 = static_cast<int>(xr) + (static_cast<float>(static_cast<int>(xr)) < xr ? 1 : 0);
    if (i1 <= i0 + 1) {
        const float mid = 0.5f * (xl + xr) - float(i0);
        cell[i0] += d * (1 - mid);
        cell[i0 + 1] += d * mid;
    } else {
        const float inv = 1 / (xr - xl);
        const float f0 = xl - float(i0);
        const float a0 = 0.5f * inv * (1 - f0) * (1 - f0);
        const float f1 = xr - float(i1) + 1;
        const float am = 0.5f * inv * f1 * f1;
        cell[i0] += d * a0;
        if (i1 == i0 + 2) {
            cell[i0 + 1] += d * (1 - a0 - am);
        } else {
            const float a1 = inv * (1.5f - f0);
            cell[i0 + 1] += d * (a1 - a0);
            for (int i = i0 + 2; i < i1 - 1; ++i)
                cell[i] += d * inv;
            const float a2 = a1 + float(i1 - i0 - 3) * inv;
            cell[i1 - 1] += d * (1 - a2 - am);
        }
        cell[i1] += d * am;
    }
    acc.minX = std::min(acc.minX, i0);
    acc.maxX = std::max(acc.maxX, std::min(i1 + 1, limit));
}

void Rasterizer::finishRow(Lane& lane, bool antialias) const
{
    std::vector<StyleSpan>& spans = lane.spans;
    spans.clear();
    if (lane.coverage.size() < lane.usedSlots.size())
        lane.coverage.resize(lane.usedSlots.size());
    const int width = box_.width();
    for (std::size_t k = 0; k < lane.usedSlots.size(); ++k) {
        Lane::Accumulator& acc = lane.pool[static_cast<std::size_t>(lane.usedSlots[k])];
        lane.slotOfStyle[static_cast<std::size_t>(acc.style)] = -1;
        std::vector<float>& out = lane.coverage[k];
        if (out.size() < static_cast<std::size_t>(width))
            out.resize(static_cast<std::size_t>(width));
        const FillRule rule = static_cast<std::size_t>(acc.style) < rules_.size()
            ? rules_[static_cast<std::size_t>(acc.style)]
            : FillRule::EvenOdd;
        const auto apply = [rule, antialias](float sum) {
            float a = std::abs(sum);
            if (rule == FillRule::NonZero) {
                a = std::min(a, 1.f);
            } else if (a > 1) {
                a = std::fmod(a, 2.f);
                if (a > 1)
                    a = 2 - a;
            }
            if (a < 1e-4f)
                return 0.f;
            return antialias ? std::min(a, 1.f) : std::round(a);
        };
        float sum = 0;
        const int from = acc.minX;
        int to = std::min(acc.maxX, width); // exclusive
        float* cells = acc.cells.data();
        float* cover = out.data();
        int col = from;
#if defined(__SSE2__)
        if (antialias) {
            // Four columns at a time: the running sum within the four, then the rule. A
            // group where an even-odd sum passes 1 goes the long way below.
            const __m128 one = _mm_set1_ps(1.f);
            const __m128 tiny = _mm_set1_ps(1e-4f);
            const __m128 sign = _mm_set1_ps(-0.f);
            const bool nonZero = rule == FillRule::NonZero;
            // What four columns without an edge get: the running sum's coverage, as below.
            const auto flatOf = [&](float running, bool& usable) {
                __m128 a = _mm_andnot_ps(sign, _mm_set1_ps(running));
                if (nonZero)
                    a = _mm_min_ps(a, one);
                usable = nonZero || _mm_movemask_ps(_mm_cmpgt_ps(a, one)) == 0;
                return _mm_and_ps(a, _mm_cmpge_ps(a, tiny));
            };
            bool flatUsable = false;
            __m128 flat = flatOf(sum, flatUsable);
            for (; col + 4 <= to; col += 4) {
                __m128 v = _mm_loadu_ps(cells + col);
                // Inside a shape most columns hold no edge: their coverage is the sum so far,
                // and their cells are zero already.
                if (flatUsable && _mm_movemask_ps(_mm_cmpneq_ps(v, _mm_setzero_ps())) == 0) {
                    _mm_storeu_ps(cover + col, flat);
                    continue;
                }
                v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 4)));
                v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 8)));
                v = _mm_add_ps(v, _mm_set1_ps(sum));
                __m128 a = _mm_andnot_ps(sign, v);
                if (nonZero)
                    a = _mm_min_ps(a, one);
                else if (_mm_movemask_ps(_mm_cmpgt_ps(a, one)) != 0)
                    break;
                a = _mm_and_ps(a, _mm_cmpge_ps(a, tiny));
                _mm_storeu_ps(cover + col, a);
                _mm_storeu_ps(cells + col, _mm_setzero_ps());
                sum = _mm_cvtss_f32(_mm_shuffle_ps(v, v, 0xFF));
                flat = flatOf(sum, flatUsable);
            }
        }
#endif
        for (; col < to; ++col) {
            sum += cells[col];
            cells[col] = 0;
            cover[col] = apply(sum);
        }
        for (int x = to; x <= acc.maxX && x < static_cast<int>(acc.cells.size()); ++x)
            acc.cells[static_cast<std::size_t>(x)] = 0;
        // An outline that runs on past the box's right side covers the rest of the row.
        const float rest = apply(sum);
        if (rest > 0) {
            for (int x = to; x < width; ++x)
                out[static_cast<std::size_t>(x)] = rest;
            to = width;
        }
        if (to > from)
            spans.push_back({ acc.style, box_.left() + from, box_.left() + to, out.data() + from });
    }
    lane.usedSlots.clear();
}

void Rasterizer::prepare()
{
    ++drawing_;
    order_.clear();
    firstRow_ = endRow_ = 0;
    if (segments_.empty() || box_.isEmpty())
        return;
    order_.resize(segments_.size());
    for (std::size_t i = 0; i < segments_.size(); ++i)
        order_[i] = i;
    std::sort(order_.begin(), order_.end(),
        [this](std::size_t a, std::size_t b) { return segments_[a].y0 < segments_[b].y0; });
    float bottom = segments_.front().y1;
    int maxStyle = 0;
    for (const Segment& s : segments_) {
        bottom = std::max(bottom, s.y1);
        maxStyle = std::max(maxStyle, s.style);
    }
    styles_ = maxStyle + 1;
    endRow_ = std::min(static_cast<int>(std::ceil(bottom)), box_.top() + box_.height());
    firstRow_ = std::max(box_.top(), static_cast<int>(std::floor(segments_[order_.front()].y0)));
}

void Rasterizer::startLane(Lane& lane, int y) const
{
    lane.sweeping = this;
    lane.drawing = drawing_;
    lane.row = y;
    // Between rows every style's slot is free (-1): the lane only needs room for more styles.
    for (int slot : lane.usedSlots) {
        Lane::Accumulator& acc = lane.pool[static_cast<std::size_t>(slot)];
        lane.slotOfStyle[static_cast<std::size_t>(acc.style)] = -1;
        std::fill(acc.cells.begin(), acc.cells.end(), 0.f);
    }
    lane.usedSlots.clear();
    if (lane.slotOfStyle.size() < static_cast<std::size_t>(styles_))
        lane.slotOfStyle.resize(static_cast<std::size_t>(styles_), -1);
    // The accumulation rows are all zero between rows; a wider box needs longer ones.
    const std::size_t cells = static_cast<std::size_t>(std::max(0, box_.width())) + 3;
    for (Lane::Accumulator& acc : lane.pool)
        if (acc.cells.size() < cells)
            acc.cells.resize(cells, 0.f);
    // The edges that reach into the row, in the order a sweep from the top would hold them.
    lane.active.clear();
    lane.next = 0;
    while (lane.next < order_.size() && segments_[order_[lane.next]].y0 < float(y + 1)) {
        if (segments_[order_[lane.next]].y1 > float(y))
            lane.active.push_back(order_[lane.next]);
        ++lane.next;
    }
}

void Rasterizer::skipTo(Lane& lane, int y) const
{
    // The edges keep the order a sweep from the top gives them: those still active first,
    // then the ones met since, in sorted order.
    std::erase_if(lane.active, [&](std::size_t i) { return segments_[i].y1 <= float(y); });
    while (lane.next < order_.size() && segments_[order_[lane.next]].y0 < float(y + 1)) {
        if (segments_[order_[lane.next]].y1 > float(y))
            lane.active.push_back(order_[lane.next]);
        ++lane.next;
    }
    lane.row = y;
}

bool Rasterizer::sweepRow(Lane& lane, int y, bool antialias) const
{
    std::erase_if(lane.active, [&](std::size_t i) { return segments_[i].y1 <= float(y); });
    while (lane.next < order_.size() && segments_[order_[lane.next]].y0 < float(y + 1))
        lane.active.push_back(order_[lane.next++]);
    if (lane.active.empty())
        return false;
    for (std::size_t i : lane.active) {
        if (antialias)
            accumulate(lane, segments_[i], y);
        else
            sample(lane, segments_[i], y);
    }
    finishRow(lane, antialias);
    return true;
}

} // namespace swf
