#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/render/Rasterizer.h"
#include "swf/render/Renderer.h"
#include "swf/render/BandPainter.h"
#include "swf/render/Blend.h"
#include "swf/render/Canvas.h"
#include "swf/render/PaintSource.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <set>
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
TEST(BandPaint, RowsSweptInPiecesMatchOneSweep)
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

        // Lanes that take every other band of 7 rows, as the painter deals them, skip the
        // other lane's rows and still give the same spans.
        Rasterizer::Lane even;
        Rasterizer::Lane odd;
        Rows banded;
        const auto intoBanded = [&](int y, std::span<const StyleSpan> spans) { record(banded, y, spans); };
        for (int band = first; band < end; band += 7)
            rasterizer.sweepRows((band - first) / 7 % 2 ? odd : even, band, band + 7, antialias, intoBanded);
        EXPECT_EQ(banded, whole) << (antialias ? "anti-aliased" : "aliased");
    }
}

// A style alone on its rows lays its edge pixels over what is there by the part it covers,
// with the painter's threads and without: worked out by hand for a rectangle whose sides
// cover three quarters and one half of their columns.
TEST(BandPaint, LoneStyleEdgesMixByCoverage)
{
    for (const bool threaded : { false, true }) {
        BandPainter painter;
        QImage image(32, 8, QImage::Format_ARGB32_Premultiplied);
        image.fill(0xffffffff);
        {
            Canvas canvas(image, true, threaded ? &painter : nullptr);
            Rasterizer& rasterizer = canvas.rasterizer(canvas.paintBox());
            QPainterPath rect;
            rect.addRect(10.25, 2, 10.25, 4); // columns 10.25 to 20.5, rows 2 to 5
            rasterizer.addPath(rect, QTransform(), 0);
            const SolidPaint paint(Rgba { 200, 100, 50, 255 });
            const PaintSource* paints[] = { &paint };
            canvas.paint(rasterizer, paints);
            canvas.finish();
        }
        const auto at = [&](int x, int y) { return image.pixel(x, y); };
        // Column 10, three quarters: each channel of 200, 100, 50, 255 times 0.75, rounded
        // (150, 75, 38, 191), over white, which keeps 255 - 191 = 64 of each channel.
        EXPECT_EQ(at(10, 3), qRgba(150 + 64, 75 + 64, 38 + 64, 255)) << threaded;
        // Column 20, a half: 100, 50, 25, 128 over white keeping 127.
        EXPECT_EQ(at(20, 3), qRgba(100 + 127, 50 + 127, 25 + 127, 255)) << threaded;
        EXPECT_EQ(at(15, 2), qRgba(200, 100, 50, 255)) << threaded;
        EXPECT_EQ(at(9, 3), 0xffffffffu) << threaded;
        EXPECT_EQ(at(21, 3), 0xffffffffu) << threaded;
        EXPECT_EQ(at(15, 1), 0xffffffffu) << threaded;
        EXPECT_EQ(at(15, 6), 0xffffffffu) << threaded;
    }
}

// A translucent style alone on its rows, over a background that changes from pixel to
// pixel, along spans of every length from 1 to 40 and with every kind of part coverage:
// each pixel is what the rule gives for its own coverage. A part-covered pixel takes each
// channel times the coverage, plus a half, truncated and kept within the alpha; a pixel
// covered whole (0.999 or more) takes the colour as it is; the result goes over the pixel,
// which keeps (255 - alpha) / 255 of itself, rounded.
TEST(BandPaint, LoneStyleSpansOfEveryLengthFollowThePixelRule)
{
    constexpr int kWidth = 64;
    constexpr int kRows = 40;
    const Rgba straight { 106, 165, 35, 170 };
    const QRgb color = premultiplied(straight);
    const auto background = [](int x, int y) {
        const int v = (x * 37 + y * 11) % 256;
        return qRgba(v, 255 - v, (v * 3) % 256, 255);
    };
    const auto drawing = [](Rasterizer& rasterizer) {
        // Row k is crossed by a sloping left side and a right side k + 1 pixels on, both
        // at fractions of a pixel that change from row to row.
        QPainterPath path;
        path.moveTo(3.3, 0);
        path.lineTo(3.3 + kRows + 1 + 0.37 * kRows, kRows);
        path.lineTo(2.1, kRows);
        path.closeSubpath();
        rasterizer.addPath(path, QTransform(), 0);
    };
    QImage image(kWidth + 40, kRows, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, background(x, y));
    {
        Canvas canvas(image, true);
        Rasterizer& rasterizer = canvas.rasterizer(canvas.paintBox());
        drawing(rasterizer);
        const SolidPaint paint(straight);
        const PaintSource* paints[] = { &paint };
        canvas.paint(rasterizer, paints);
    }

    const auto byteMul = [](int x, int a) {
        const int t = x * a;
        return (t + (t >> 8) + 0x80) >> 8;
    };
    Rasterizer reference(image.rect());
    drawing(reference);
    std::vector<int> lengths;
    int parts = 0;
    reference.sweep(true, [&](int y, std::span<const StyleSpan> spans) {
        ASSERT_EQ(spans.size(), 1u);
        const StyleSpan& s = spans.front();
        lengths.push_back(s.x1 - s.x0);
        for (int x = 0; x < image.width(); ++x) {
            const float c = x >= s.x0 && x < s.x1 ? s.coverage[x - s.x0] : 0.f;
            const QRgb under = background(x, y);
            int src[4] = { qRed(color), qGreen(color), qBlue(color), qAlpha(color) };
            if (c < 0.999f) {
                parts += c > 0;
                for (int& ch : src)
                    ch = static_cast<int>(std::clamp(ch * c + 0.5f, 0.f, 255.f));
                for (int k = 0; k < 3; ++k)
                    src[k] = std::min(src[k], src[3]);
            }
            const int keep = 255 - src[3];
            const QRgb want = qRgba(src[0] + byteMul(qRed(under), keep), src[1] + byteMul(qGreen(under), keep),
                src[2] + byteMul(qBlue(under), keep), src[3] + byteMul(qAlpha(under), keep));
            ASSERT_EQ(image.pixel(x, y), want) << "at " << x << ", " << y << " covered " << c;
        }
    });
    // The spans run through the lengths that fill whole groups of pixels and the ones that
    // leave some over.
    std::sort(lengths.begin(), lengths.end());
    EXPECT_LE(lengths.front(), 3);
    EXPECT_GE(lengths.back(), 40);
    EXPECT_GT(parts, 2 * kRows);
}

