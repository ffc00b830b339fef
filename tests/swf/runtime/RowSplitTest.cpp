#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/render/Rasterizer.h"
#include "swf/render/Renderer.h"
#include "swf/render/RowSplitter.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

namespace swf::test {
namespace {

constexpr int32_t kTwips = 20;

// A drawing of many overlapping styles: stars with curved sides crossing one another and
// the box's edges, some filled even-odd, some non-zero.
void addCrowd(Rasterizer& rasterizer)
{
    for (int style = 0; style < 12; ++style) {
        QPainterPath star;
        const double cx = 20 + style * 23 % 170;
        const double cy = 10 + style * 41 % 150;
        const double r = 25 + style * 7;
        star.moveTo(cx + r, cy);
        for (int k = 1; k <= 10; ++k) {
            const double angle = k * 3.14159265358979 * 0.8;
            const QPointF to(cx + r * std::cos(angle), cy + r * std::sin(angle));
            star.quadTo(QPointF(cx + r * 0.3 * std::cos(angle + 1), cy + r * 0.3 * std::sin(angle + 1)), to);
        }
        rasterizer.setRule(style, style % 2 ? FillRule::NonZero : FillRule::EvenOdd);
        rasterizer.addPath(star, QTransform::fromScale(1.013, 0.997), style);
    }
}

// Each row's spans, coverage copied out, keyed by row.
using Rows = std::map<int, std::vector<std::pair<int, std::vector<float>>>>;

void record(Rows& rows, int y, std::span<const StyleSpan> spans)
{
    auto& out = rows[y];
    for (const StyleSpan& s : spans)
        out.push_back({ s.style, std::vector<float>(s.coverage, s.coverage + (s.x1 - s.x0)) });
    // Spans of one row start at their x0: keep it in the key as well.
    for (std::size_t i = 0; i < spans.size(); ++i)
        out[i].second.insert(out[i].second.begin(), float(spans[i].x0));
}

// Sweeping a drawing's rows in pieces, with two lanes, out of order and with pieces
// that follow on from each other and pieces that do not, gives exactly what one sweep
// from the top gives: the same spans, bit for bit.
TEST(RowSplit, RowsSweptInPiecesMatchOneSweep)
{
    for (const bool antialias : { true, false }) {
        Rasterizer rasterizer(QRect(3, -5, 190, 170));
        addCrowd(rasterizer);
        Rows whole;
        rasterizer.sweep(
            antialias, [&](int y, std::span<const StyleSpan> spans) { record(whole, y, spans); });
        ASSERT_GT(whole.size(), 100u);

        rasterizer.prepare();
        const int first = rasterizer.firstRow();
        const int end = rasterizer.endRow();
        const int middle = (first + end) / 2;
        Rasterizer::Lane upper;
        Rasterizer::Lane lower;
        Rows pieces;
        const auto into = [&](int y, std::span<const StyleSpan> spans) { record(pieces, y, spans); };
        // The lower half first, itself in two pieces taken bottom first; the upper half in
        // pieces that follow on, one of them a single row.
        rasterizer.sweepRows(lower, middle + 9, end, antialias, into);
        rasterizer.sweepRows(lower, middle, middle + 9, antialias, into);
        rasterizer.sweepRows(upper, first, first + 1, antialias, into);
        rasterizer.sweepRows(upper, first + 1, first + 30, antialias, into);
        rasterizer.sweepRows(upper, first + 30, middle, antialias, into);
        EXPECT_EQ(pieces, whole) << (antialias ? "anti-aliased" : "aliased");
    }
}

// A lane that swept rows of one drawing starts afresh on the next, even at the same row.
TEST(RowSplit, LaneStartsAfreshOnANewDrawing)
{
    Rasterizer rasterizer(QRect(0, 0, 100, 100));
    Rasterizer::Lane lane;
    QPainterPath square;
    square.addRect(10, 10, 50, 50);
    rasterizer.addPath(square, QTransform(), 0);
    rasterizer.prepare();
    rasterizer.sweepRows(lane, 0, 30, true, [](int, std::span<const StyleSpan>) {});

    rasterizer.reset(QRect(0, 0, 100, 100));
    QPainterPath other;
    other.addRect(40, 5, 20, 60);
    rasterizer.addPath(other, QTransform(), 0);
    rasterizer.prepare();
    std::vector<int> starts;
    rasterizer.sweepRows(lane, 30, 31, true, [&](int, std::span<const StyleSpan> spans) {
        for (const StyleSpan& s : spans)
            starts.push_back(s.x0);
    });
    // Only the new square's edges: its left side, at column 40.
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts.front(), 40);
}

// The splitter hands every row out exactly once, never to two lanes at once, and the
// helper thread takes its share.
TEST(RowSplit, SplitterHandsOutEveryRowOnce)
{
    RowSplitter splitter;
    for (const auto& [first, end] :
        std::vector<std::pair<int, int>> { { 0, 400 }, { -37, 1043 }, { 5, 21 } }) {
        std::vector<std::atomic<int>> done(static_cast<std::size_t>(end - first));
        std::atomic<bool> helped = false;
        std::array<std::atomic<int>, RowSplitter::kLanes> inside {};
        std::atomic<bool> overlapped = false;
        splitter.run(first, end, [&](int lane, int from, int to) {
            if (inside[static_cast<std::size_t>(lane)]++ != 0)
                overlapped = true;
            if (lane == 1)
                helped = true;
            // The caller's first rows wait for the helper, so that both surely take part.
            if (lane == 0 && end - first >= 4 * RowSplitter::kChunk) {
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!helped && std::chrono::steady_clock::now() < until)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            for (int y = from; y < to; ++y)
                ++done[static_cast<std::size_t>(y - first)];
            --inside[static_cast<std::size_t>(lane)];
        });
        for (std::size_t i = 0; i < done.size(); ++i)
            ASSERT_EQ(done[i], 1) << "row " << first + int(i);
        EXPECT_FALSE(overlapped);
        if (end - first >= 4 * RowSplitter::kChunk) {
            EXPECT_TRUE(helped);
        }
    }
}

// A failure on either thread reaches the caller, and the splitter works on afterwards.
TEST(RowSplit, FailureOnEitherThreadReachesTheCaller)
{
    RowSplitter splitter;
    for (const int failing : { 0, 1 }) {
        std::atomic<bool> helped = false;
        EXPECT_THROW(splitter.run(0, 200,
                         [&](int lane, int, int) {
                             if (lane == 1)
                                 helped = true;
                             const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                             while (!helped && std::chrono::steady_clock::now() < until)
                                 std::this_thread::sleep_for(std::chrono::microseconds(200));
                             if (lane == failing)
                                 throw std::runtime_error("row failed");
                         }),
            std::runtime_error);
    }
    int rows = 0;
    splitter.run(0, 100, [&](int, int from, int to) { rows += to - from; });
    EXPECT_EQ(rows, 100);
}

// A stage crowded with large overlapping gradient and translucent fills, under a mask,
// drawn by one thread and by two: the very same pixels.
TEST(RowSplit, TwoThreadsDrawTheSamePixelsAsOne)
{
    Writer w(stageHeader(300, 220));
    w.setBackground({ 250, 250, 240 });
    for (uint16_t id = 1; id <= 6; ++id) {
        ShapeBuilder b;
        FillStyle fill;
        fill.kind = id % 2 ? FillStyle::Kind::RadialGradient : FillStyle::Kind::LinearGradient;
        fill.gradient.stops = { { 0, Rgba { uint8_t(id * 40), 30, 200, 255 } },
            { 120, Rgba { 20, uint8_t(id * 37), 90, 180 } },
            { 255, Rgba { 240, 200, uint8_t(id * 29), 90 } } };
        fill.gradient.matrix.a = fill.gradient.matrix.d = 0.004 * id;
        fill.gradient.matrix.b = 0.003;
        b.fill1(b.addFill(fill));
        b.fill0(b.addSolidFill({ 10, 160, 60, 128 }));
        b.circle({ 0, 0 }, (40 + 12 * id) * kTwips);
        w.defineShape(id, b.build());
    }
    ShapeBuilder maskShape;
    maskShape.fill1(maskShape.addSolidFill({ 0, 0, 0, 255 })).circle({ 0, 0 }, 95 * kTwips);
    w.defineShape(7, maskShape.build());
    PlaceObject mask = placeAt(1, 7, 170, 110);
    mask.clipDepth = 8;
    w.place(mask);
    for (uint16_t i = 0; i < 12; ++i) {
        PlaceObject place = placeAt(uint16_t(i + 2), uint16_t(i % 6 + 1), 20 + i * 23, 15 + i * 17 % 190);
        w.place(place);
    }
    w.showFrame();

    Stage stage(readBack(w));
    stage.start();
    const auto draw = [&](bool helper) {
        Renderer renderer;
        renderer.setHelperThread(helper);
        return renderStage(stage, { 300, 220 }, renderer);
    };
    const QImage one = draw(false);
    for (int run = 0; run < 5; ++run) {
        const QImage two = draw(true);
        ASSERT_EQ(two.size(), one.size());
        for (int y = 0; y < one.height(); ++y)
            ASSERT_EQ(
                std::memcmp(one.constScanLine(y), two.constScanLine(y), std::size_t(one.bytesPerLine())), 0)
                << "row " << y;
    }
}

} // namespace
} // namespace swf::test
