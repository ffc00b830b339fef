#include "Canvas.h"

#include "BandPainter.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace swf {
namespace {

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

// A premultiplied colour over the pixel.
inline void over(QRgb& dst, QRgb src)
{
    dst = src + byteMul(dst, 255 - qAlpha(src));
}

#if defined(__x86_64__) && defined(__GNUC__)
#define ZORVA_AVX2_BLEND 1
// x * a / 255 per 16-bit channel, rounded as byteMul() rounds.
__attribute__((target("avx2"))) inline __m256i mulAvx2(__m256i x, __m256i a)
{
    const __m256i t = _mm256_mullo_epi16(x, a);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), _mm256_set1_epi16(0x80)), 8);
}

// 255 minus each pixel's alpha, in its four 16-bit channels.
__attribute__((target("avx2"))) inline __m256i leftAvx2(__m256i x)
{
    return _mm256_sub_epi16(_mm256_set1_epi16(255), _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(x, 0xFF), 0xFF));
}

// over() on eight pixels at once: `src` over `dst`, where a clear source leaves the pixel.
__attribute__((target("avx2"))) inline __m256i over8Avx2(__m256i dst, __m256i src)
{
    const __m256i zero = _mm256_setzero_si256();
    // Unpacking and packing both work within each 128-bit half, so the pixels come back in
    // their order.
    const __m256i lo = mulAvx2(_mm256_unpacklo_epi8(dst, zero), leftAvx2(_mm256_unpacklo_epi8(src, zero)));
    const __m256i hi = mulAvx2(_mm256_unpackhi_epi8(dst, zero), leftAvx2(_mm256_unpackhi_epi8(src, zero)));
    const __m256i mixed = _mm256_add_epi32(src, _mm256_packus_epi16(lo, hi));
    const __m256i clear = _mm256_cmpeq_epi32(_mm256_srli_epi32(src, 24), zero);
    return _mm256_blendv_epi8(mixed, dst, clear);
}

bool hasAvx2()
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

// overRun()'s arithmetic eight pixels at a time; returns how many pixels it laid.
__attribute__((target("avx2"))) int overRunAvx2(QRgb* out, const QRgb* colors, int count)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i src = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colors + i));
        const __m256i dst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), over8Avx2(dst, src));
    }
    return i;
}

// One channel (at bit `shift`) of eight colours times their coverage, plus a half, within
// 0..255, truncated: a coverage of nothing (or not a number) gives nothing.
__attribute__((target("avx2"))) inline __m256i scaledAvx2(__m256i color, int shift, __m256 c)
{
    const __m256 v = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(color, shift), _mm256_set1_epi32(0xFF)));
    const __m256 r = _mm256_add_ps(_mm256_mul_ps(v, c), _mm256_set1_ps(0.5f));
    return _mm256_cvttps_epi32(_mm256_min_ps(_mm256_max_ps(r, _mm256_setzero_ps()), _mm256_set1_ps(255.f)));
}

// paintAlone() on eight pixels, with the very arithmetic of overRun() and overPart(): a
// pixel covered whole takes its colour as it is, one covered in part the colour scaled by
// its coverage, channel by channel, rounded and kept within its alpha.
__attribute__((target("avx2"))) inline __m256i paintAlone8Avx2(__m256i dst, __m256i color, __m256 c)
{
    const __m256 full = _mm256_cmp_ps(c, _mm256_set1_ps(0.999f), _CMP_GE_OQ);
    if (_mm256_movemask_ps(full) == 0xFF)
        return over8Avx2(dst, color);
    const __m256i alpha = scaledAvx2(color, 24, c);
    const __m256i red = _mm256_min_epi32(scaledAvx2(color, 16, c), alpha);
    const __m256i green = _mm256_min_epi32(scaledAvx2(color, 8, c), alpha);
    const __m256i blue = _mm256_min_epi32(scaledAvx2(color, 0, c), alpha);
    const __m256i part = _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi32(alpha, 24), _mm256_slli_epi32(red, 16)),
        _mm256_or_si256(_mm256_slli_epi32(green, 8), blue));
    return over8Avx2(dst, _mm256_blendv_epi8(part, color, _mm256_castps_si256(full)));
}

