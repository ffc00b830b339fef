#include "PaintSource.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define ZORVA_AVX2_SHADE 1
#endif

namespace swf {
namespace {

constexpr double kGradientHalfSize = 16384.0;

#if defined(ZORVA_AVX2_SHADE)
bool hasAvx2()
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

// The table's colours at eight indices (all within it), the first `room` of them (at most
// eight) written to `out`.
__attribute__((target("avx2"))) inline void storeGathered(const QRgb* table, __m256i index, QRgb* out, int room)
{
    const __m256i colors = _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), index, 4);
    if (room >= 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), colors);
        return;
    }
    // The last few of a row: the columns past its end gave indices within the table all
    // the same, and their colours go nowhere.
    alignas(32) QRgb rest[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(rest), colors);
    std::copy(rest, rest + room, out);
}

// The linear gradient's loop of shade() eight pixels at a time, with its very arithmetic
// (in double precision, without fused multiply-adds).
__attribute__((target("avx2"))) void shadeLinearAvx2(
    const QRgb* table, double start, double step, int count, QRgb* out)
{
    const __m256d from = _mm256_set1_pd(start), by = _mm256_set1_pd(step);
    const __m256d low = _mm256_setzero_pd(), high = _mm256_set1_pd(255.0);
    const __m256d four = _mm256_set1_pd(4.0);
    __m256d k = _mm256_set_pd(3.0, 2.0, 1.0, 0.0); // column numbers, counted up exactly
    for (int i = 0; i < count; i += 8) {
        const __m256d t0 = _mm256_min_pd(_mm256_max_pd(_mm256_add_pd(from, _mm256_mul_pd(by, k)), low), high);
        k = _mm256_add_pd(k, four);
        const __m256d t1 = _mm256_min_pd(_mm256_max_pd(_mm256_add_pd(from, _mm256_mul_pd(by, k)), low), high);
        k = _mm256_add_pd(k, four);
        const __m256i index = _mm256_set_m128i(_mm256_cvttpd_epi32(t1), _mm256_cvttpd_epi32(t0));
        storeGathered(table, index, out + i, count - i);
    }
}

// The radial gradient's loop of shade() eight pixels at a time, with its very arithmetic.
__attribute__((target("avx2"))) void shadeRadialAvx2(
    const QRgb* table, float fx, float fy, float sx, float sy, int count, QRgb* out)
{
    const __m256 x0 = _mm256_set1_ps(fx), y0 = _mm256_set1_ps(fy);
    const __m256 dx = _mm256_set1_ps(sx), dy = _mm256_set1_ps(sy);
    const __m256 scale = _mm256_set1_ps(256.f), last = _mm256_set1_ps(255.f);
    const __m256i columns = _mm256_set_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    for (int i = 0; i < count; i += 8) {
        const __m256 k = _mm256_cvtepi32_ps(_mm256_add_epi32(_mm256_set1_epi32(i), columns));
        const __m256 px = _mm256_add_ps(x0, _mm256_mul_ps(dx, k));
        const __m256 py = _mm256_add_ps(y0, _mm256_mul_ps(dy, k));
        const __m256 t = _mm256_mul_ps(_mm256_sqrt_ps(_mm256_add_ps(_mm256_mul_ps(px, px), _mm256_mul_ps(py, py))), scale);
        const __m256i index = _mm256_cvttps_epi32(_mm256_min_ps(t, last));
        storeGathered(table, index, out + i, count - i);
    }
}
#endif

