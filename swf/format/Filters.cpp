#include "Filters.h"

#include "BitReader.h"
#include "Records.h"

#include <cmath>
#include <optional>

namespace swf {
namespace {

enum FilterId : uint8_t {
    kDropShadow = 0,
    kBlur = 1,
    kGlow = 2,
    kBevel = 3,
    kGradientGlow = 4,
    kConvolution = 5,
    kColorMatrix = 6,
    kGradientBevel = 7,
};

// A float field as a number a filter can use: NaN and infinities read as 0.
float finiteF32(BitReader& in)
{
    const float v = in.f32();
    return std::isfinite(v) ? v : 0.f;
}

void readBlur(BitReader& in, FilterBlur& blur)
{
    blur.x = in.fixed16();
    blur.y = in.fixed16();
}

// Angle, distance and strength, as the shadow kinds order them after the blur.
void readLight(BitReader& in, ShadowFilter& f)
{
    f.angle = in.fixed16();
    f.distance = in.fixed16();
    f.strength = in.fixed8();
}

// The flags byte of the drop shadow and glow: inner, knockout, composite source, then
// five bits of passes.
void readShadowFlags(BitReader& in, ShadowFilter& f)
{
    f.inner = in.ub(1);
    f.knockout = in.ub(1);
    f.hideObject = !in.ub(1);
    f.blur.passes = static_cast<int>(in.ub(5));
}

// The bevels' flags byte: the same, with on-top before four bits of passes.
void readBevelFlags(BitReader& in, ShadowFilter& f)
{
    f.inner = in.ub(1);
    f.knockout = in.ub(1);
    f.hideObject = !in.ub(1);
    f.onTop = in.ub(1);
    f.blur.passes = static_cast<int>(in.ub(4));
}

std::optional<Filter> readFilter(BitReader& in)
{
    const uint8_t id = in.u8();
    switch (id) {
    case kDropShadow:
    case kGlow: {
        ShadowFilter f;
        f.kind = id == kGlow ? ShadowFilter::Kind::Glow : ShadowFilter::Kind::DropShadow;
        f.color = readRgba(in);
        readBlur(in, f.blur);
        if (id == kDropShadow) {
            readLight(in, f);
        } else {
            f.strength = in.fixed8();
        }
        readShadowFlags(in, f);
        return f;
    }
    case kBlur: {
        BlurFilter f;
        readBlur(in, f.blur);
        f.blur.passes = static_cast<int>(in.ub(5));
        in.ub(3);
        return f;
    }
    case kBevel: {
        ShadowFilter f;
        f.kind = ShadowFilter::Kind::Bevel;
        // The highlight comes first, whatever the format's tables say: movies made by the
        // authoring tool store it so and the reference player reads it so.
        f.highlight = readRgba(in);
        f.color = readRgba(in);
        readBlur(in, f.blur);
        readLight(in, f);
        readBevelFlags(in, f);
        return f;
    }
    case kGradientGlow:
    case kGradientBevel: {
        ShadowFilter f;
        f.kind = id == kGradientGlow ? ShadowFilter::Kind::GradientGlow : ShadowFilter::Kind::GradientBevel;
        const unsigned count = in.u8();
        f.ramp.resize(count);
        for (GradientStop& stop : f.ramp)
            stop.color = readRgba(in);
        for (GradientStop& stop : f.ramp)
            stop.ratio = in.u8();
        readBlur(in, f.blur);
        readLight(in, f);
        readBevelFlags(in, f);
        return f;
    }
    case kConvolution: {
        ConvolutionFilter f;
        f.columns = in.u8();
        f.rows = in.u8();
        f.divisor = finiteF32(in);
        f.bias = finiteF32(in);
        const std::size_t cells = static_cast<std::size_t>(f.columns) * static_cast<std::size_t>(f.rows);
        if (in.remaining() < cells * 4)
            return std::nullopt;
        f.matrix.resize(cells);
        for (float& cell : f.matrix)
            cell = finiteF32(in);
        f.defaultColor = readRgba(in);
        in.ub(6);
        f.clamp = in.ub(1);
        f.preserveAlpha = in.ub(1);
        return f;
    }
    case kColorMatrix: {
        ColorMatrixFilter f;
        for (float& cell : f.matrix)
            cell = finiteF32(in);
        return f;
    }
    }
    return std::nullopt;
}

} // namespace

std::vector<Filter> readFilters(std::span<const uint8_t> list)
{
    BitReader in(list);
    const unsigned count = in.u8();
    std::vector<Filter> filters;
    for (unsigned i = 0; i < count && !in.overrun(); ++i) {
        std::optional<Filter> filter = readFilter(in);
        if (!filter || in.overrun())
            break;
        filters.push_back(std::move(*filter));
    }
    return filters;
}

} // namespace swf