// paintAlone() on a whole span.
__attribute__((target("avx2"))) void paintAloneAvx2(QRgb* out, const QRgb* colors, const float* coverage, int count)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256 c = _mm256_loadu_ps(coverage + i);
        const __m256i color = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colors + i));
        const __m256i dst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), paintAlone8Avx2(dst, color, c));
    }
    if (i == count)
        return;
    // The last few pixels through a mask: nothing past the span is read or written.
    const __m256i mask
        = _mm256_cmpgt_epi32(_mm256_set1_epi32(count - i), _mm256_set_epi32(7, 6, 5, 4, 3, 2, 1, 0));
    const __m256 c = _mm256_maskload_ps(coverage + i, mask);
    const __m256i color = _mm256_maskload_epi32(reinterpret_cast<const int*>(colors + i), mask);
    const __m256i dst = _mm256_maskload_epi32(reinterpret_cast<const int*>(out + i), mask);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(out + i), mask, paintAlone8Avx2(dst, color, c));
}
#endif

// Lays `count` colours over the pixels they cover whole: an opaque colour replaces the
// pixel, a transparent one leaves it. Four or eight pixels at a time where the processor
// allows, with the very arithmetic of over(), so that the picture is the same either way.
void overRun(QRgb* out, const QRgb* colors, int count)
{
    int i = 0;
#if defined(ZORVA_AVX2_BLEND)
    if (hasAvx2())
        i = overRunAvx2(out, colors, count);
#endif
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    const __m128i half = _mm_set1_epi16(0x80);
    // x * a / 255 per 16-bit channel, rounded as byteMul() rounds.
    const auto mul = [&](__m128i x, __m128i a) {
        const __m128i t = _mm_mullo_epi16(x, a);
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
    };
    // Each pixel's alpha in its four channels.
    const auto alphas = [](__m128i x) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF); };
    for (; i + 4 <= count; i += 4) {
        const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colors + i));
        const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
        const __m128i lo
            = mul(_mm_unpacklo_epi8(dst, zero), _mm_sub_epi16(full, alphas(_mm_unpacklo_epi8(src, zero))));
        const __m128i hi
            = mul(_mm_unpackhi_epi8(dst, zero), _mm_sub_epi16(full, alphas(_mm_unpackhi_epi8(src, zero))));
        const __m128i mixed = _mm_add_epi32(src, _mm_packus_epi16(lo, hi));
        const __m128i clear = _mm_cmpeq_epi32(_mm_srli_epi32(src, 24), zero);
        const __m128i result = _mm_or_si128(_mm_and_si128(clear, dst), _mm_andnot_si128(clear, mixed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), result);
    }
#endif
    for (; i < count; ++i) {
        const uint32_t a = qAlpha(colors[i]);
        if (a == 255)
            out[i] = colors[i];
        else if (a != 0)
            over(out[i], colors[i]);
    }
}

// The end of the run of pixels from `i` that `coverage` covers whole (`i` when none).
int fullRunEnd(const float* coverage, int i, int n)
{
    int end = i;
#if defined(__SSE2__)
    const __m128 whole = _mm_set1_ps(0.999f);
    while (end + 4 <= n && _mm_movemask_ps(_mm_cmpge_ps(_mm_loadu_ps(coverage + end), whole)) == 0xF)
        end += 4;
#endif
    while (end < n && coverage[end] >= 0.999f)
        ++end;
    return end;
}

// Lays colours mixed by coverage (premultiplied channels, 0..255 each, in float) over the
// pixel, scaled by the clip's `k`.
inline void overMix(QRgb& dst, const std::array<float, 4>& m, float k)
{
    const auto byte = [k](float v) { return static_cast<int>(std::clamp(v * k + 0.5f, 0.f, 255.f)); };
    const int alpha = byte(m[3]);
    const QRgb src
        = qRgba(std::min(byte(m[0]), alpha), std::min(byte(m[1]), alpha), std::min(byte(m[2]), alpha), alpha);
    if (src != 0)
        over(dst, src);
}

