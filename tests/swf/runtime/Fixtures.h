#pragma once

#include "swf/format/Movie.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/format/Writer.h"

#include <QByteArray>
#include <QColor>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace swf {
class Renderer;
class Stage;
} // namespace swf

namespace swf::test {

constexpr int32_t kTwips = 20; // per pixel

// A stage of the given size in pixels.
Header stageHeader(int widthPx, int heightPx, double frameRate = 12.0, uint8_t version = 8);

// A shape that fills a rectangle (pixels) with one colour.
Shape filledRect(int x, int y, int width, int height, Rgba color);

// A fresh placement of a character, optionally translated (pixels).
PlaceObject placeAt(uint16_t depth, uint16_t characterId, int xPx = 0, int yPx = 0);
// A move of what stands at `depth` to a translation (pixels).
PlaceObject moveTo(uint16_t depth, int xPx, int yPx);
Matrix translation(int xPx, int yPx);
// A move that swaps the character at `depth`, naming nothing else.
PlaceObject replaceWith(uint16_t depth, uint16_t characterId);
RemoveObject removeAt(uint16_t depth);

// The file bytes of a writer's movie, and that movie read back the way the player reads it.
std::vector<uint8_t> fileBytes(const Writer& writer, Compression compression = Compression::None);
QByteArray fileByteArray(const Writer& writer, Compression compression = Compression::None);
std::shared_ptr<const Movie> readBack(const Writer& writer);

// The stage as `renderer` draws it into a fresh picture of `size`, filling it whole.
QImage renderStage(const Stage& stage, QSize size, Renderer& renderer);

// A pixel of an image as an opaque colour, for comparing with EXPECT_EQ.
QColor pixel(const QImage& image, int x, int y);
// True when each channel is within `tolerance` of the expected colour.
bool near(const QColor& actual, const QColor& expected, int tolerance = 8);

} // namespace swf::test
