#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/format/Parser.h"
#include "swf/render/Renderer.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>

namespace swf::test {

Header stageHeader(int widthPx, int heightPx, double frameRate, uint8_t version)
{
    Header header;
    header.version = version;
    header.frameSize = Rect { 0, widthPx * kTwips, 0, heightPx * kTwips };
    header.frameRate = frameRate;
    return header;
}

Shape filledRect(int x, int y, int width, int height, Rgba color)
{
    ShapeBuilder builder;
    builder.fill1(builder.addSolidFill(color))
        .rectangle(Rect { x * kTwips, (x + width) * kTwips, y * kTwips, (y + height) * kTwips });
    return builder.build();
}

Matrix translation(int xPx, int yPx)
{
    Matrix m;
    m.tx = xPx * kTwips;
    m.ty = yPx * kTwips;
    return m;
}

PlaceObject placeAt(uint16_t depth, uint16_t characterId, int xPx, int yPx)
{
    PlaceObject place;
    place.depth = depth;
    place.characterId = characterId;
    place.matrix = translation(xPx, yPx);
    return place;
}

PlaceObject moveTo(uint16_t depth, int xPx, int yPx)
{
    PlaceObject place;
    place.depth = depth;
    place.move = true;
    place.matrix = translation(xPx, yPx);
    return place;
}

PlaceObject replaceWith(uint16_t depth, uint16_t characterId)
{
    PlaceObject place;
    place.depth = depth;
    place.move = true;
    place.characterId = characterId;
    return place;
}

RemoveObject removeAt(uint16_t depth)
{
    RemoveObject remove;
    remove.depth = depth;
    return remove;
}

std::vector<uint8_t> fileBytes(const Writer& writer, Compression compression)
{
    return writer.finish(compression);
}

QByteArray fileByteArray(const Writer& writer, Compression compression)
{
    const std::vector<uint8_t> bytes = writer.finish(compression);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::shared_ptr<const Movie> readBack(const Writer& writer)
{
    const std::vector<uint8_t> bytes = writer.finish(Compression::None);
    Result<Movie> movie = parseMovie(bytes);
    EXPECT_TRUE(movie.has_value()) << (movie ? "" : movie.error().message);
    if (!movie)
        return std::make_shared<const Movie>();
    EXPECT_TRUE(movie->warnings.empty()) << movie->warnings.front();
    return std::make_shared<const Movie>(std::move(*movie));
}

QImage renderStage(const Stage& stage, QSize size, Renderer& renderer)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    renderer.render(painter, stage, QRectF(image.rect()));
    return image;
}

QColor pixel(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return QColor(c.red(), c.green(), c.blue());
}

bool near(const QColor& actual, const QColor& expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance
        && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

} // namespace swf::test
