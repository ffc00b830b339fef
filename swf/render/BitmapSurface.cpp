#include "BitmapSurface.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {
namespace {

uint32_t channel(uint32_t argb, int shift)
{
    return (argb >> shift) & 0xFF;
}

uint32_t pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The shift of the channel a flag names (1 red, 2 green, 4 blue, 8 alpha); nothing for
// any other value, several flags included.
std::optional<int> shiftOfChannel(int flag)
{
    switch (flag) {
    case 1:
        return 16;
    case 2:
        return 8;
    case 4:
        return 0;
    case 8:
        return 24;
    default:
        return std::nullopt;
    }
}

// The Park and Miller "minimal standard" generator: repeatable from a seed.
class SeededRandom {
public:
    explicit SeededRandom(int seed)
        : state_(uint32_t(seed) % 2147483647u)
    {
        if (state_ == 0)
            state_ = 1;
    }
    uint32_t next()
    {
        state_ = uint32_t((uint64_t(state_) * 16807u) % 2147483647u);
        return state_;
    }

private:
    uint32_t state_;
};

} // namespace

uint32_t premultiplied(uint32_t argb)
{
    const uint32_t a = argb >> 24;
    if (a == 0xFF)
        return argb;
    const auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
    return pack(a, scale(channel(argb, 16)), scale(channel(argb, 8)), scale(channel(argb, 0)));
}

uint32_t unpremultiplied(uint32_t p)
{
    const uint32_t a = p >> 24;
    if (a == 0xFF)
        return p;
    if (a == 0)
        return 0;
    const auto scale = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + (a - 1) / 2) / a); };
    return pack(a, scale(channel(p, 16)), scale(channel(p, 8)), scale(channel(p, 0)));
}

std::shared_ptr<BitmapSurface> BitmapSurface::make(
    int width, int height, bool transparent, uint32_t fill, std::shared_ptr<PixelBudget> budget)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return nullptr;
    const int64_t pixels = int64_t(width) * height;
    if (budget && budget->used + pixels > budget->limit)
        return nullptr;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return nullptr;
    std::shared_ptr<BitmapSurface> made(new BitmapSurface(std::move(image), transparent));
    if (budget) {
        budget->used += pixels;
        made->budget_ = std::move(budget);
    }
    made->fillRect(made->rect(), fill);
    return made;
}

BitmapSurface::~BitmapSurface()
{
    if (budget_)
        budget_->used -= int64_t(width()) * height();
}

std::shared_ptr<BitmapSurface> BitmapSurface::clone() const
{
    std::shared_ptr<BitmapSurface> copy = make(width(), height(), transparent_, 0, budget_);
    if (copy)
        copy->image_ = image_.copy();
    return copy;
}

BitmapSurface::BitmapSurface(QImage image, bool transparent)
    : image_(std::move(image))
    , transparent_(transparent)
{
}

void BitmapSurface::store(uint32_t* p, uint32_t argb) const
{
    *p = transparent_ ? premultiplied(argb) : (argb | 0xFF000000u);
}

uint32_t BitmapSurface::pixel32(int x, int y) const
{
    if (!image_.rect().contains(x, y))
        return 0;
    // An opaque bitmap answers what it keeps (threshold() can leave alpha in one, as it
    // does in the reference player).
    return transparent_ ? unpremultiplied(row(y)[x]) : row(y)[x];
}

void BitmapSurface::setPixel32(int x, int y, uint32_t argb)
{
    if (!image_.rect().contains(x, y))
        return;
    store(&row(y)[x], argb);
    touch();
}

void BitmapSurface::setPixel(int x, int y, uint32_t rgb)
{
    if (!image_.rect().contains(x, y))
        return;
    const uint32_t alpha = unpremultiplied(row(y)[x]) & 0xFF000000u;
    store(&row(y)[x], alpha | (rgb & 0xFFFFFF));
    touch();
}

void BitmapSurface::fillRect(const QRect& area, uint32_t argb)
{
    const QRect r = area.intersected(rect());
    uint32_t stored;
    store(&stored, argb);
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill(row(y) + r.left(), row(y) + r.right() + 1, stored);
    touch();
}

std::optional<std::pair<QRect, QPoint>> BitmapSurface::clipCopy(
    const QRect& sourceRect, const QRect& area, QPoint at) const
{
    QRect from = area.intersected(sourceRect);
    if (from.isEmpty())
        return std::nullopt;
    // Keep the target following the source's cut.
    at += from.topLeft() - area.topLeft();
    QRect to(at, from.size());
    const QRect fits = to.intersected(rect());
    if (fits.isEmpty())
        return std::nullopt;
    from = QRect(from.topLeft() + (fits.topLeft() - to.topLeft()), fits.size());
    return std::make_pair(from, fits.topLeft());
}

