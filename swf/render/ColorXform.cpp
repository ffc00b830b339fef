#include "ColorXform.h"

#include <algorithm>

namespace swf {
namespace {

int channel(int value, int mul, int add)
{
    // Multiplying by mult/256 is a shift of the product, rounding towards minus infinity.
    return std::clamp(((value * mul) >> 8) + add, 0, 255);
}

void applyLevel(const ColorTransform& cx, std::array<int, 4>& c)
{
    c[0] = channel(c[0], cx.rMul, cx.rAdd);
    c[1] = channel(c[1], cx.gMul, cx.gAdd);
    c[2] = channel(c[2], cx.bMul, cx.bAdd);
    c[3] = channel(c[3], cx.aMul, cx.aAdd);
}

} // namespace

ColorXform ColorXform::from(const ColorTransform& cx)
{
    ColorXform x;
    if (cx != ColorTransform {})
        x.levels_.push_back(cx);
    return x;
}

ColorXform ColorXform::then(const ColorXform& outer) const
{
    ColorXform x = *this;
    x.levels_.insert(x.levels_.end(), outer.levels_.begin(), outer.levels_.end());
    return x;
}

void ColorXform::applyInPlace(std::array<int, 4>& rgba) const
{
    for (const ColorTransform& level : levels_)
        applyLevel(level, rgba);
}

Rgba ColorXform::applyRgba(Rgba color) const
{
    std::array<int, 4> c { color.r, color.g, color.b, color.a };
    applyInPlace(c);
    return Rgba { uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2]), uint8_t(c[3]) };
}

QColor ColorXform::apply(const Rgba& color) const
{
    const Rgba c = applyRgba(color);
    return QColor(c.r, c.g, c.b, c.a);
}

bool ColorXform::hidesEverything() const
{
    // Each level maps alpha monotonically, so the ends of the range bound what comes out.
    int low = 0;
    int high = 255;
    for (const ColorTransform& level : levels_) {
        const int a = channel(low, level.aMul, level.aAdd);
        const int b = channel(high, level.aMul, level.aAdd);
        low = std::min(a, b);
        high = std::max(a, b);
    }
    return high == 0;
}

} // namespace swf
