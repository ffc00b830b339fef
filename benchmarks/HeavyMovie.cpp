#include "HeavyMovie.h"

#include "swf/format/ShapeBuilder.h"
#include "swf/format/Writer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bench {
namespace {

constexpr int32_t kTwips = 20;
constexpr int kStageWidth = 550;
constexpr int kStageHeight = 400;
constexpr int kCharacters = 24;

swf::Rgba colour(int i, uint8_t alpha)
{
    return { static_cast<uint8_t>(40 + i * 37 % 200), static_cast<uint8_t>(30 + i * 91 % 210),
        static_cast<uint8_t>(50 + i * 53 % 190), alpha };
}

swf::FillStyle gradient(int id)
{
    swf::FillStyle fill;
    fill.kind = id % 2 ? swf::FillStyle::Kind::RadialGradient : swf::FillStyle::Kind::LinearGradient;
    fill.gradient.stops
        = { { 0, colour(id, 255) }, { 110, colour(id + 5, 220) }, { 255, colour(id + 11, 160) } };
    // The gradient square is 32768 twips wide; these shapes are 40 px across.
    fill.gradient.matrix.a = fill.gradient.matrix.d = 0.025;
    fill.gradient.matrix.b = id % 3 ? 0.02 : 0;
    return fill;
}

swf::Shape character(int id)
{
    swf::ShapeBuilder b;
    b.fill1(b.addFill(gradient(id)));
    const int32_t r = 20 * kTwips;
    switch (id % 3) {
    case 0:
        b.circle({ 0, 0 }, r);
        break;
    case 1: {
        // A box with rounded corners.
        const int32_t c = r / 3;
        b.moveTo(-r + c, -r)
            .lineTo(r - c, -r)
            .curveTo(r, -r, r, -r + c)
            .lineTo(r, r - c)
            .curveTo(r, r, r - c, r);
        b.lineTo(-r + c, r).curveTo(-r, r, -r, r - c).lineTo(-r, -r + c).curveTo(-r, -r, -r + c, -r);
        break;
    }
    default: {
        // A five-pointed star with curved sides.
        const int points = 5;
        b.moveTo(0, -r);
        for (int k = 1; k <= 2 * points; ++k) {
            const double angle = std::numbers::pi * k / points - std::numbers::pi / 2;
            const double radius = k % 2 ? r * 0.45 : r;
            const double mid = angle - std::numbers::pi / (2 * points);
            b.curveTo(static_cast<int32_t>(std::cos(mid) * r * 0.6),
                static_cast<int32_t>(std::sin(mid) * r * 0.6), static_cast<int32_t>(std::cos(angle) * radius),
                static_cast<int32_t>(std::sin(angle) * radius));
        }
        break;
    }
    }
    return b.build();
}

} // namespace

std::vector<uint8_t> heavyVectorMovie(int shapes, int frames)
{
    swf::Header header;
    header.version = 8;
    header.frameSize = { 0, kStageWidth * kTwips, 0, kStageHeight * kTwips };
    header.frameRate = 24;
    swf::Writer w(header);
    w.setBackground({ 255, 255, 255 });
    for (int id = 1; id <= kCharacters; ++id)
        w.defineShape(static_cast<uint16_t>(id), character(id));
    shapes = std::clamp(shapes, 1, 16000);
    for (int frame = 0; frame < frames; ++frame) {
        for (int i = 0; i < shapes; ++i) {
            swf::PlaceObject place;
            place.depth = static_cast<uint16_t>(i + 1);
            place.move = frame > 0;
            if (frame == 0)
                place.characterId = static_cast<uint16_t>(i % kCharacters + 1);
            // Each shape circles round its own centre, turning and breathing as it goes.
            const double t = frame / 24.0;
            const double scale = (0.33 + (i * 7 % 23) / 12.0) * (1 + 0.15 * std::sin(t * 3 + i));
            const double turn = t * (0.5 + i % 5 * 0.3) + i;
            const double cx = (i * 97 % kStageWidth) + 30 * std::cos(t * 2 + i * 0.7);
            const double cy = (i * 61 % kStageHeight) + 30 * std::sin(t * 2 + i * 0.7);
            swf::Matrix m;
            m.a = scale * std::cos(turn);
            m.b = scale * std::sin(turn);
            m.c = -m.b;
            m.d = m.a;
            m.tx = static_cast<int32_t>(cx * kTwips);
            m.ty = static_cast<int32_t>(cy * kTwips);
            place.matrix = m;
            w.place(place);
        }
        w.showFrame();
    }
    return w.finish(swf::Compression::Zlib);
}

} // namespace bench
