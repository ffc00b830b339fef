// "I Want A Fat Baby": a round, cheerful baby bouncing on a warm background, waving both
// arms, blinking now and then, with hearts rising around it. Four seconds, looping.

#include "DemoKit.h"
#include "Movies.h"

#include "swf/format/Writer.h"

#include <cmath>
#include <numbers>
#include <optional>

namespace demos {
namespace {

constexpr int32_t kWidth = kStageWidth;
constexpr int32_t kHeight = kStageHeight;
constexpr int kRootFrames = 96;
constexpr int kBounceFrames = 24;

enum Id : uint16_t {
    Backdrop = 1,
    Heart,
    Hearts,
    Body,
    Diaper,
    Head,
    Ear,
    Hair,
    EyeOpen,
    EyeClosed,
    Eyes,
    Cheek,
    Mouth,
    Arm,
    WavingArm,
    Foot,
    Baby,
    Shadow,
};

const swf::Rgba kSkinLight { 255, 228, 202 };
const swf::Rgba kSkinDark { 240, 176, 142 };
const swf::Rgba kOutline { 196, 120, 96 };

swf::FillStyle skin(swf::Point centre, int32_t radius)
{
    // The light falls from the upper left.
    return radialGradient({ centre.x - radius / 3, centre.y - radius / 3 }, radius * 3 / 2,
        { { 0, kSkinLight }, { 180, { 250, 204, 172 } }, { 255, kSkinDark } });
}

swf::Shape backdrop()
{
    swf::ShapeBuilder b;
    b.fill1(b.addFill(radialGradient(
        { kWidth / 2, px(170) }, px(330), { { 0, { 255, 246, 226 } }, { 255, { 252, 202, 186 } } })));
    b.rectangle({ 0, kWidth, 0, kHeight });
    // A soft floor line for the baby to land on.
    b.line(b.addLine(px(2), { 232, 168, 150 }));
    b.fill1(0).moveTo(px(40), px(338)).curveTo(kWidth / 2, px(346), kWidth - px(40), px(338));
    return b.build();
}

swf::Shape heart()
{
    swf::ShapeBuilder b;
    b.fill1(b.addSolidFill({ 238, 86, 112 }));
    b.line(b.addLine(px(1.5), { 214, 60, 90 }));
    b.moveTo(0, px(18))
        .curveTo(px(-22), px(2), px(-20), px(-8))
        .curveTo(px(-18), px(-20), px(-8), px(-18))
        .curveTo(px(-2), px(-17), 0, px(-9))
        .curveTo(px(2), px(-17), px(8), px(-18))
        .curveTo(px(18), px(-20), px(20), px(-8))
        .curveTo(px(22), px(2), 0, px(18));
    return b.build();
}

// Three hearts rising and fading, a third of a cycle apart, so that the sprite loops
// without a seam.
swf::SpriteDefinition hearts()
{
    constexpr int kFrames = 48;
    FrameList frames(kFrames);
    const double lanes[] = { -170, 160, -120 };
    for (int h = 0; h < 3; ++h) {
        for (int f = 0; f < kFrames; ++f) {
            const double t = double((f + h * 16) % kFrames) / kFrames;
            const double x = lanes[h] + 12 * std::sin(t * 2 * std::numbers::pi);
            const double scale = 0.6 + 0.5 * t;
            const double alpha = t < 0.15 ? t / 0.15 : 1.0 - (t - 0.15) / 0.85;
            frames.add(f,
                animate(
                    f, uint16_t(h + 1), Heart, scaleAt(scale, scale, px(x), px(-40 - 150 * t)), fade(alpha)));
        }
    }
    return frames.sprite();
}

swf::Shape ellipseShape(swf::Point centre, int32_t rx, int32_t ry, const swf::FillStyle& fill,
    std::optional<swf::Rgba> outline = kOutline)
{
    swf::ShapeBuilder b;
    b.fill1(b.addFill(fill));
    if (outline)
        b.line(b.addLine(px(2), *outline));
    b.ellipse(centre, rx, ry);
    return b.build();
}

swf::Shape diaper()
{
    swf::ShapeBuilder b;
    b.fill1(b.addSolidFill({ 255, 255, 255 }));
    b.line(b.addLine(px(2), { 150, 190, 222 }));
    b.moveTo(px(-70), px(-40))
        .curveTo(0, px(-22), px(70), px(-40))
        .curveTo(px(66), px(-6), px(30), px(-2))
        .curveTo(0, px(4), px(-30), px(-2))
        .curveTo(px(-66), px(-6), px(-70), px(-40));
    return b.build();
}

swf::Shape hair()
{
    swf::ShapeBuilder b;
    b.line(b.addLine(px(4), { 140, 88, 52 }));
    b.moveTo(px(-4), px(-58))
        .curveTo(px(-10), px(-84), px(8), px(-82))
        .curveTo(px(22), px(-78), px(8), px(-66));
    return b.build();
}

swf::Shape eyeOpen()
{
    swf::ShapeBuilder b;
    const uint32_t pupil = b.addSolidFill({ 48, 36, 40 });
    const uint32_t shine = b.addSolidFill({ 255, 255, 255 });
    b.fill1(pupil).ellipse({ 0, 0 }, px(7), px(9));
    // The highlight is a hole in the pupil, filled white.
    b.fill0(pupil).fill1(shine).circle({ px(2.5), px(-3.5) }, px(2.5));
    return b.build();
}

swf::Shape eyeClosed()
{
    swf::ShapeBuilder b;
    b.line(b.addLine(px(3), { 48, 36, 40 }));
    b.moveTo(px(-8), px(1)).curveTo(0, px(-7), px(8), px(1));
    return b.build();
}

// Both eyes: open most of the time, a short blink every three seconds.
swf::SpriteDefinition eyes()
{
    constexpr int kFrames = 72;
    FrameList frames(kFrames);
    const int32_t left = px(-24), right = px(24);
    frames.add(0, placeNew(1, EyeOpen, translate(left, 0)));
    frames.add(0, placeNew(2, EyeOpen, translate(right, 0)));
    for (uint16_t depth : { uint16_t(1), uint16_t(2) }) {
        swf::PlaceObject shut = moveTo(depth, translate(depth == 1 ? left : right, 0));
        shut.characterId = EyeClosed;
        frames.add(64, shut);
        swf::PlaceObject open = shut;
        open.characterId = EyeOpen;
        frames.add(68, open);
    }
    return frames.sprite();
}

swf::Shape mouth()
{
    swf::ShapeBuilder b;
    b.fill1(b.addSolidFill({ 204, 72, 86 }));
    b.line(b.addLine(px(2), { 160, 50, 64 }));
    b.moveTo(px(-16), 0)
        .curveTo(0, px(4), px(16), 0)
        .curveTo(px(14), px(20), 0, px(21))
        .curveTo(px(-14), px(20), px(-16), 0);
    return b.build();
}

// An arm hangs from its shoulder at the origin.
swf::Shape arm()
{
    swf::ShapeBuilder b;
    b.fill1(b.addFill(skin({ 0, px(30) }, px(34))));
    b.line(b.addLine(px(2), kOutline));
    b.ellipse({ 0, px(28) }, px(15), px(32));
    return b.build();
}

swf::SpriteDefinition wavingArm()
{
    constexpr int kFrames = 24;
    FrameList frames(kFrames);
    for (int f = 0; f < kFrames; ++f) {
        const double angle = 35 + 40 * std::sin(2 * std::numbers::pi * f / kFrames);
        const swf::Matrix at = rotateAt(angle, 1.0, 0, 0);
        frames.add(f, animate(f, 1, Arm, at));
    }
    return frames.sprite();
}

// The whole baby, drawn around the middle of its bottom so that it squashes on the floor.
swf::SpriteDefinition baby()
{
    FrameList frames(1);
    uint16_t depth = 1;
    auto put = [&](uint16_t id, const swf::Matrix& at) { frames.add(0, placeNew(depth++, id, at)); };
    put(Foot, translate(px(-38), px(-10)));
    put(Foot, translate(px(38), px(-10)));
    put(WavingArm, translate(px(-58), px(-120)));
    put(WavingArm, swf::Matrix { -1, 0, 0, 1, px(58), px(-120) }); // mirrored
    put(Body, translate(0, px(-75)));
    put(Diaper, translate(0, 0));
    put(Ear, translate(px(-60), px(-195)));
    put(Ear, translate(px(60), px(-195)));
    put(Head, translate(0, px(-195)));
    put(Hair, translate(0, px(-195)));
    put(Eyes, translate(0, px(-205)));
    put(Cheek, translate(px(-40), px(-180)));
    put(Cheek, translate(px(40), px(-180)));
    put(Mouth, translate(0, px(-178)));
    return frames.sprite();
}

} // namespace

std::vector<uint8_t> makeFatBaby()
{
    swf::Writer w(stageHeader());
    w.setBackground({ 253, 226, 208 });

    w.defineShape(Backdrop, backdrop());
    w.defineShape(Heart, heart());
    w.defineSprite(Hearts, hearts());
    w.defineShape(Body, ellipseShape({ 0, 0 }, px(76), px(70), skin({ 0, 0 }, px(76))));
    w.defineShape(Diaper, diaper());
    w.defineShape(Head, ellipseShape({ 0, 0 }, px(64), px(60), skin({ 0, 0 }, px(64))));
    w.defineShape(Ear, ellipseShape({ 0, 0 }, px(14), px(16), skin({ 0, 0 }, px(14))));
    w.defineShape(Hair, hair());
    w.defineShape(EyeOpen, eyeOpen());
    w.defineShape(EyeClosed, eyeClosed());
    w.defineSprite(Eyes, eyes());
    swf::FillStyle blush;
    blush.color = { 250, 128, 140, 110 };
    w.defineShape(Cheek, ellipseShape({ 0, 0 }, px(13), px(8), blush, std::nullopt));
    w.defineShape(Mouth, mouth());
    w.defineShape(Arm, arm());
    w.defineSprite(WavingArm, wavingArm());
    w.defineShape(Foot, ellipseShape({ 0, 0 }, px(24), px(14), skin({ 0, 0 }, px(24))));
    w.defineSprite(Baby, baby());
    swf::FillStyle shadow;
    shadow.color = { 150, 90, 80, 70 };
    w.defineShape(Shadow, ellipseShape({ 0, 0 }, px(80), px(10), shadow, std::nullopt));

    const int32_t floor = px(340);
    for (int f = 0; f < kRootFrames; ++f) {
        // A bounce: high in the middle of each beat, squashed for a moment on the floor.
        const double phase = double(f % kBounceFrames) / kBounceFrames;
        const double height = std::sin(std::numbers::pi * phase);
        const bool landing = height < 0.2;
        const double sx = landing ? 1.08 : 1.0 - 0.03 * height;
        const double sy = landing ? 0.92 : 1.0 + 0.04 * height;
        const swf::Matrix babyAt = scaleAt(sx, sy, kWidth / 2, floor - px(46 * height));
        const double shadowScale = 1.0 - 0.35 * height;
        const swf::Matrix shadowAt = scaleAt(shadowScale, shadowScale, kWidth / 2, floor);
        if (f == 0) {
            w.place(placeNew(1, Backdrop, {}));
            w.place(placeNew(2, Shadow, shadowAt));
            w.place(placeNew(3, Baby, babyAt));
            w.place(placeNew(4, Hearts, translate(kWidth / 2, px(300))));
        } else {
            w.place(moveTo(2, shadowAt));
            w.place(moveTo(3, babyAt));
        }
        w.showFrame();
    }
    return w.finish(swf::Compression::Zlib);
}

} // namespace demos
