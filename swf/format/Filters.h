#pragma once

#include "Shape.h"
#include "Types.h"

#include <array>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace swf {

// The blur every filter but the colour matrix and the convolution starts from: a box
// blur `passes` times over, sizes in pixels of the stage.
struct FilterBlur {
    double x = 0;
    double y = 0;
    int passes = 1;
};

// The shadow kinds: drop shadow, glow and bevel, and the gradient glow and bevel. A glow
// is a shadow at no distance; a bevel has a highlight on the side the light comes from
// and a shadow on the other. Gradient kinds colour the blurred alpha through a ramp.
struct ShadowFilter {
    enum class Kind : uint8_t { DropShadow, Glow, Bevel, GradientGlow, GradientBevel };
    Kind kind = Kind::DropShadow;
    Rgba color; // the shadow's or glow's colour; the bevel's shadow
    Rgba highlight; // bevels only
    std::vector<GradientStop> ramp; // gradient kinds only
    FilterBlur blur;
    double angle = 0; // radians, the direction the shadow falls
    double distance = 0; // stage pixels
    double strength = 1;
    bool inner = false;
    bool knockout = false;
    bool hideObject = false; // CompositeSource clear: only the effect shows
    bool onTop = false; // bevels: the effect over the object
};

struct BlurFilter {
    FilterBlur blur;
};

struct ColorMatrixFilter {
    std::array<float, 20> matrix {}; // rows R, G, B, A: four factors and an offset (0..255)
};

struct ConvolutionFilter {
    int columns = 0;
    int rows = 0;
    float divisor = 1;
    float bias = 0;
    std::vector<float> matrix; // columns * rows, row by row
    Rgba defaultColor;
    bool clamp = true;
    bool preserveAlpha = true;
};

using Filter = std::variant<ShadowFilter, BlurFilter, ColorMatrixFilter, ConvolutionFilter>;

// The filters of a FILTERLIST (count byte first, as PlaceObject3 keeps it), in order.
// Reading stops at the first filter that is cut short or of a kind not known.
std::vector<Filter> readFilters(std::span<const uint8_t> list);

} // namespace swf
