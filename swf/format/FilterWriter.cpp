#include "FilterWriter.h"

#include "BitWriter.h"

#include <algorithm>

namespace swf {
namespace {

void rgba(BitWriter& out, const Rgba& c)
{
    out.u8(c.r);
    out.u8(c.g);
    out.u8(c.b);
    out.u8(c.a);
}

double fixedRange(double v)
{
    return std::clamp(v, -32768.0, 32767.0);
}

void blurAndLight(BitWriter& out, const ShadowFilter& f, bool light)
{
    out.fixed16(fixedRange(f.blur.x));
    out.fixed16(fixedRange(f.blur.y));
    if (light) {
        out.fixed16(fixedRange(f.angle));
        out.fixed16(fixedRange(f.distance));
    }
    out.fixed8(std::clamp(f.strength, -128.0, 127.99));
}

void flags(BitWriter& out, const ShadowFilter& f, bool bevel)
{
    out.ub(f.inner, 1);
    out.ub(f.knockout, 1);
    out.ub(!f.hideObject, 1);
    if (bevel) {
        out.ub(f.onTop, 1);
        out.ub(uint32_t(std::clamp(f.blur.passes, 0, 15)), 4);
    } else {
        out.ub(uint32_t(std::clamp(f.blur.passes, 0, 31)), 5);
    }
}

void write(BitWriter& out, const ShadowFilter& f)
{
    using Kind = ShadowFilter::Kind;
    switch (f.kind) {
    case Kind::DropShadow:
    case Kind::Glow:
        out.u8(f.kind == Kind::Glow ? 2 : 0);
        rgba(out, f.color);
        blurAndLight(out, f, f.kind == Kind::DropShadow);
        flags(out, f, false);
        return;
    case Kind::Bevel:
        out.u8(3);
        rgba(out, f.highlight); // as the reader takes them
        rgba(out, f.color);
        blurAndLight(out, f, true);
        flags(out, f, true);
        return;
    case Kind::GradientGlow:
    case Kind::GradientBevel: {
        out.u8(f.kind == Kind::GradientGlow ? 4 : 7);
        const std::size_t count = std::min<std::size_t>(f.ramp.size(), 255);
        out.u8(uint8_t(count));
        for (std::size_t i = 0; i < count; ++i)
            rgba(out, f.ramp[i].color);
        for (std::size_t i = 0; i < count; ++i)
            out.u8(f.ramp[i].ratio);
        blurAndLight(out, f, true);
        flags(out, f, true);
        return;
    }
    }
}

void write(BitWriter& out, const BlurFilter& f)
{
    out.u8(1);
    out.fixed16(fixedRange(f.blur.x));
    out.fixed16(fixedRange(f.blur.y));
    out.ub(uint32_t(std::clamp(f.blur.passes, 0, 31)), 5);
    out.ub(0, 3);
}

void write(BitWriter& out, const ConvolutionFilter& f)
{
    out.u8(5);
    const int columns = std::clamp(f.columns, 0, 255);
    const int rows = std::clamp(f.rows, 0, 255);
    out.u8(uint8_t(columns));
    out.u8(uint8_t(rows));
    out.f32(f.divisor);
    out.f32(f.bias);
    for (std::size_t i = 0; i < std::size_t(columns * rows); ++i)
        out.f32(i < f.matrix.size() ? f.matrix[i] : 0.f);
    rgba(out, f.defaultColor);
    out.ub(0, 6);
    out.ub(f.clamp, 1);
    out.ub(f.preserveAlpha, 1);
}

void write(BitWriter& out, const ColorMatrixFilter& f)
{
    out.u8(6);
    for (float v : f.matrix)
        out.f32(v);
}

} // namespace

std::vector<uint8_t> writeFilters(std::span<const Filter> filters)
{
    BitWriter out;
    const std::size_t count = std::min<std::size_t>(filters.size(), 255);
    out.u8(uint8_t(count));
    for (std::size_t i = 0; i < count; ++i)
        std::visit([&](const auto& f) { write(out, f); }, filters[i]);
    return out.take();
}

} // namespace swf