// One colour over part of a pixel: the mix of a style alone there, with the same arithmetic.
inline void overPart(QRgb& dst, QRgb color, float c)
{
#if defined(__SSE2__)
    // The four channels at once: b, g, r, a in the register's order.
    const __m128i zero = _mm_setzero_si128();
    const __m128i wide = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(color)), zero), zero);
    __m128 v = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(wide), _mm_set1_ps(c)), _mm_set1_ps(0.5f));
    v = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255.f));
    __m128i bytes = _mm_cvttps_epi32(v);
    // No channel above alpha: min(x, a) = a - max(a - x, 0) on 32-bit lanes.
    const __m128i alpha = _mm_shuffle_epi32(bytes, 0xFF);
    const __m128i excess = _mm_sub_epi32(alpha, bytes);
    bytes = _mm_sub_epi32(alpha, _mm_and_si128(excess, _mm_cmpgt_epi32(excess, zero)));
    const QRgb src = static_cast<QRgb>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(bytes, zero), zero)));
    if (src != 0)
        over(dst, src);
#else
    overMix(dst, { qRed(color) * c, qGreen(color) * c, qBlue(color) * c, qAlpha(color) * c }, 1.f);
#endif
}

// A style alone on its row: its colours over the pixels, each as far as it covers them. The
// runs it covers whole are laid as overRun() lays them, the pixels it covers in part as
// overPart() does.
void paintAlone(QRgb* out, const QRgb* colors, const float* coverage, int n)
{
#if defined(ZORVA_AVX2_BLEND)
    if (hasAvx2()) {
        paintAloneAvx2(out, colors, coverage, n);
        return;
    }
#endif
    int i = 0;
    while (i < n) {
        const int end = fullRunEnd(coverage, i, n);
        if (end > i) {
            overRun(out + i, colors + i, end - i);
            i = end;
            continue;
        }
        if (coverage[i] > 0)
            overPart(out[i], colors[i], coverage[i]);
        ++i;
    }
}

} // namespace

QRect pixelsWithin(const QRectF& area, const QRect& within)
{
    if (!std::isfinite(area.x()) || !std::isfinite(area.y()) || !std::isfinite(area.width())
        || !std::isfinite(area.height()))
        return within;
    // Cut to the box first, so that the rounding to whole pixels stays within int.
    const QRectF cut = area.normalized().intersected(QRectF(within).adjusted(-2, -2, 2, 2));
    if (cut.isEmpty())
        return {};
    return cut.toAlignedRect().adjusted(-1, -1, 1, 1).intersected(within);
}

CoverageMask::CoverageMask(const QRect& r)
    : rect(r.isValid() ? r : QRect())
    , alpha(static_cast<std::size_t>(std::max(0, rect.width()))
              * static_cast<std::size_t>(std::max(0, rect.height())),
          0)
{
}

CoverageMask CoverageMask::intersect(const CoverageMask& a, const CoverageMask& b)
{
    CoverageMask out(a.rect.intersected(b.rect));
    for (int y = out.rect.top(); y <= out.rect.bottom(); ++y) {
        uint8_t* o = out.row(y);
        for (int x = out.rect.left(); x <= out.rect.right(); ++x)
            o[x - out.rect.left()] = static_cast<uint8_t>((a.at(x, y) * b.at(x, y) + 127) / 255);
    }
    return out;
}

Canvas::Memory::Memory()
    : lanes(BandPainter::kThreads + 1)
{
}

Canvas::Memory::~Memory() = default;

Canvas::Canvas(QImage& image, bool antialias, BandPainter* painter, Memory* memory)
    : image_(image)
    , antialias_(antialias)
    , painter_(painter)
    , bits_(image.bits())
    , bytesPerLine_(image.bytesPerLine())
    , ownMemory_(memory ? nullptr : std::make_unique<Memory>())
    , memory_(memory ? *memory : *ownMemory_)
{
}

