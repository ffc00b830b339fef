#include "FilterEffects.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

// One channel of a picture, 0..1, row by row.
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<float> v;

    Plane(int w, int h)
        : width(w)
        , height(h)
        , v(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0.f)
    {
    }
    float& at(int x, int y) { return v[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x]; }
    float get(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 0;
        return v[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x];
    }
};

// A box blur along one line of `count` values `stride` apart: each becomes the mean of
// the 2r + 1 values around it, those past the ends counting as 0.
void boxLine(float* line, int count, std::ptrdiff_t stride, int r, std::vector<float>& scratch)
{
    scratch.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        scratch[static_cast<std::size_t>(i)] = line[i * stride];
    const float scale = 1.f / float(2 * r + 1);
    float sum = 0;
    for (int i = 0; i < std::min(r, count); ++i)
        sum += scratch[static_cast<std::size_t>(i)];
    for (int i = 0; i < count; ++i) {
        if (i + r < count)
            sum += scratch[static_cast<std::size_t>(i + r)];
        if (i - r - 1 >= 0)
            sum -= scratch[static_cast<std::size_t>(i - r - 1)];
        line[i * stride] = std::max(0.f, sum * scale);
    }
}

void blur(Plane& p, int rx, int ry, int passes)
{
    std::vector<float> scratch;
    for (int pass = 0; pass < passes; ++pass) {
        if (rx > 0)
            for (int y = 0; y < p.height; ++y)
                boxLine(&p.at(0, y), p.width, 1, rx, scratch);
        if (ry > 0)
            for (int x = 0; x < p.width; ++x)
                boxLine(&p.at(x, 0), p.height, p.width, ry, scratch);
    }
}

Plane alphaOf(const QImage& image)
{
    Plane a(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            a.at(x, y) = qAlpha(row[x]) / 255.f;
    }
    return a;
}

// The plane moved by (dx, dy), blurred.
Plane shiftedBlur(const Plane& a, int dx, int dy, const FilterChain::Step& step, bool inverted)
{
    Plane out(a.width, a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const bool inside = x - dx >= 0 && y - dy >= 0 && x - dx < a.width && y - dy < a.height;
            const float v = a.get(x - dx, y - dy);
            // Inverted, the outside of the picture counts as empty space, all shadow-casting.
            out.at(x, y) = inverted ? (inside ? 1 - v : 1) : v;
        }
    blur(out, step.radiusX, step.radiusY, step.passes);
    return out;
}

inline float unit(int v)
{
    return v / 255.f;
}

inline int byte(float v)
{
    return static_cast<int>(std::clamp(v * 255.f + 0.5f, 0.f, 255.f));
}

struct Color4 {
    float r = 0, g = 0, b = 0, a = 0; // premultiplied
};

Color4 premultipliedOf(const Rgba& c, float alpha)
{
    const float a = unit(c.a) * alpha;
    return { unit(c.r) * a, unit(c.g) * a, unit(c.b) * a, a };
}

Color4 over(const Color4& top, const Color4& under)
{
    const float k = 1 - top.a;
    return { top.r + under.r * k, top.g + under.g * k, top.b + under.b * k, top.a + under.a * k };
}

Color4 scaled(const Color4& c, float k)
{
    return { c.r * k, c.g * k, c.b * k, c.a * k };
}

Color4 pixelOf(QRgb p)
{
    return { unit(qRed(p)), unit(qGreen(p)), unit(qBlue(p)), unit(qAlpha(p)) };
}

QRgb packed(const Color4& c)
{
    const int a = byte(c.a);
    return qRgba(std::min(byte(c.r), a), std::min(byte(c.g), a), std::min(byte(c.b), a), a);
}

// The colour of a gradient ramp at 0..1, premultiplied.
Color4 rampAt(const std::vector<GradientStop>& ramp, float t)
{
    if (ramp.empty())
        return {};
    const float at = t * 255;
    if (at <= ramp.front().ratio)
        return premultipliedOf(ramp.front().color, 1);
    for (std::size_t i = 1; i < ramp.size(); ++i) {
        if (at > ramp[i].ratio)
            continue;
        const GradientStop& a = ramp[i - 1];
        const GradientStop& b = ramp[i];
        const float span = float(b.ratio) - float(a.ratio);
        const float k = span > 0 ? (at - a.ratio) / span : 1;
        const auto lerp
            = [k](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * k)); };
        return premultipliedOf({ lerp(a.color.r, b.color.r), lerp(a.color.g, b.color.g),
                                   lerp(a.color.b, b.color.b), lerp(a.color.a, b.color.a) },
            1);
    }
    return premultipliedOf(ramp.back().color, 1);
}

