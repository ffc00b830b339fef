#include "ColorXform.h"

#include <algorithm>
#include <cmath>

namespace swf {

ColorXform ColorXform::from(const ColorTransform& cx)
{
    ColorXform x;
    x.mul = { cx.rMul / 256.f, cx.gMul / 256.f, cx.bMul / 256.f, cx.aMul / 256.f };
    x.add = { float(cx.rAdd), float(cx.gAdd), float(cx.bAdd), float(cx.aAdd) };
    return x;
}

ColorXform ColorXform::then(const ColorXform& outer) const
{
    ColorXform x;
    for (int i = 0; i < 4; ++i) {
        x.mul[i] = mul[i] * outer.mul[i];
        x.add[i] = add[i] * outer.mul[i] + outer.add[i];
    }
    return x;
}

QColor ColorXform::apply(const Rgba& color) const
{
    const auto channel = [this](int i, uint8_t value) {
        const float v = std::round(value * mul[i] + add[i]);
        return static_cast<int>(std::clamp(v, 0.f, 255.f));
    };
    return QColor(channel(0, color.r), channel(1, color.g), channel(2, color.b), channel(3, color.a));
}

bool ColorXform::isIdentity() const
{
    return mul == std::array<float, 4> { 1.f, 1.f, 1.f, 1.f }
    && add == std::array<float, 4> { 0.f, 0.f, 0.f, 0.f };
}

} // namespace swf