Canvas::~Canvas()
{
    try {
        finish();
    } catch (...) {
        // The picture is incomplete; whoever wanted it whole called finish() themselves.
    }
    if (current_)
        memory_.spare.push_back(std::move(current_));
}

void Canvas::finish()
{
    if (!painter_ || unfinished_ == 0)
        return;
    painter_->waitFor(unfinished_ - 1);
    unfinished_ = 0;
    recycle();
    painter_->finish();
}

void Canvas::clear(QRgb color)
{
    const int width = image_.width();
    const int height = image_.height();
    const auto clearRows = [this, color, width](int, int from, int to) {
        for (int y = from; y < to; ++y)
            std::fill_n(line(y), width, color);
    };
    if (!painter_) {
        clearRows(0, 0, height);
        return;
    }
    unfinished_ = painter_->submit(0, height, clearRows) + 1;
}

void Canvas::recycle()
{
    if (painting_.empty())
        return;
    const uint64_t finished = painter_->finished();
    while (!painting_.empty() && painting_.front().first < finished) {
        memory_.spare.push_back(std::move(painting_.front().second));
        painting_.pop_front();
    }
}

QRect Canvas::paintBox() const
{
    QRect box = image_.rect();
    if (!clips_.empty())
        box = box.intersected(clips_.back()->rect);
    if (!building_.empty())
        box = box.intersected(building_.back()->rect);
    return box;
}

Rasterizer& Canvas::rasterizer(const QRect& box)
{
    if (!current_) {
        // Fills waiting for the painter hold their edges: keep their number bounded.
        constexpr std::size_t kMostWaiting = 512;
        recycle();
        if (painting_.size() >= kMostWaiting) {
            // Waiting for half of them, not just the first, spares a wake-up per fill.
            painter_->waitFor(painting_[painting_.size() / 2].first);
            recycle();
        }
        if (memory_.spare.empty()) {
            current_ = std::make_unique<Fill>();
        } else {
            current_ = std::move(memory_.spare.back());
            memory_.spare.pop_back();
        }
    }
    current_->raster.reset(box);
    return current_->raster;
}

void Canvas::paint(Rasterizer& rasterizer, std::span<const PaintSource* const> paints)
{
    rasterizer.prepare();
    const int first = rasterizer.firstRow();
    const int end = rasterizer.endRow();
    if (first >= end)
        return;
    Lane& own = memory_.lanes.back();
    if (!building_.empty()) {
        rasterizer.sweepRows(own.sweep, first, end, antialias_,
            [&](int y, std::span<const StyleSpan> spans) { maskRow(own, y, spans); });
        return;
    }
    if (!painter_ || !current_ || &rasterizer != &current_->raster) {
        finish(); // what the painter has been given lies under this
        rasterizer.sweepRows(own.sweep, first, end, antialias_,
            [&](int y, std::span<const StyleSpan> spans) { paintRow(own, y, spans, paints, clip()); });
        return;
    }
    // The painter's threads take the fill from here: it keeps copies of its paints, and
    // the clip as it is now.
    Fill& fill = *current_;
    fill.paints.clear();
    fill.view.clear();
    for (const PaintSource* paint : paints) {
        fill.paints.push_back(paint ? paint->clone() : nullptr);
        fill.view.push_back(fill.paints.back().get());
    }
    fill.clip = clips_.empty() ? nullptr : clips_.back();
    const Fill* job = &fill;
    const uint64_t number = painter_->submit(first, end, [this, job](int worker, int from, int to) {
        paintRows(memory_.lanes[static_cast<std::size_t>(worker)], *job, from, to);
    });
    painting_.emplace_back(number, std::move(current_));
    unfinished_ = number + 1;
}

void Canvas::paintRows(Lane& lane, const Fill& fill, int from, int to)
{
    fill.raster.sweepRows(lane.sweep, from, to, antialias_, [&](int y, std::span<const StyleSpan> spans) {
        paintRow(lane, y, spans, fill.view, fill.clip.get());
    });
}