void applyBlur(QImage& image, const FilterChain::Step& step)
{
    const int w = image.width();
    const int h = image.height();
    std::array<Plane, 4> planes { Plane(w, h), Plane(w, h), Plane(w, h), Plane(w, h) };
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            planes[0].at(x, y) = unit(qRed(row[x]));
            planes[1].at(x, y) = unit(qGreen(row[x]));
            planes[2].at(x, y) = unit(qBlue(row[x]));
            planes[3].at(x, y) = unit(qAlpha(row[x]));
        }
    }
    for (Plane& p : planes)
        blur(p, step.radiusX, step.radiusY, step.passes);
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x]
                = packed({ planes[0].at(x, y), planes[1].at(x, y), planes[2].at(x, y), planes[3].at(x, y) });
    }
}

// Drop shadows, glows, bevels and their gradient kinds: the object's alpha, moved and
// blurred, coloured, and laid with the object as the flags say.
void applyShadow(QImage& image, const ShadowFilter& f, const FilterChain::Step& step)
{
    using Kind = ShadowFilter::Kind;
    const bool bevel = f.kind == Kind::Bevel || f.kind == Kind::GradientBevel;
    const float strength = static_cast<float>(std::clamp(f.strength, 0.0, 255.0));
    const Plane alpha = alphaOf(image);
    // A shadow (and a bevel's dark side) falls along the angle; a bevel's light side and
    // an inner shadow's are cast by the object's outside.
    const Plane lit = shiftedBlur(alpha, step.dx, step.dy, step, f.inner && !bevel);
    const Plane away = bevel ? shiftedBlur(alpha, -step.dx, -step.dy, step, false) : Plane(0, 0);

    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const Color4 object = pixelOf(row[x]);
            const float a = object.a;
            Color4 effect;
            if (bevel) {
                // The light side shows where the object moved away from the light stands
                // out; the dark side the other way round.
                const float diff = (away.get(x, y) - lit.get(x, y)) * strength;
                if (f.kind == Kind::GradientBevel) {
                    effect = rampAt(f.ramp, std::clamp(0.5f + diff / 2, 0.f, 1.f));
                } else {
                    effect = diff >= 0 ? premultipliedOf(f.highlight, std::min(1.f, diff))
                                       : premultipliedOf(f.color, std::min(1.f, -diff));
                }
            } else {
                const float v = std::min(1.f, lit.get(x, y) * strength);
                effect = f.kind == Kind::GradientGlow ? (v > 0 ? rampAt(f.ramp, v) : Color4 {})
                                                      : premultipliedOf(f.color, v);
            }
            // An inner effect lies within the object; an outer bevel and a knocked-out
            // shadow lie outside it; a full bevel shows all round its edge.
            if (f.inner)
                effect = scaled(effect, a);
            else if ((bevel && !f.onTop) || f.knockout)
                effect = scaled(effect, 1 - a);
            Color4 out;
            if (f.knockout || f.hideObject)
                out = effect;
            else if (f.inner || f.onTop)
                out = over(effect, object);
            else
                out = over(object, effect);
            row[x] = packed(out);
        }
    }
}

void applyColorMatrix(QImage& image, const ColorMatrixFilter& f)
{
    const auto& m = f.matrix;
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // The matrix works on colours that are not premultiplied, 0..255.
            const QRgb p = qUnpremultiply(row[x]);
            const float in[4] = { float(qRed(p)), float(qGreen(p)), float(qBlue(p)), float(qAlpha(p)) };
            int out[4];
            for (int c = 0; c < 4; ++c) {
                const float* k = &m[static_cast<std::size_t>(c) * 5];
                const float v = k[0] * in[0] + k[1] * in[1] + k[2] * in[2] + k[3] * in[3] + k[4];
                out[c] = static_cast<int>(std::clamp(std::round(v), 0.f, 255.f));
            }
            row[x] = qPremultiply(qRgba(out[0], out[1], out[2], out[3]));
        }
    }
}

