#include "Blend.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

// The mix of a backdrop colour `b` and a source colour `s` (both not premultiplied,
// 0..1) that each separable mode makes where both are opaque.
float mix(BlendMode mode, float b, float s)
{
    switch (mode) {
    case BlendMode::Multiply:
        return b * s;
    case BlendMode::Screen:
        return b + s - b * s;
    case BlendMode::Lighten:
        return std::max(b, s);
    case BlendMode::Darken:
        return std::min(b, s);
    case BlendMode::Difference:
        return std::abs(b - s);
    case BlendMode::Add:
        return std::min(1.f, b + s);
    case BlendMode::Subtract:
        return std::max(0.f, b - s);
    case BlendMode::Invert:
        return 1 - b;
    case BlendMode::Overlay: // hard light with backdrop and source swapped
        return b <= 0.5f ? 2 * s * b : 1 - 2 * (1 - s) * (1 - b);
    case BlendMode::Hardlight:
        return s <= 0.5f ? 2 * s * b : 1 - 2 * (1 - s) * (1 - b);
    default:
        return s;
    }
}

inline int byte(float v)
{
    return static_cast<int>(std::clamp(v * 255.f + 0.5f, 0.f, 255.f));
}

QRgb blendPixel(QRgb dst, QRgb src, BlendMode mode)
{
    const float sa = qAlpha(src) / 255.f;
    const float da = qAlpha(dst) / 255.f;
    if (mode == BlendMode::Alpha || mode == BlendMode::Erase) {
        // The layer below keeps its colours where the source is opaque (Alpha) or
        // transparent (Erase).
        const float keep = mode == BlendMode::Alpha ? sa : 1 - sa;
        return qRgba(byte(qRed(dst) / 255.f * keep), byte(qGreen(dst) / 255.f * keep),
            byte(qBlue(dst) / 255.f * keep), byte(da * keep));
    }
    // Premultiplied source over backdrop, where both meet their colours mixed by the mode:
    // c = s * (1 - da) + d * (1 - sa) + sa * da * mix(d / da, s / sa).
    const int alpha = byte(sa + da - sa * da);
    const auto channel = [&](int s8, int d8) {
        const float s = s8 / 255.f;
        const float d = d8 / 255.f;
        const float both = sa > 0 && da > 0 ? sa * da * mix(mode, d / da, s / sa) : 0;
        return std::min(byte(s * (1 - da) + d * (1 - sa) + both), alpha);
    };
    return qRgba(channel(qRed(src), qRed(dst)), channel(qGreen(src), qGreen(dst)),
        channel(qBlue(src), qBlue(dst)), alpha);
}

// x * a / 255 for each channel of a packed pixel, a in 0..255.
inline QRgb byteMul(QRgb x, uint32_t a)
{
    uint32_t t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080);
    x &= 0xff00ff00;
    return x | t;
}

} // namespace

BlendMode blendModeOf(uint8_t value)
{
    if (value < static_cast<uint8_t>(BlendMode::Normal) || value > static_cast<uint8_t>(BlendMode::Hardlight))
        return BlendMode::Normal;
    return static_cast<BlendMode>(value);
}

void blendRow(QRgb* dst, const QRgb* src, int count, BlendMode mode, const uint8_t* coverage)
{
    for (int i = 0; i < count; ++i) {
        const uint32_t k = coverage ? coverage[i] : 255;
        if (k == 0)
            continue;
        if (mode == BlendMode::Normal || mode == BlendMode::Layer) {
            const QRgb s = k == 255 ? src[i] : byteMul(src[i], k);
            if (s != 0)
                dst[i] = s + byteMul(dst[i], 255 - qAlpha(s));
            continue;
        }
        // Where the source is clear every mode leaves the layer below as it is, Alpha too:
        // a clear pixel draws nothing, so it has no alpha to lay on the layer.
        if (src[i] == 0)
            continue;
        const QRgb blended = blendPixel(dst[i], src[i], mode);
        // Where a mask lets part through, the part shows blended and the rest as it was.
        dst[i] = k == 255 ? blended : byteMul(blended, k) + byteMul(dst[i], 255 - k);
    }
}

} // namespace swf