void Canvas::paintRow(Lane& lane, int y, std::span<const StyleSpan> spans,
    std::span<const PaintSource* const> paints, const CoverageMask* clip)
{
    const std::size_t width = static_cast<std::size_t>(image_.width());
    if (lane.stamps.size() < width) {
        lane.stamps.assign(width, 0);
        lane.mix.resize(width);
    }
    if (++lane.stamp == 0) { // the stamps wrapped around: start them afresh
        std::fill(lane.stamps.begin(), lane.stamps.end(), 0);
        lane.stamp = 1;
    }
    lane.touched.clear();
    QRgb* line = this->line(y);
    prefetchBelow(y, spans);
    const uint8_t* clipRow
        = clip && clip->rect.top() <= y && y <= clip->rect.bottom() ? clip->row(y) : nullptr;
    const auto clipAt = [&](int x) -> uint32_t {
        if (!clip)
            return 255;
        if (!clipRow || x < clip->rect.left() || x > clip->rect.right())
            return 0;
        return clipRow[x - clip->rect.left()];
    };

    // Part of a pixel: the styles sharing it are mixed first, by coverage, so that
    // together they cover it whole where their edges meet.
    const auto mixIn = [&](int x, QRgb color, float c) {
        std::array<float, 4>& m = lane.mix[static_cast<std::size_t>(x)];
        if (lane.stamps[static_cast<std::size_t>(x)] != lane.stamp) {
            lane.stamps[static_cast<std::size_t>(x)] = lane.stamp;
            m = { 0, 0, 0, 0 };
            lane.touched.push_back(x);
        }
        m[0] += qRed(color) * c;
        m[1] += qGreen(color) * c;
        m[2] += qBlue(color) * c;
        m[3] += qAlpha(color) * c;
    };
    for (const StyleSpan& s : spans) {
        if (s.style < 0 || static_cast<std::size_t>(s.style) >= paints.size()
            || !paints[static_cast<std::size_t>(s.style)])
            continue;
        const PaintSource& paint = *paints[static_cast<std::size_t>(s.style)];
        const int n = s.x1 - s.x0;
        QRgb one = 0;
        const bool solid = paint.solid(one);
        if (!solid) {
            if (lane.shade.size() < static_cast<std::size_t>(n))
                lane.shade.resize(static_cast<std::size_t>(n));
            paint.shade(s.x0, y, n, lane.shade.data());
        }
        const float* coverage = s.coverage;
        QRgb* out = line + s.x0;
        if (!clip) {
            // No clip: the common case, kept free of per-pixel tests of the clip. The
            // pixels the style covers whole come in runs, laid down together.
            if (solid) {
                if (lane.shade.size() < static_cast<std::size_t>(n))
                    lane.shade.resize(static_cast<std::size_t>(n));
                std::fill(lane.shade.begin(), lane.shade.begin() + n, one);
            }
            const QRgb* colors = lane.shade.data();
            // A style alone on its row has no partner to mix with at its edges.
            if (spans.size() == 1) {
                paintAlone(out, colors, coverage, n);
                continue;
            }
            for (int i = 0; i < n;) {
                const int end = fullRunEnd(coverage, i, n);
                if (end > i) {
                    overRun(out + i, colors + i, end - i);
                    i = end;
                    continue;
                }
                if (coverage[i] > 0)
                    mixIn(s.x0 + i, colors[i], coverage[i]);
                ++i;
            }
            continue;
        }
        for (int i = 0; i < n; ++i) {
            const float c = coverage[i];
            if (c <= 0)
                continue;
            const int x = s.x0 + i;
            const uint32_t k = clipAt(x);
            if (k == 0)
                continue;
            const QRgb color = solid ? one : lane.shade[static_cast<std::size_t>(i)];
            if (c >= 0.999f) {
                // The style alone covers the pixel.
                if (k == 255 && qAlpha(color) == 255)
                    out[i] = color;
                else
                    over(out[i], k == 255 ? color : byteMul(color, k));
                continue;
            }
            mixIn(x, color, c);
        }
    }
    for (int x : lane.touched) {
        const std::array<float, 4>& m = lane.mix[static_cast<std::size_t>(x)];
        overMix(line[x], m, clipAt(x) / 255.f);
    }
}

