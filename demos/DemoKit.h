#pragma once

// Small drawing and timeline helpers shared by the bundled movies. They only build the
// engine's model; swf::Writer turns it into a file.

#include "swf/format/Movie.h"
#include "swf/format/ShapeBuilder.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace demos {

constexpr int32_t kTwips = 20; // twips per pixel in a movie

constexpr int32_t px(double pixels)
{
    return int32_t(pixels * kTwips);
}

// Both movies share one stage: 520 x 380 pixels at 24 frames a second.
constexpr int32_t kStageWidth = px(520);
constexpr int32_t kStageHeight = px(380);
swf::Header stageHeader();

swf::Matrix translate(int32_t x, int32_t y);
swf::Matrix scaleAt(double sx, double sy, int32_t x, int32_t y);
swf::Matrix rotateAt(double degrees, double scale, int32_t x, int32_t y);

// A vertical linear gradient that runs from the top to the bottom of `area`.
swf::FillStyle verticalGradient(const swf::Rect& area, std::vector<swf::GradientStop> stops);
// A radial gradient of the given radius around `centre`.
swf::FillStyle radialGradient(swf::Point centre, int32_t radius, std::vector<swf::GradientStop> stops);

swf::PlaceObject placeNew(uint16_t depth, uint16_t characterId, const swf::Matrix& matrix);
swf::PlaceObject moveTo(uint16_t depth, const swf::Matrix& matrix);
swf::PlaceObject moveTo(uint16_t depth, const swf::Matrix& matrix, const swf::ColorTransform& colour);
swf::ColorTransform fade(double alpha);
// The tag of an animated object on frame `frame`: placed on the first frame, moved after.
swf::PlaceObject animate(int frame, uint16_t depth, uint16_t characterId, const swf::Matrix& matrix,
    std::optional<swf::ColorTransform> colour = std::nullopt); // alpha 0..1 multiplies every colour's alpha

// The frames of a sprite or of the root timeline, filled frame by frame.
class FrameList {
public:
    explicit FrameList(int count)
        : m_frames(size_t(count))
    {
    }
    void add(int frame, swf::ControlTag tag) { m_frames.at(size_t(frame)).tags.push_back(std::move(tag)); }
    int count() const { return int(m_frames.size()); }
    const std::vector<swf::Frame>& frames() const { return m_frames; }
    swf::SpriteDefinition sprite() const;

private:
    std::vector<swf::Frame> m_frames;
};

// A tiny deterministic generator, so that the movies come out the same on every build.
class Dice {
public:
    explicit Dice(uint32_t seed)
        : m_state(seed)
    {
    }
    double next(); // 0 <= x < 1
    double between(double low, double high) { return low + (high - low) * next(); }

private:
    uint32_t m_state;
};

} // namespace demos