void BitmapSurface::copyPixels(const BitmapSurface& source, const QRect& area, QPoint at,
    const BitmapSurface* alpha, QPoint alphaAt, bool mergeAlpha)
{
    const auto cut = clipCopy(source.rect(), area, at);
    if (!cut)
        return;
    const auto [from, to] = *cut;
    // Read the whole source first: it may be this bitmap.
    std::vector<uint32_t> pixels(std::size_t(from.width()) * std::size_t(from.height()));
    for (int y = 0; y < from.height(); ++y)
        std::copy_n(source.row(from.top() + y) + from.left(), from.width(),
            pixels.data() + std::size_t(y) * from.width());
    const QPoint alphaOffset = alphaAt - area.topLeft();
    for (int y = 0; y < from.height(); ++y) {
        uint32_t* out = row(to.y() + y) + to.x();
        for (int x = 0; x < from.width(); ++x) {
            uint32_t p = pixels[std::size_t(y) * from.width() + x];
            if (!source.transparent_)
                p |= 0xFF000000u;
            if (alpha) {
                const int ax = from.left() + x + alphaOffset.x();
                const int ay = from.top() + y + alphaOffset.y();
                const uint32_t k = alpha->rect().contains(ax, ay) ? alpha->alphaAt(ax, ay) : 0;
                const auto mul = [k](uint32_t c) { return (c * k + 127) / 255; };
                p = pack(mul(channel(p, 24)), mul(channel(p, 16)), mul(channel(p, 8)), mul(channel(p, 0)));
            }
            if (mergeAlpha || (alpha && !transparent_)) {
                // Laid over what is here; an opaque target stays opaque.
                const uint32_t inv = 255 - (p >> 24);
                const auto over = [&](int s) {
                    return std::min<uint32_t>(255, channel(p, s) + (channel(out[x], s) * inv + 127) / 255);
                };
                p = pack(over(24), over(16), over(8), over(0));
            } else if (!transparent_) {
                p = unpremultiplied(p);
            }
            out[x] = transparent_ ? p : (p | 0xFF000000u);
        }
    }
    touch();
}

void BitmapSurface::colorTransform(
    const QRect& area, const std::array<double, 4>& mul, const std::array<double, 4>& add)
{
    const QRect r = area.intersected(rect());
    const auto apply = [&](uint32_t c, int i) {
        const double v = std::floor(double(c) * mul[std::size_t(i)] + add[std::size_t(i)]);
        return uint32_t(std::clamp(std::isnan(v) ? 0.0 : v, 0.0, 255.0));
    };
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const uint32_t p = unpremultiplied(row(y)[x]);
            store(&row(y)[x],
                pack(apply(channel(p, 24), 3), apply(channel(p, 16), 0), apply(channel(p, 8), 1),
                    apply(channel(p, 0), 2)));
        }
    touch();
}

void BitmapSurface::copyChannel(
    const BitmapSurface& source, const QRect& area, QPoint at, int sourceChannel, int destChannel)
{
    const std::optional<int> from = shiftOfChannel(sourceChannel);
    const std::optional<int> to = shiftOfChannel(destChannel);
    const auto cut = clipCopy(source.rect(), area, at);
    if (!to || !cut || (*to == 24 && !transparent_))
        return;
    const auto [src, dst] = *cut;
    std::vector<uint32_t> values(std::size_t(src.width()) * std::size_t(src.height()));
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            values[std::size_t(y) * src.width() + x]
                = from ? channel(source.pixel32(src.left() + x, src.top() + y), *from) : 0;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            uint32_t* p = &row(dst.y() + y)[dst.x() + x];
            const uint32_t straight = unpremultiplied(*p);
            const uint32_t v = values[std::size_t(y) * src.width() + x];
            store(p, (straight & ~(0xFFu << *to)) | (v << *to));
        }
    touch();
}