double toLinear(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double fromLinear(double c)
{
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

double spreadOut(double t, Gradient::Spread spread)
{
    switch (spread) {
    case Gradient::Spread::Repeat:
        return t - std::floor(t);
    case Gradient::Spread::Reflect: {
        double m = std::fmod(std::abs(t), 2.0);
        return m > 1 ? 2 - m : m;
    }
    case Gradient::Spread::Pad:
        break;
    }
    return std::clamp(t, 0.0, 1.0);
}

} // namespace

QRgb premultiplied(Rgba c)
{
    return qPremultiply(qRgba(c.r, c.g, c.b, c.a));
}

namespace {
constexpr double kMaxFocal = 0.98;
} // namespace

GradientPaint::GradientPaint(const FillStyle& style, const ColorXform& cx, const QTransform& toDevice)
    : GradientPaint(style, std::make_shared<const Table>(tableOf(style, cx)), toDevice)
{
}

GradientPaint::GradientPaint(const FillStyle& style, std::shared_ptr<const Table> table, const QTransform& toDevice)
    : kind_(style.kind)
    , spread_(style.gradient.spread)
    // The focal point stops short of the rim, where the colours would fold into a line.
    , focal_(std::clamp(style.gradient.focalPoint, -kMaxFocal, kMaxFocal))
    , table_(std::move(table))
{
    bool invertible = false;
    fromDevice_ = toDevice.inverted(&invertible);
    flat_ = !invertible || style.gradient.stops.size() < 2;
    if (kind_ != FillStyle::Kind::FocalRadialGradient)
        focal_ = 0;
}

GradientPaint::Table GradientPaint::tableOf(const FillStyle& style, const ColorXform& cx)
{
    Table table {};
    const Gradient& g = style.gradient;
    // The colours of the stops through the colour transform, then 256 steps between them.
    struct Stop {
        double position;
        std::array<double, 4> rgba;
    };
    std::vector<Stop> stops;
    const bool linear = g.interpolation == Gradient::Interpolation::Linear;
    for (const GradientStop& s : g.stops) {
        const Rgba c = cx.applyRgba(s.color);
        std::array<double, 4> v { c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0 };
        if (linear)
            for (int i = 0; i < 3; ++i)
                v[static_cast<std::size_t>(i)] = toLinear(v[static_cast<std::size_t>(i)]);
        stops.push_back({ s.ratio / 255.0, v });
    }
    if (stops.empty())
        return table;
    // The table is walked one entry at a time, and each entry moves on by at most one
    // stop: stops that share a ratio each colour one entry past it, in their order (the
    // first of them twice, the last not at all, as it only starts the next span), which
    // is how movies that stack stops show thin bands of colour there.
    std::size_t upper = 0; // the stop that ends the span the entry lies in
    for (std::size_t i = 0; i < table.size(); ++i) {
        const double t = double(i) / 255.0;
        if (upper < stops.size() && t > stops[upper].position + 1e-9)
            ++upper;
        std::array<double, 4> v;
        if (upper == 0)
            v = stops.front().rgba;
        else if (upper == stops.size())
            v = stops.back().rgba;
        else {
            const Stop& a = stops[upper - 1];
            const Stop& b = stops[upper];
            const double span = b.position - a.position;
            const double f = span > 0 ? std::clamp((t - a.position) / span, 0.0, 1.0) : 0.0;
            for (std::size_t c = 0; c < 4; ++c)
                v[c] = a.rgba[c] + (b.rgba[c] - a.rgba[c]) * f;
        }
        if (linear)
            for (std::size_t k = 0; k < 3; ++k)
                v[k] = fromLinear(v[k]);
        const auto byte = [](double c) { return static_cast<int>(std::clamp(c, 0.0, 1.0) * 255 + 0.5); };
        table[i] = qPremultiply(qRgba(byte(v[0]), byte(v[1]), byte(v[2]), byte(v[3])));
    }
    return table;
}

double GradientPaint::position(double gx, double gy) const
{
    gx /= kGradientHalfSize;
    gy /= kGradientHalfSize;
    if (kind_ == FillStyle::Kind::LinearGradient)
        return (gx + 1) / 2;
    if (focal_ == 0)
        return std::sqrt(gx * gx + gy * gy);
    // The point lies on the segment from the focal point to the rim, at this fraction.
    const double dx = gx - focal_;
    const double dy = gy;
    const double dd = dx * dx + dy * dy;
    if (dd < 1e-12)
        return 0;
    const double fd = focal_ * dx;
    const double ff = focal_ * focal_;
    const double s = (-fd + std::sqrt(std::max(0.0, fd * fd - dd * (ff - 1)))) / dd;
    return s > 0 ? 1 / s : 1;
}

void GradientPaint::shade(int x, int y, int count, QRgb* out) const
{
    const Table& table = *table_;
    if (flat_) {
        std::fill(out, out + count, table.back());
        return;
    }
    // A pixel takes the colour at its top-left corner, and a position of 0 to 1 spans the
    // table's 256 entries evenly (the end of the range falls into the last entry): the
    // reference player's stepping, which thin bands of stacked stops make plain to see.
    const double cx = x;
    const double cy = y;
    double gx = fromDevice_.m11() * cx + fromDevice_.m21() * cy + fromDevice_.dx();
    double gy = fromDevice_.m12() * cx + fromDevice_.m22() * cy + fromDevice_.dy();
    if (kind_ == FillStyle::Kind::LinearGradient && spread_ == Gradient::Spread::Pad) {
        // Along a row the position grows by the same step at every pixel.
        const double start = ((gx / kGradientHalfSize) + 1) / 2 * 256;
        const double step = fromDevice_.m11() / kGradientHalfSize / 2 * 256;
        int i = 0;
#if defined(ZORVA_AVX2_SHADE)
        if (hasAvx2()) {
            shadeLinearAvx2(table.data(), start, step, count, out);
            return;
        }
#endif
#if defined(__SSE2__)
        // Four pixels at a time, with the very arithmetic of the loop below.
        const __m128d from = _mm_set1_pd(start), by = _mm_set1_pd(step);
        const __m128d low = _mm_setzero_pd(), high = _mm_set1_pd(255.0);
        const __m128d four = _mm_set1_pd(4.0);
        // Column numbers as doubles, counted up exactly.
        __m128d k01 = _mm_set_pd(1.0, 0.0), k23 = _mm_set_pd(3.0, 2.0);
        alignas(16) int32_t index[4];
        for (; i + 4 <= count; i += 4) {
            const __m128d t01 = _mm_min_pd(_mm_max_pd(_mm_add_pd(from, _mm_mul_pd(by, k01)), low), high);
            const __m128d t23 = _mm_min_pd(_mm_max_pd(_mm_add_pd(from, _mm_mul_pd(by, k23)), low), high);
            _mm_store_si128(reinterpret_cast<__m128i*>(index),
                _mm_unpacklo_epi64(_mm_cvttpd_epi32(t01), _mm_cvttpd_epi32(t23)));
            out[i] = table[static_cast<std::size_t>(index[0])];
            out[i + 1] = table[static_cast<std::size_t>(index[1])];
            out[i + 2] = table[static_cast<std::size_t>(index[2])];
            out[i + 3] = table[static_cast<std::size_t>(index[3])];
            k01 = _mm_add_pd(k01, four);
            k23 = _mm_add_pd(k23, four);
        }
#endif
        for (; i < count; ++i) {
            const double t = std::clamp(start + step * i, 0.0, 255.0);
            out[i] = table[static_cast<std::size_t>(t)];
        }
        return;
    }
    if (kind_ == FillStyle::Kind::RadialGradient && spread_ == Gradient::Spread::Pad) {
        // The common radial kind, in single precision: the distance from the centre.
        const float fx = static_cast<float>(gx / kGradientHalfSize);
        const float fy = static_cast<float>(gy / kGradientHalfSize);
        const float sx = static_cast<float>(fromDevice_.m11() / kGradientHalfSize);
        const float sy = static_cast<float>(fromDevice_.m12() / kGradientHalfSize);
        int i = 0;
#if defined(ZORVA_AVX2_SHADE)
        if (hasAvx2()) {
            shadeRadialAvx2(table.data(), fx, fy, sx, sy, count, out);
            return;
        }
#endif
#if defined(__SSE2__)
        // Four pixels at a time, each from its own column number, as below.
        const __m128 x0 = _mm_set1_ps(fx), y0 = _mm_set1_ps(fy);
        const __m128 dx = _mm_set1_ps(sx), dy = _mm_set1_ps(sy);
        const __m128 scale = _mm_set1_ps(256.f), last = _mm_set1_ps(255.f);
        alignas(16) int32_t index[4];
        for (; i + 4 <= count; i += 4) {
            const __m128 k = _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(i), _mm_set_epi32(3, 2, 1, 0)));
            const __m128 px = _mm_add_ps(x0, _mm_mul_ps(dx, k));
            const __m128 py = _mm_add_ps(y0, _mm_mul_ps(dy, k));
            const __m128 t = _mm_mul_ps(_mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(px, px), _mm_mul_ps(py, py))), scale);
            _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_cvttps_epi32(_mm_min_ps(t, last)));
            out[i] = table[static_cast<std::size_t>(index[0])];
            out[i + 1] = table[static_cast<std::size_t>(index[1])];
            out[i + 2] = table[static_cast<std::size_t>(index[2])];
            out[i + 3] = table[static_cast<std::size_t>(index[3])];
        }
