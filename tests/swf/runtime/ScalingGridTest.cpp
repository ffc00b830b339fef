#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/render/Renderer.h"

#include <gtest/gtest.h>

namespace swf::test {
namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

// DefineScalingGrid (78) for character 5, written from the format's layout: the id
// (05 00), then a RECT of 11-bit fields, xMin 200, xMax 600, yMin 200, yMax 600 twips:
// 01011 00011001000 01001011000 00011001000 01001011000, padded to a byte.
const std::vector<uint8_t> kGridOf5 = { 0x05, 0x00, 0x58, 0xc8, 0x4b, 0x03, 0x21, 0x2c, 0x00 };

// Sprite 5 is 40x40 px of black with a red square in its top left corner part (0-10), a
// blue one in its bottom right corner part (30-40) and a green one in its centre (15-25);
// its grid's lines lie at 10 and 30 px. It is placed at the origin scaled by `scaleX`
// across and drawn on a white stage of 100x50.
QImage drawGridSprite(double scaleX, const std::vector<uint8_t>& gridTag = kGridOf5)
{
    Writer w(stageHeader(100, 50));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 40, 40, { 0, 0, 0 }));
    w.defineShape(2, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    w.defineShape(3, filledRect(30, 30, 10, 10, { 0, 0, 255 }));
    w.defineShape(4, filledRect(15, 15, 10, 10, { 0, 255, 0 }));
    SpriteDefinition sprite;
    Frame frame;
    for (uint16_t id = 1; id <= 4; ++id)
        frame.tags.emplace_back(placeAt(id, id));
    sprite.timeline.frames.push_back(frame);
    w.defineSprite(5, sprite);
    if (!gridTag.empty())
        w.rawTag(78, gridTag);
    PlaceObject place = placeAt(1, 5);
    place.matrix->a = scaleX;
    w.place(place);
    w.showFrame();

    Stage stage(readBack(w));
    stage.start();
    Renderer renderer;
    renderer.setAntialiased(false);
    return renderStage(stage, { 100, 50 }, renderer);
}

TEST(ScalingGrid, StretchedCornersKeepTheirSizeAndTheCentreTakesTheRest)
{
    // Twice as wide: 80 px, of which the corners keep 10 each and the centre (20 px of
    // the sprite) takes 60, three times its width.
    const QImage image = drawGridSprite(2.0);
    EXPECT_EQ(pixel(image, 5, 5), kRed);
    EXPECT_EQ(pixel(image, 11, 5), kBlack) << "the corner did not stretch";
    EXPECT_EQ(pixel(image, 71, 35), kBlue);
    EXPECT_EQ(pixel(image, 69, 35), kBlack);
    EXPECT_EQ(pixel(image, 79, 35), kBlue) << "the sprite's bounds stay 80 px wide";
    EXPECT_EQ(pixel(image, 81, 35), kWhite);
    // The green square spans 15-25 of the sprite: 5 px into the centre, and 5 px short of
    // its end, so 25 to 55 on the stage.
    EXPECT_EQ(pixel(image, 24, 20), kBlack);
    EXPECT_EQ(pixel(image, 26, 20), kGreen);
    EXPECT_EQ(pixel(image, 54, 20), kGreen);
    EXPECT_EQ(pixel(image, 56, 20), kBlack);
    // Across the other axis the sprite is not scaled, and the parts stay where they were.
    EXPECT_EQ(pixel(image, 5, 11), kBlack);
    EXPECT_EQ(pixel(image, 71, 29), kBlack);
}

TEST(ScalingGrid, SquashedBelowItsCornersTheCornersShrinkAndTheCentreVanishes)
{
    // A quarter as wide: 10 px, less than the corners' 20; they share it, 5 px each.
    const QImage image = drawGridSprite(0.25);
    EXPECT_EQ(pixel(image, 2, 5), kRed);
    EXPECT_EQ(pixel(image, 7, 5), kBlack);
    EXPECT_EQ(pixel(image, 7, 35), kBlue);
    EXPECT_EQ(pixel(image, 2, 35), kBlack);
    for (int x = 0; x < 10; ++x)
        EXPECT_NE(pixel(image, x, 20), kGreen) << "x = " << x;
    EXPECT_EQ(pixel(image, 11, 20), kWhite);
}

TEST(ScalingGrid, WithoutAUsableGridTheSpriteScalesAsAWhole)
{
    const auto expectPlainScaling = [](const QImage& image) {
        EXPECT_EQ(pixel(image, 15, 5), kRed);
        EXPECT_EQ(pixel(image, 61, 35), kBlue);
        EXPECT_EQ(pixel(image, 31, 20), kGreen);
        EXPECT_EQ(pixel(image, 26, 20), kBlack);
    };
    expectPlainScaling(drawGridSprite(2.0, {}));
    // A grid reaching past the sprite's bounds (here 0 to 2000 twips across) is ignored.
    // RECT of 12-bit fields: xMin 0, xMax 2000, yMin 200, yMax 600.
    expectPlainScaling(drawGridSprite(2.0, { 0x05, 0x00, 0x60, 0x00, 0x3e, 0x80, 0x64, 0x12, 0xc0 }));
    // A grid for another character leaves this one alone.
    std::vector<uint8_t> other = kGridOf5;
    other[0] = 0x06;
    expectPlainScaling(drawGridSprite(2.0, other));
}

} // namespace
} // namespace swf::test
