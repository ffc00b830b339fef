// "阴天": an overcast sky over dark hills, clouds drifting across, rain in two layers
// and ripples on the puddles. Fifteen seconds that loop without a seam: every moving thing
// comes back to where it started by the last frame.

#include "DemoKit.h"
#include "Movies.h"

#include "swf/format/Writer.h"

#include <array>
#include <cmath>
#include <initializer_list>
#include <optional>

namespace demos {
namespace {

constexpr int32_t kWidth = kStageWidth;
constexpr int32_t kHeight = kStageHeight;
constexpr int kRootFrames = 360;

enum Id : uint16_t {
    Sky = 1,
    Overcast,
    FarHills,
    NearGround,
    Puff,
    CloudA,
    CloudB,
    Drop,
    RainFar,
    RainNear,
    Ripple,
    RippleSprite,
};

swf::Shape sky()
{
    swf::ShapeBuilder b;
    const swf::Rect area { 0, kWidth, 0, kHeight };
    b.fill1(b.addFill(verticalGradient(
        area, { { 0, { 88, 96, 108 } }, { 150, { 140, 147, 156 } }, { 255, { 176, 181, 186 } } })));
    b.rectangle(area);
    return b.build();
}

// The low, even cloud cover that makes the day grey, with a ragged lower edge.
swf::Shape overcast()
{
    swf::ShapeBuilder b;
    b.fill1(b.addSolidFill({ 104, 111, 122, 230 }));
    b.moveTo(0, 0).lineTo(kWidth, 0).lineTo(kWidth, px(48));
    for (int i = 8; i > 0; --i) {
        const int32_t x = kWidth * (i - 1) / 8;
        const int32_t mid = x + kWidth / 16;
        b.curveTo(mid, px(i % 2 ? 78 : 66), x, px(i % 3 ? 50 : 58));
    }
    b.lineTo(0, 0);
    return b.build();
}

swf::Shape farHills()
{
    swf::ShapeBuilder b;
    b.fill1(b.addSolidFill({ 104, 114, 120 }));
    b.moveTo(0, px(250))
        .curveTo(px(70), px(200), px(150), px(235))
        .curveTo(px(230), px(270), px(320), px(215))
        .curveTo(px(420), px(165), px(520), px(230))
        .lineTo(kWidth, kHeight)
        .lineTo(0, kHeight)
        .lineTo(0, px(250));
    return b.build();
}

swf::Shape nearGround()
{
    swf::ShapeBuilder b;
    const uint32_t earth = b.addSolidFill({ 58, 66, 64 });
    const uint32_t puddle = b.addSolidFill({ 122, 132, 142 });
    b.fill1(earth);
    b.moveTo(0, px(300))
        .curveTo(px(130), px(280), px(260), px(298))
        .curveTo(px(400), px(316), px(520), px(292))
        .lineTo(kWidth, kHeight)
        .lineTo(0, kHeight)
        .lineTo(0, px(300));
    // The puddles are holes in the earth filled with the sky's grey: the outside of
    // each outline is earth, the inside is water.
    b.fill0(earth).fill1(puddle).ellipse({ px(150), px(345) }, px(70), px(14));
    b.fill0(earth).fill1(puddle).ellipse({ px(390), px(335) }, px(55), px(11));
    return b.build();
}

swf::Shape puff()
{
    swf::ShapeBuilder b;
    b.fill1(b.addFill(radialGradient({ 0, px(-16) }, px(62),
        { { 0, { 198, 202, 208 } }, { 200, { 152, 158, 167 } }, { 255, { 136, 143, 153 } } })));
    b.circle({ 0, 0 }, px(40));
    return b.build();
}

// A cloud is a handful of puffs of different sizes, lowest and smallest at the sides.
swf::SpriteDefinition cloud(std::initializer_list<std::array<double, 3>> puffs)
{
    FrameList frames(1);
    uint16_t depth = 1;
    for (const auto& [x, y, scale] : puffs)
        frames.add(0, placeNew(depth++, Puff, scaleAt(scale, scale * 0.85, px(x), px(y))));
    return frames.sprite();
}

swf::Shape drop()
{
    swf::ShapeBuilder b;
    b.line(b.addLine(px(1.5), { 205, 214, 228, 190 }));
    b.moveTo(0, 0).lineTo(px(-3), px(15));
    return b.build();
}

// Drops falling through a tile of the stage's size, wrapping at the bottom, so that the
// sprite's last frame leads straight into its first.
swf::SpriteDefinition rain(int dropCount, int frameCount, double scale, uint32_t seed)
{
    FrameList frames(frameCount);
    Dice dice(seed);
    for (int i = 0; i < dropCount; ++i) {
        const int32_t x = int32_t(dice.between(0, kWidth + px(40)));
        const double y0 = dice.between(0, kHeight);
        const uint16_t depth = uint16_t(i + 1);
        for (int f = 0; f < frameCount; ++f) {
            const int32_t y = int32_t(std::fmod(y0 + double(f) * kHeight / frameCount, kHeight)) - px(20);
            const swf::Matrix at = scaleAt(scale, scale, x - int32_t(f * px(0.6)), y);
            frames.add(f, animate(f, depth, Drop, at));
        }
    }
    return frames.sprite();
}

swf::Shape ripple()
{
    swf::ShapeBuilder b;
    b.line(b.addLine(px(1), { 214, 222, 232 }));
    b.ellipse({ 0, 0 }, px(12), px(3));
    return b.build();
}

swf::SpriteDefinition rippleSprite(int offset)
{
    constexpr int kFrames = 18;
    FrameList frames(kFrames);
    for (int f = 0; f < kFrames; ++f) {
        const double t = double((f + offset) % kFrames) / (kFrames - 1);
        const double scale = 0.3 + 1.7 * t;
        frames.add(f, animate(f, 1, Ripple, scaleAt(scale, scale, 0, 0), fade(1.0 - t)));
    }
    return frames.sprite();
}

} // namespace

std::vector<uint8_t> makeRainyDay()
{
    swf::Writer w(stageHeader());
    w.setBackground({ 150, 158, 168 });

    w.defineShape(Sky, sky());
    w.defineShape(Overcast, overcast());
    w.defineShape(FarHills, farHills());
    w.defineShape(NearGround, nearGround());
    w.defineShape(Puff, puff());
    w.defineSprite(CloudA,
        cloud({ { 0, 0, 1.0 }, { -55, 12, 0.75 }, { 60, 10, 0.8 }, { -100, 26, 0.5 }, { 105, 24, 0.55 },
            { 20, -22, 0.8 } }));
    w.defineSprite(CloudB,
        cloud({ { 0, 0, 0.9 }, { -48, 10, 0.7 }, { 50, 14, 0.65 }, { -20, -18, 0.7 }, { 90, 22, 0.45 } }));
    w.defineShape(Drop, drop());
    w.defineSprite(RainFar, rain(45, 16, 0.6, 7));
    w.defineSprite(RainNear, rain(24, 10, 1.25, 11));
    w.defineShape(Ripple, ripple());
    // Four ripple sprites, each starting at another point of the same ring's life.
    const uint16_t ripples[] = { RippleSprite, RippleSprite + 1, RippleSprite + 2, RippleSprite + 3 };
    for (int i = 0; i < 4; ++i)
        w.defineSprite(ripples[i], rippleSprite(i * 5));

    struct CloudTrack {
        uint16_t id;
        int32_t y;
        double start; // 0..1 of the way across
        double shade; // colour multiplier: the lower clouds are darker
    };
    const CloudTrack clouds[] = {
        { CloudA, px(70), 0.05, 1.0 },
        { CloudB, px(120), 0.45, 0.82 },
        { CloudA, px(165), 0.75, 0.7 },
    };
    const int32_t travel = kWidth + px(320); // off the right edge and in again from the left

    for (int f = 0; f < kRootFrames; ++f) {
        for (int c = 0; c < 3; ++c) {
            const double along = std::fmod(clouds[c].start + double(f) / kRootFrames, 1.0);
            const swf::Matrix at = translate(int32_t(along * travel) - px(160), clouds[c].y);
            const uint16_t depth = uint16_t(3 + c);
            std::optional<swf::ColorTransform> shade;
            if (f == 0) {
                shade.emplace();
                shade->rMul = shade->gMul = shade->bMul = int16_t(256 * clouds[c].shade);
            }
            w.place(animate(f, depth, clouds[c].id, at, shade));
        }
        if (f == 0) {
            w.place(placeNew(1, Sky, {}));
            w.place(placeNew(2, FarHills, {}));
            w.place(placeNew(13, Overcast, {}));
            w.place(placeNew(6, RainFar, {}));
            w.place(placeNew(7, NearGround, {}));
            const swf::Point spots[]
                = { { px(120), px(344) }, { px(178), px(348) }, { px(372), px(333) }, { px(410), px(338) } };
            for (int i = 0; i < 4; ++i)
                w.place(placeNew(uint16_t(8 + i), ripples[i], translate(spots[i].x, spots[i].y)));
            w.place(placeNew(12, RainNear, {}));
        }
        w.showFrame();
    }
    return w.finish(swf::Compression::Zlib);
}

} // namespace demos