#endif
        for (; i < count; ++i) {
            const float px = fx + sx * float(i);
            const float py = fy + sy * float(i);
            const float t = std::sqrt(px * px + py * py) * 256;
            out[i] = table[t < 255 ? static_cast<std::size_t>(t) : 255];
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        const double t = spreadOut(position(gx, gy), spread_);
        const int index = std::isfinite(t) ? static_cast<int>(t * 256) : 255;
        out[i] = table[static_cast<std::size_t>(std::clamp(index, 0, 255))];
        gx += fromDevice_.m11();
        gy += fromDevice_.m12();
    }
}

BitmapPaint::BitmapPaint(std::shared_ptr<const QImage> image, const QTransform& toDevice, Wrap wrap,
    bool smooth, const ColorXform& cx)
    : image_(std::move(image))
    , wrap_(wrap)
    , smooth_(smooth)
    , cx_(cx)
{
    bool invertible = false;
    fromDevice_ = toDevice.inverted(&invertible);
    valid_ = invertible && image_ && !image_->isNull()
        && image_->format() == QImage::Format_ARGB32_Premultiplied;
}

QRgb BitmapPaint::texel(int u, int v) const
{
    const int w = image_->width();
    const int h = image_->height();
    if (wrap_ == Wrap::Repeat) {
        u %= w;
        v %= h;
        if (u < 0)
            u += w;
        if (v < 0)
            v += h;
    } else {
        u = std::clamp(u, 0, w - 1);
        v = std::clamp(v, 0, h - 1);
    }
    const QRgb p = reinterpret_cast<const QRgb*>(image_->constScanLine(v))[u];
    if (cx_.isIdentity())
        return p;
    const QRgb straight = qUnpremultiply(p);
    std::array<int, 4> c { qRed(straight), qGreen(straight), qBlue(straight), qAlpha(straight) };
    cx_.applyInPlace(c);
    return qPremultiply(qRgba(c[0], c[1], c[2], c[3]));
}