bool BitmapSurface::floodFill(int x, int y, uint32_t argb)
{
    if (!rect().contains(x, y))
        return false;
    uint32_t stored;
    store(&stored, argb);
    const uint32_t old = row(y)[x];
    if (old == stored)
        return false;
    std::vector<QPoint> todo { QPoint(x, y) };
    while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        int left = p.x();
        uint32_t* line = row(p.y());
        if (line[left] != old)
            continue;
        while (left > 0 && line[left - 1] == old)
            --left;
        int right = p.x();
        while (right + 1 < width() && line[right + 1] == old)
            ++right;
        std::fill(line + left, line + right + 1, stored);
        for (int ny : { p.y() - 1, p.y() + 1 }) {
            if (ny < 0 || ny >= height())
                continue;
            const uint32_t* next = row(ny);
            for (int i = left; i <= right; ++i)
                if (next[i] == old && (i == left || next[i - 1] != old))
                    todo.emplace_back(i, ny);
        }
    }
    touch();
    return true;
}

int BitmapSurface::threshold(const BitmapSurface& source, const QRect& area, QPoint at, Compare test,
    uint32_t value, uint32_t color, uint32_t mask, bool copySource)
{
    const auto cut = clipCopy(source.rect(), area, at);
    if (!cut)
        return 0;
    const auto [src, dst] = *cut;
    const uint32_t against = value & mask;
    const auto passes = [&](uint32_t v) {
        switch (test) {
        case Compare::Less:
            return v < against;
        case Compare::LessEqual:
            return v <= against;
        case Compare::Greater:
            return v > against;
        case Compare::GreaterEqual:
            return v >= against;
        case Compare::Equal:
            return v == against;
        case Compare::NotEqual:
            break;
        }
        return v != against;
    };
    // The test sees the pixels as they are kept: premultiplied.
    std::vector<uint32_t> pixels(std::size_t(src.width()) * std::size_t(src.height()));
    for (int y = 0; y < src.height(); ++y)
        std::copy_n(source.row(src.top() + y) + src.left(), src.width(),
            pixels.data() + std::size_t(y) * src.width());
    int count = 0;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const uint32_t p = pixels[std::size_t(y) * src.width() + x];
            uint32_t* out = &row(dst.y() + y)[dst.x() + x];
            if (passes(p & mask)) {
                *out = premultiplied(color);
                ++count;
            } else if (copySource) {
                *out = p; // as kept, alpha and all, even into an opaque bitmap
            }
        }
    touch();
    return count;
}

QRect BitmapSurface::colorBounds(uint32_t mask, uint32_t color, bool find) const
{
    int left = width(), top = height(), right = -1, bottom = -1;
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x) {
            const bool match = (pixel32(x, y) & mask) == (color & mask);
            if (match != find)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    if (right < 0)
        return QRect(0, 0, 0, 0);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void BitmapSurface::noise(int seed, int low, int high, int channels, bool grey)
{
    SeededRandom random(seed);
    low = std::clamp(low, 0, 255);
    high = std::clamp(high, 0, 255);
    if (high < low)
        std::swap(low, high);
    const uint32_t span = uint32_t(high - low + 1);
    const auto value = [&] { return uint32_t(low) + random.next() % span; };
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x) {
            uint32_t r = 0, g = 0, b = 0, a = 255;
            if (grey) {
                r = g = b = value();
            } else {
                if (channels & 1)
                    r = value();
                if (channels & 2)
                    g = value();
                if (channels & 4)
                    b = value();
            }
            if (channels & 8)
                a = value();
            store(&row(y)[x], pack(a, r, g, b));
        }
    touch();
}

void BitmapSurface::merge(
    const BitmapSurface& source, const QRect& area, QPoint at, const std::array<int, 4>& mul)
{
    const auto cut = clipCopy(source.rect(), area, at);
    if (!cut)
        return;
    const auto [src, dst] = *cut;
    std::vector<uint32_t> pixels(std::size_t(src.width()) * std::size_t(src.height()));
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            pixels[std::size_t(y) * src.width() + x] = source.pixel32(src.left() + x, src.top() + y);
    const int shifts[] = { 16, 8, 0, 24 };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            uint32_t* out = &row(dst.y() + y)[dst.x() + x];
            const uint32_t s = pixels[std::size_t(y) * src.width() + x];
            const uint32_t d = unpremultiplied(*out);
            uint32_t result = 0;
            for (int i = 0; i < 4; ++i) {
                const int m = std::clamp(mul[std::size_t(i)], 0, 256);
                const int sc = int(channel(s, shifts[i]));
                const int dc = int(channel(d, shifts[i]));
                result |= uint32_t(std::clamp((sc * m + dc * (256 - m)) / 256, 0, 255)) << shifts[i];
            }
            store(out, result);
        }
    touch();
}