void Canvas::prefetchBelow(int y, std::span<const StyleSpan> spans) const
{
#if defined(__SSE2__)
    // A fill's next row most likely covers about the columns this one does. Asking for them
    // now lets memory fetch them while this row is painted and the next one swept: on a big
    // picture, waiting for the pixels under a fill otherwise takes a fair share of the time.
    if (spans.empty() || y + 1 >= image_.height())
        return;
    int from = spans.front().x0;
    int to = spans.front().x1;
    for (const StyleSpan& s : spans) {
        from = std::min(from, s.x0);
        to = std::max(to, s.x1);
    }
    const char* below = reinterpret_cast<const char*>(line(y + 1));
    constexpr int kLine = 64;
    for (int offset = from * 4 & ~(kLine - 1); offset < to * 4; offset += kLine)
        _mm_prefetch(below + offset, _MM_HINT_T0);
#else
    (void)y;
    (void)spans;
#endif
}

void Canvas::maskRow(Lane& lane, int y, std::span<const StyleSpan> spans)
{
    CoverageMask& mask = *building_.back();
    if (y < mask.rect.top() || y > mask.rect.bottom())
        return;
    const int x0 = mask.rect.left();
    const int x1 = mask.rect.right() + 1;
    const std::size_t width = static_cast<std::size_t>(x1 - x0);
    std::vector<float>& sum = lane.maskSum;
    if (sum.size() < width)
        sum.resize(width);
    std::fill(sum.begin(), sum.begin() + static_cast<std::ptrdiff_t>(width), 0.f);
    int from = x1;
    int to = x0;
    for (const StyleSpan& s : spans) {
        const int a = std::max(s.x0, x0);
        const int b = std::min(s.x1, x1);
        for (int x = a; x < b; ++x)
            sum[static_cast<std::size_t>(x - x0)] += s.coverage[x - s.x0];
        from = std::min(from, a);
        to = std::max(to, b);
    }
    const CoverageMask* clip = this->clip();
    uint8_t* row = mask.row(y);
    for (int x = from; x < to; ++x) {
        const float c = sum[static_cast<std::size_t>(x - x0)];
        if (clip && clip->at(x, y) < 128)
            continue;
        // A mask's edge is sharp, as in the original player: a pixel is in when the mask
        // covers at least half of it. Parts of a mask add up first, so that where they meet
        // or overlap nothing shows through.
        uint8_t& m = row[x - x0];
        if (c >= 0.5f)
            m = 255;
    }
}

void Canvas::compose(const QImage& layer, QPoint at, BlendMode mode)
{
    finish();
    const QRect area = QRect(at, layer.size()).intersected(image_.rect());
    if (area.isEmpty() || layer.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const CoverageMask* clip = this->clip();
    const int width = area.width();
    if (clip)
        clipRow_.resize(static_cast<std::size_t>(width));
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* src
            = reinterpret_cast<const QRgb*>(layer.constScanLine(y - at.y())) + (area.left() - at.x());
        QRgb* dst = line(y) + area.left();
        if (clip) {
            for (int i = 0; i < width; ++i)
                clipRow_[static_cast<std::size_t>(i)] = clip->at(area.left() + i, y);
        }
        blendRow(dst, src, width, mode, clip ? clipRow_.data() : nullptr);
    }
}

void Canvas::pushClip(std::shared_ptr<const CoverageMask> mask)
{
    clips_.push_back(std::move(mask));
}

void Canvas::popClip()
{
    if (!clips_.empty())
        clips_.pop_back();
}

void Canvas::beginMask(const QRect& rect)
{
    building_.push_back(std::make_shared<CoverageMask>(rect.intersected(paintBox())));
}

std::shared_ptr<CoverageMask> Canvas::endMask()
{
    if (building_.empty())
        return std::make_shared<CoverageMask>();
    auto mask = std::move(building_.back());
    building_.pop_back();
    return mask;
}

} // namespace swf