// A lane that swept rows of one drawing starts afresh on the next, even at the same row.
TEST(BandPaint, LaneStartsAfreshOnANewDrawing)
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

// Each band takes every job that reaches it once, with the job's rows within the band,
// in the order the jobs came, and past the ring of waiting jobs too; the painter's own
// threads paint, each as its own worker, and both take part.
TEST(BandPaint, EachBandTakesTheJobsThatReachItInOrder)
{
    using P = BandPainter;
    BandPainter painter;
    struct Run {
        int job, from, to, worker;
        std::thread::id thread;
    };
    // One thread paints a band at a time: each band's log needs no lock of its own.
    std::vector<std::vector<Run>> runs(P::kMaxBands);
    std::vector<std::pair<int, int>> rows;
    const int lastStart = (P::kMaxBands - 1) * P::kBand;
    std::mt19937 random(7);
    for (int job = 0; job < 5000; ++job) {
        int from = static_cast<int>(random() % 300);
        int to = from + 1 + static_cast<int>(random() % 70);
        if (job % 101 == 0) { // reaching past the last band's start
            from = lastStart - 5;
            to = lastStart + 500;
        }
        rows.push_back({ from, to });
        painter.submit(from, to, [&, job](int worker, int a, int b) {
            runs[static_cast<std::size_t>(P::bandOf(a))].push_back({ job, a, b, worker, std::this_thread::get_id() });
        });
        if (job == 2500)
            painter.waitFor(2000);
    }
    painter.finish();
    EXPECT_EQ(painter.finished(), 5000u);
    std::vector<std::size_t> seen(P::kMaxBands, 0);
    std::map<int, std::set<std::thread::id>> threadsOf;
    for (int job = 0; job < 5000; ++job) {
        const auto [from, to] = rows[static_cast<std::size_t>(job)];
        for (int band = P::bandOf(from); band <= P::bandOf(to - 1); ++band) {
            auto& log = runs[static_cast<std::size_t>(band)];
            std::size_t& at = seen[static_cast<std::size_t>(band)];
            ASSERT_LT(at, log.size()) << "job " << job << " band " << band;
            const Run& run = log[at++];
            ASSERT_EQ(run.job, job) << "band " << band;
            EXPECT_EQ(run.from, std::max(from, band * P::kBand));
            EXPECT_EQ(run.to, band == P::kMaxBands - 1 ? to : std::min(to, (band + 1) * P::kBand));
            ASSERT_GE(run.worker, 0);
            ASSERT_LT(run.worker, P::kThreads);
            EXPECT_NE(run.thread, std::this_thread::get_id());
            threadsOf[run.worker].insert(run.thread);
        }
    }
    for (int band = 0; band < P::kMaxBands; ++band)
        EXPECT_EQ(seen[static_cast<std::size_t>(band)], runs[static_cast<std::size_t>(band)].size()) << band;
    // Each worker is one thread, and the threads differ.
    ASSERT_EQ(threadsOf.size(), std::size_t(P::kThreads));
    EXPECT_EQ(threadsOf[0].size(), 1u);
    EXPECT_EQ(threadsOf[1].size(), 1u);
    EXPECT_NE(*threadsOf[0].begin(), *threadsOf[1].begin());
}