void BitmapSurface::paletteMap(const BitmapSurface& source, const QRect& area, QPoint at,
    const std::array<const std::array<uint32_t, 256>*, 4>& tables)
{
    const auto cut = clipCopy(source.rect(), area, at);
    if (!cut)
        return;
    const auto [src, dst] = *cut;
    std::vector<uint32_t> pixels(std::size_t(src.width()) * std::size_t(src.height()));
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            pixels[std::size_t(y) * src.width() + x] = source.pixel32(src.left() + x, src.top() + y);
    const int shifts[] = { 16, 8, 0, 24 };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const uint32_t s = pixels[std::size_t(y) * src.width() + x];
            uint32_t result = 0;
            for (int i = 0; i < 4; ++i) {
                const uint32_t c = channel(s, shifts[i]);
                const auto* table = tables[std::size_t(i)];
                result += table ? (*table)[c] : c << shifts[i];
            }
            store(&row(dst.y() + y)[dst.x() + x], result);
        }
    touch();
}

void BitmapSurface::scroll(int dx, int dy)
{
    if (std::abs(dx) >= width() || std::abs(dy) >= height())
        return;
    const QImage before = image_.copy();
    const QRect from = rect().intersected(rect().translated(-dx, -dy));
    for (int y = from.top(); y <= from.bottom(); ++y)
        std::copy_n(reinterpret_cast<const uint32_t*>(before.constScanLine(y)) + from.left(), from.width(),
            row(y + dy) + from.left() + dx);
    touch();
}

int BitmapSurface::pixelDissolve(
    const BitmapSurface& source, const QRect& area, QPoint at, int seed, int count, uint32_t fill)
{
    const auto cut = clipCopy(source.rect(), area, at);
    if (!cut)
        return seed;
    const auto [src, dst] = *cut;
    const int64_t total = int64_t(src.width()) * src.height();
    count = int(std::clamp<int64_t>(count, 0, total));
    // A shuffle of the area's pixels, the first `count` of which change.
    std::vector<uint32_t> order(static_cast<std::size_t>(total));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = uint32_t(i);
    SeededRandom random(seed);
    uint32_t last = uint32_t(seed);
    for (int i = 0; i < count; ++i) {
        last = random.next();
        const std::size_t j = std::size_t(i) + last % uint32_t(total - i);
        std::swap(order[std::size_t(i)], order[j]);
    }
    const bool self = &source == this;
    std::vector<uint32_t> pixels;
    if (!self) {
        pixels.resize(std::size_t(total));
        for (int y = 0; y < src.height(); ++y)
            std::copy_n(source.row(src.top() + y) + src.left(), src.width(),
                pixels.data() + std::size_t(y) * src.width());
    }
    uint32_t stored;
    store(&stored, fill);
    for (int i = 0; i < count; ++i) {
        const int x = int(order[std::size_t(i)] % uint32_t(src.width()));
        const int y = int(order[std::size_t(i)] / uint32_t(src.width()));
        uint32_t p = self ? stored : pixels[order[std::size_t(i)]];
        if (!self && !source.transparent_)
            p |= 0xFF000000u;
        if (!transparent_)
            p = unpremultiplied(p) | 0xFF000000u;
        row(dst.y() + y)[dst.x() + x] = p;
    }
    touch();
    return int(last & 0x7FFFFFFF);
}

bool BitmapSurface::anyAlphaAtLeast(const QRect& area, int threshold) const
{
    const QRect r = area.intersected(rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (int(row(y)[x] >> 24) >= threshold)
                return true;
    return false;
}

std::shared_ptr<BitmapSurface> BitmapSurface::difference(const BitmapSurface& a, const BitmapSurface& b)
{
    std::shared_ptr<BitmapSurface> out = make(a.width(), a.height(), true, 0, a.budget_);
    if (!out)
        return nullptr;
    bool differs = false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const uint32_t pa = a.pixel32(x, y);
            const uint32_t pb = b.pixel32(x, y);
            if (pa == pb)
                continue;
            differs = true;
            if ((pa & 0xFFFFFF) == (pb & 0xFFFFFF)) {
                // Only alpha differs: white with the difference as its alpha.
                const uint32_t da = (channel(pa, 24) - channel(pb, 24)) & 0xFF;
                out->store(&out->row(y)[x], (da << 24) | 0xFFFFFF);
            } else {
                const auto d = [&](int s) { return (channel(pa, s) - channel(pb, s)) & 0xFF; };
                out->store(&out->row(y)[x], pack(0xFF, d(16), d(8), d(0)));
            }
        }
    return differs ? out : nullptr;
}

} // namespace swf
