#include "DemoKit.h"

#include <cmath>
#include <numbers>

namespace demos {

// Gradients are defined on a square of 32768 twips centred on the origin.
constexpr double kGradientSquare = 32768.0;

swf::Header stageHeader()
{
    swf::Header header;
    header.version = 6;
    header.frameSize = { 0, kStageWidth, 0, kStageHeight };
    header.frameRate = 24;
    return header;
}

swf::Matrix translate(int32_t x, int32_t y)
{
    return swf::Matrix { 1, 0, 0, 1, x, y };
}

swf::Matrix scaleAt(double sx, double sy, int32_t x, int32_t y)
{
    return swf::Matrix { sx, 0, 0, sy, x, y };
}

swf::Matrix rotateAt(double degrees, double scale, int32_t x, int32_t y)
{
    const double r = degrees * std::numbers::pi / 180.0;
    return swf::Matrix { scale * std::cos(r), scale * std::sin(r), -scale * std::sin(r), scale * std::cos(r),
        x, y };
}

swf::FillStyle verticalGradient(const swf::Rect& area, std::vector<swf::GradientStop> stops)
{
    // Turn the gradient's x axis onto the screen's y axis and stretch it over the area.
    const double s = area.height() / kGradientSquare;
    swf::FillStyle fill;
    fill.kind = swf::FillStyle::Kind::LinearGradient;
    fill.gradient.matrix
        = swf::Matrix { 0, s, -s, 0, (area.xMin + area.xMax) / 2, (area.yMin + area.yMax) / 2 };
    fill.gradient.stops = std::move(stops);
    return fill;
}

swf::FillStyle radialGradient(swf::Point centre, int32_t radius, std::vector<swf::GradientStop> stops)
{
    const double s = 2.0 * radius / kGradientSquare;
    swf::FillStyle fill;
    fill.kind = swf::FillStyle::Kind::RadialGradient;
    fill.gradient.matrix = swf::Matrix { s, 0, 0, s, centre.x, centre.y };
    fill.gradient.stops = std::move(stops);
    return fill;
}

swf::PlaceObject placeNew(uint16_t depth, uint16_t characterId, const swf::Matrix& matrix)
{
    swf::PlaceObject place;
    place.depth = depth;
    place.characterId = characterId;
    place.matrix = matrix;
    return place;
}

swf::PlaceObject moveTo(uint16_t depth, const swf::Matrix& matrix)
{
    swf::PlaceObject place;
    place.depth = depth;
    place.move = true;
    place.matrix = matrix;
    return place;
}

swf::PlaceObject moveTo(uint16_t depth, const swf::Matrix& matrix, const swf::ColorTransform& colour)
{
    swf::PlaceObject place = moveTo(depth, matrix);
    place.colorTransform = colour;
    return place;
}

swf::ColorTransform fade(double alpha)
{
    swf::ColorTransform colour;
    colour.aMul = int16_t(std::lround(256 * alpha));
    return colour;
}

swf::PlaceObject animate(int frame, uint16_t depth, uint16_t characterId, const swf::Matrix& matrix,
    std::optional<swf::ColorTransform> colour)
{
    swf::PlaceObject place = frame == 0 ? placeNew(depth, characterId, matrix) : moveTo(depth, matrix);
    place.colorTransform = colour;
    return place;
}

swf::SpriteDefinition FrameList::sprite() const
{
    swf::SpriteDefinition sprite;
    sprite.declaredFrameCount = uint16_t(m_frames.size());
    sprite.timeline.frames = m_frames;
    return sprite;
}

double Dice::next()
{
    m_state = m_state * 1664525u + 1013904223u;
    return (m_state >> 8) / double(1u << 24);
}

} // namespace demos
