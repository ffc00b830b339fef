#include "HeavyMovie.h"

#include "swf/display/Stage.h"
#include "swf/format/Parser.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/format/Writer.h"
#include "swf/render/Renderer.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int32_t kTwips = 20;

swf::Rgba colour(int i)
{
    return { static_cast<uint8_t>(i * 37), static_cast<uint8_t>(i * 91), static_cast<uint8_t>(i * 53),
        static_cast<uint8_t>(128 + i % 128) };
}

// A mix of what movies of the era draw: solid rectangles, ellipses with outlines, and
// radial gradients, `count` of them spread over an 800x600 stage.
swf::Writer crowdedStage(int count, int frames)
{
    swf::Header header;
    header.frameSize = { 0, 800 * kTwips, 0, 600 * kTwips };
    header.frameRate = 24;
    swf::Writer w(header);
    w.setBackground({ 255, 255, 255 });
    for (uint16_t id = 1; id <= 30; ++id) {
        swf::ShapeBuilder b;
        if (id % 3 == 0) {
            swf::FillStyle fill;
            fill.kind = swf::FillStyle::Kind::RadialGradient;
            fill.gradient.stops = { { 0, colour(id) }, { 128, colour(id + 1) }, { 255, colour(id + 2) } };
            fill.gradient.matrix.a = fill.gradient.matrix.d = 0.1;
            b.fill1(b.addFill(fill)).circle({ 0, 0 }, 50 * kTwips);
        } else if (id % 3 == 1) {
            b.fill1(b.addSolidFill(colour(id)))
                .line(b.addLine(40, colour(id + 7)))
                .ellipse({ 0, 0 }, 60 * kTwips, 35 * kTwips);
        } else {
            b.fill1(b.addSolidFill(colour(id)))
                .rectangle({ -40 * kTwips, 40 * kTwips, -25 * kTwips, 25 * kTwips });
        }
        w.defineShape(id, b.build());
    }
    for (int frame = 0; frame < frames; ++frame) {
        for (int i = 0; i < count; ++i) {
            swf::PlaceObject place;
            place.depth = static_cast<uint16_t>(i + 1);
            place.move = frame > 0;
            if (frame == 0)
                place.characterId = static_cast<uint16_t>(i % 30 + 1);
            swf::Matrix m;
            m.a = m.d = 0.5 + (i % 7) * 0.1;
            m.b = (i % 5) * 0.05;
            m.tx = ((i * 97 + frame * 13) % 800) * kTwips;
            m.ty = ((i * 61 + frame * 7) % 600) * kTwips;
            place.matrix = m;
            w.place(place);
        }
        w.showFrame();
    }
    return w;
}

void renderFrame(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<uint8_t> file = crowdedStage(count, 1).finish(swf::Compression::None);
    auto movie = std::make_shared<const swf::Movie>(*swf::parseMovie(file));
    swf::Stage stage(movie);
    stage.start();
    swf::Renderer renderer;
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        renderer.render(painter, stage, QRectF(image.rect()));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(renderFrame)->Arg(100)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);

// The heavy vector animation: 600 gradient-filled shapes, all moving on every frame, each
// frame stepped and drawn at the given size, by one thread or with the renderer's helper
// thread (the third argument). The movie runs at 24 frames a second, so `realtime`
// (frames drawn per second of wall-clock time over 24) says how many times faster than
// the movie plays the engine keeps up.
void heavyAnimation(benchmark::State& state)
{
    const std::vector<uint8_t> file = bench::heavyVectorMovie(600, 48);
    auto movie = std::make_shared<const swf::Movie>(*swf::parseMovie(file));
    swf::Stage stage(movie);
    stage.start();
    swf::Renderer renderer;
    renderer.setHelperThread(state.range(2) != 0);
    QImage image(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_RGB32);
    for (auto _ : state) {
        stage.advance();
        QPainter painter(&image);
        renderer.render(painter, stage, QRectF(image.rect()));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["realtime"]
        = benchmark::Counter(static_cast<double>(state.iterations()) / 24, benchmark::Counter::kIsRate);
}

BENCHMARK(heavyAnimation)
    ->Args({ 550, 400, 0 })
    ->Args({ 550, 400, 1 })
    ->Args({ 1920, 1080, 0 })
    ->Args({ 1920, 1080, 1 })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void playFrames(benchmark::State& state)
{
    const std::vector<uint8_t> file = crowdedStage(300, 50).finish(swf::Compression::None);
    auto movie = std::make_shared<const swf::Movie>(*swf::parseMovie(file));
    swf::Stage stage(movie);
    stage.start();
    for (auto _ : state)
        stage.advance();
}

BENCHMARK(playFrames)->Unit(benchmark::kMicrosecond);

void parseLargeMovie(benchmark::State& state)
{
    // 300 objects moved on each of 400 frames: some 120 000 control tags.
    const auto compression = static_cast<swf::Compression>(state.range(0));
    const std::vector<uint8_t> file = crowdedStage(300, 400).finish(compression);
    for (auto _ : state) {
        auto movie = swf::parseMovie(file);
        benchmark::DoNotOptimize(movie);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
    state.counters["file_kB"] = static_cast<double>(file.size()) / 1024;
}

BENCHMARK(parseLargeMovie)
    ->Arg(static_cast<int>(swf::Compression::None))
    ->Arg(static_cast<int>(swf::Compression::Zlib))
    ->Unit(benchmark::kMillisecond);

} // namespace