void BitmapPaint::shade(int x, int y, int count, QRgb* out) const
{
    if (!valid_) {
        std::fill(out, out + count, 0u);
        return;
    }
    // A pixel takes the colour at its top-left corner, and a position of 0 to 1 spans the
    // table's 256 entries evenly (the end of the range falls into the last entry): the
    // reference player's stepping, which thin bands of stacked stops make plain to see.
    const double cx = x;
    const double cy = y;
    double u = fromDevice_.m11() * cx + fromDevice_.m21() * cy + fromDevice_.dx();
    double v = fromDevice_.m12() * cx + fromDevice_.m22() * cy + fromDevice_.dy();
    constexpr double kFar = 1e9; // past this a coordinate says nothing more about the bitmap
    for (int i = 0; i < count; ++i) {
        const double cu = std::clamp(u, -kFar, kFar);
        const double cv = std::clamp(v, -kFar, kFar);
        if (!smooth_) {
            out[i] = texel(static_cast<int>(std::floor(cu)), static_cast<int>(std::floor(cv)));
        } else {
            const double fu = cu - 0.5;
            const double fv = cv - 0.5;
            const int u0 = static_cast<int>(std::floor(fu));
            const int v0 = static_cast<int>(std::floor(fv));
            // Weights in 1/256ths.
            const int wu = static_cast<int>((fu - u0) * 256);
            const int wv = static_cast<int>((fv - v0) * 256);
            const QRgb a = texel(u0, v0), b = texel(u0 + 1, v0), c = texel(u0, v0 + 1),
                       d = texel(u0 + 1, v0 + 1);
            const auto mix = [&](int shift) {
                const int top = ((a >> shift) & 0xFF) * (256 - wu) + ((b >> shift) & 0xFF) * wu;
                const int bottom = ((c >> shift) & 0xFF) * (256 - wu) + ((d >> shift) & 0xFF) * wu;
                return static_cast<QRgb>(((top * (256 - wv) + bottom * wv) >> 16) & 0xFF) << shift;
            };
            out[i] = mix(24) | mix(16) | mix(8) | mix(0);
        }
        u += fromDevice_.m11();
        v += fromDevice_.m12();
    }
}

} // namespace swf