// While the caller waits, a thread held up on one of its bands does not hold up its other
// bands: the other thread paints them.
TEST(BandPaint, WhileTheCallerWaitsAThreadTakesTheOthersWaitingBands)
{
    using P = BandPainter;
    BandPainter painter;
    std::atomic<bool> laterDone = false;
    std::atomic<int> laterWorker = -1;
    bool heldUpInVain = false;
    // Bands 0 and 2 are the same thread's. The first job holds that thread until the job
    // on band 2 has run, which only the other thread can do meanwhile.
    painter.submit(0, P::kBand, [&](int, int, int) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!laterDone && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        heldUpInVain = !laterDone;
    });
    painter.submit(2 * P::kBand, 3 * P::kBand, [&](int worker, int, int) {
        laterWorker = worker;
        laterDone = true;
    });
    painter.finish();
    EXPECT_FALSE(heldUpInVain);
    EXPECT_EQ(laterWorker, 1);
}

// A failing job's error reaches finish(), once; the later jobs still run on every band,
// and the painter works on afterwards.
TEST(BandPaint, FailureReachesFinishAndThePainterGoesOn)
{
    BandPainter painter;
    const int rows = 3 * BandPainter::kBand;
    for (const int failing : { 0, 2 }) {
        std::atomic<int> after = 0;
        painter.submit(0, rows, [&](int, int from, int) {
            if (BandPainter::bandOf(from) == failing)
                throw std::runtime_error("fill failed");
        });
        painter.submit(0, rows, [&](int, int from, int to) { after += to - from; });
        EXPECT_THROW(painter.finish(), std::runtime_error);
        EXPECT_EQ(after, rows);
        EXPECT_NO_THROW(painter.finish());
    }
    std::atomic<int> runs = 0;
    painter.submit(5, 6, [&](int, int, int) { ++runs; });
    painter.finish();
    EXPECT_EQ(runs, 1);
}

// A stage crowded with large overlapping gradient and translucent fills, under a mask,
// with more small fills than the canvas lets wait for the painter, and clips drawn in
// layers of their own: drawn by one thread and by three, the very same pixels.
// A crowded frame: gradient circles under a mask, and many small shapes, some in layers
// that multiply with what lies under them.
std::shared_ptr<const Movie> crowdedMovie()
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
    // Many small shapes, some in layers that multiply with what lies under them.
    for (uint16_t i = 0; i < 700; ++i) {
        PlaceObject place = placeAt(uint16_t(i + 20), uint16_t(i % 6 + 1), i * 37 % 300, i * 53 % 220);
        place.matrix->a = place.matrix->d = 0.1 + (i % 7) * 0.03;
        if (i % 97 == 0)
            place.blendMode = uint8_t(BlendMode::Multiply);
        w.place(place);
    }
    w.showFrame();

    return readBack(w);
}

TEST(BandPaint, ThreadsDrawTheSamePixelsAsOne)
{
    Stage stage(crowdedMovie());
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

// A frame drawn straight into the painter's image, with the painter moved by whole pixels,
// is the frame drawn into a picture of its own and laid there: the same pixels in the
// target, nothing outside it touched, and an RGB32 image left opaque.
TEST(BandPaint, FrameDrawnStraightIntoTheImageMatchesOneLaidThere)
{
    Stage stage(crowdedMovie());
    stage.start();
    const QRgb marker = qRgb(1, 2, 3);
    const QRect target(0, 0, 300, 220);
    const QPoint offset(7, 5);
    const auto draw = [&](QImage::Format format, bool clipped) {
        QImage image(320, 240, format);
        image.fill(marker);
        Renderer renderer;
        QPainter painter(&image);
        painter.translate(offset);
        // A clip, even one that cuts nothing, makes the renderer lay a picture of its own.
        if (clipped)
            painter.setClipRect(QRect(-offset, image.size()));
        renderer.render(painter, stage, QRectF(target));
        painter.end();
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const QImage laid = draw(QImage::Format_ARGB32_Premultiplied, true);
    for (const QImage::Format format : { QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32 }) {
        const QImage direct = draw(format, false);
        for (int y = 0; y < laid.height(); ++y) {
            for (int x = 0; x < laid.width(); ++x) {
                const bool inside = target.translated(offset).contains(x, y);
                ASSERT_EQ(direct.pixel(x, y), laid.pixel(x, y)) << "format " << format << " at " << x << "," << y;
                ASSERT_EQ(direct.pixel(x, y) == marker, !inside) << x << "," << y;
                ASSERT_EQ(qAlpha(direct.pixel(x, y)), 255) << x << "," << y;
            }
        }
    }
}

} // namespace
} // namespace swf::test