void applyConvolution(QImage& image, const ConvolutionFilter& f)
{
    if (f.columns <= 0 || f.rows <= 0 || f.matrix.size() != std::size_t(f.columns) * std::size_t(f.rows))
        return;
    const QImage source = image.copy();
    const int w = image.width();
    const int h = image.height();
    const float divisor = f.divisor != 0 ? f.divisor : 1;
    const QRgb fallback = qRgba(f.defaultColor.r, f.defaultColor.g, f.defaultColor.b, f.defaultColor.a);
    const auto at = [&](int x, int y) -> QRgb {
        if (x < 0 || y < 0 || x >= w || y >= h) {
            if (!f.clamp)
                return fallback;
            x = std::clamp(x, 0, w - 1);
            y = std::clamp(y, 0, h - 1);
        }
        return qUnpremultiply(reinterpret_cast<const QRgb*>(source.constScanLine(y))[x]);
    };
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            float sum[4] = { 0, 0, 0, 0 };
            for (int j = 0; j < f.rows; ++j)
                for (int i = 0; i < f.columns; ++i) {
                    const float k = f.matrix[static_cast<std::size_t>(j * f.columns + i)];
                    const QRgb p = at(x + i - f.columns / 2, y + j - f.rows / 2);
                    sum[0] += k * qRed(p);
                    sum[1] += k * qGreen(p);
                    sum[2] += k * qBlue(p);
                    sum[3] += k * qAlpha(p);
                }
            const auto channel = [&](float v) {
                return static_cast<int>(std::clamp(std::round(v / divisor + f.bias), 0.f, 255.f));
            };
            const int alpha = f.preserveAlpha ? qAlpha(at(x, y)) : channel(sum[3]);
            row[x] = qPremultiply(qRgba(channel(sum[0]), channel(sum[1]), channel(sum[2]), alpha));
        }
    }
}

} // namespace

FilterChain::FilterChain(std::span<const Filter> filters, double scale)
{
    if (!(scale > 0) || !std::isfinite(scale))
        return;
    const auto radius = [scale](double size) {
        // A pass of size N averages N pixels: N / 2 each side.
        const double pixels = std::clamp(size, 0.0, kMaxBlur) * scale;
        return static_cast<int>(std::clamp(std::floor(pixels / 2), 0.0, kMaxBlur * 4));
    };
    for (const Filter& filter : filters.first(std::min(filters.size(), kMaxFilters))) {
        Step step { filter };
        const FilterBlur* blur = nullptr;
        if (const auto* shadow = std::get_if<ShadowFilter>(&filter)) {
            blur = &shadow->blur;
            const double distance = std::clamp(shadow->distance, -kMaxBlur, kMaxBlur) * scale;
            const double angle = std::isfinite(shadow->angle) ? shadow->angle : 0;
            step.dx = static_cast<int>(std::lround(distance * std::cos(angle)));
            step.dy = static_cast<int>(std::lround(distance * std::sin(angle)));
        } else if (const auto* b = std::get_if<BlurFilter>(&filter)) {
            blur = &b->blur;
        } else if (const auto* c = std::get_if<ConvolutionFilter>(&filter)) {
            // Past 15 by 15 a kernel is more work than any picture of the era asked for.
            if (c->columns > 15 || c->rows > 15)
                continue;
        }
        if (blur) {
            step.radiusX = radius(blur->x);
            step.radiusY = radius(blur->y);
            step.passes = std::clamp(blur->passes, 0, kMaxPasses);
        }
        steps_.push_back(std::move(step));
    }
}

QMargins FilterChain::margins() const
{
    QMargins m;
    for (const Step& s : steps_) {
        const int x = s.radiusX * s.passes + std::abs(s.dx);
        const int y = s.radiusY * s.passes + std::abs(s.dy);
        m += QMargins(x, y, x, y);
    }
    return m;
}

double FilterChain::work(double pixels) const
{
    double passes = 0;
    for (const Step& s : steps_) {
        if (const auto* c = std::get_if<ConvolutionFilter>(&s.filter))
            passes += c->columns * c->rows;
        else
            passes += 4 + 8.0 * s.passes;
    }
    return pixels * passes;
}

void FilterChain::apply(QImage& image) const
{
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    for (const Step& step : steps_) {
        if (const auto* shadow = std::get_if<ShadowFilter>(&step.filter))
            applyShadow(image, *shadow, step);
        else if (std::holds_alternative<BlurFilter>(step.filter))
            applyBlur(image, step);
        else if (const auto* matrix = std::get_if<ColorMatrixFilter>(&step.filter))
            applyColorMatrix(image, *matrix);
        else if (const auto* convolution = std::get_if<ConvolutionFilter>(&step.filter))
            applyConvolution(image, *convolution);
    }
}

} // namespace swf
