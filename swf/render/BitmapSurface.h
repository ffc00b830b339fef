#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace swf {

// Straight (not premultiplied) 0xAARRGGBB into the premultiplied form pictures are kept in,
// and back. The way back loses what premultiplying rounded away, as it does for the
// reference player: 0xAABBCCDD reads back as 0xAABBCCDC.
uint32_t premultiplied(uint32_t argb);
uint32_t unpremultiplied(uint32_t premultipliedArgb);

// How many pixels the bitmaps of one movie may hold at once, so that no script can take
// the machine's memory by making bitmaps in a loop.
struct PixelBudget {
    int64_t limit = int64_t(1) << 26;
    int64_t used = 0;
};

// The pixels of a bitmap a script made: a premultiplied ARGB picture, opaque or with
// alpha, that scripts read and change pixel by pixel and that the display shows as it
// stands at each frame. Colours cross this class straight (0xAARRGGBB); an opaque bitmap
// keeps every alpha at 0xFF. Rectangles are clipped to the bitmap; nothing here reads or
// writes outside it.
class BitmapSurface {
public:
    // The largest side a bitmap may have.
    static constexpr int kMaxSide = 2880;

    // Null when a side is not 1..kMaxSide or the memory is not there (in `budget` too,
    // when given; the bitmap gives its pixels back when it goes).
    static std::shared_ptr<BitmapSurface> make(int width, int height, bool transparent, uint32_t fill,
        std::shared_ptr<PixelBudget> budget = nullptr);
    ~BitmapSurface();
    BitmapSurface(const BitmapSurface&) = delete;
    BitmapSurface& operator=(const BitmapSurface&) = delete;
    // A copy of the pixels, counted in the same budget; null past it.
    std::shared_ptr<BitmapSurface> clone() const;

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QRect rect() const { return image_.rect(); }
    bool transparent() const { return transparent_; }
    // The picture as the renderer paints it.
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }
    // Counts every change, so that the display knows to draw the bitmap anew.
    uint64_t generation() const { return generation_; }
    void touch() { ++generation_; }

    uint32_t pixel32(int x, int y) const; // 0 outside
    void setPixel32(int x, int y, uint32_t argb);
    // Changes the colour and keeps the pixel's alpha.
    void setPixel(int x, int y, uint32_t rgb);
    void fillRect(const QRect& area, uint32_t argb);

    // Copies `area` of `source` to `at`. With `alpha` (and its own top left `alphaAt`), the
    // copy takes that bitmap's alpha. `mergeAlpha` lays the copy over what is here instead
    // of replacing it.
    void copyPixels(const BitmapSurface& source, const QRect& area, QPoint at, const BitmapSurface* alpha,
        QPoint alphaAt, bool mergeAlpha);
    // Multiplies and offsets the straight channels of `area`: mul[0..3] and add[0..3] in
    // the order red, green, blue, alpha.
    void colorTransform(
        const QRect& area, const std::array<double, 4>& mul, const std::array<double, 4>& add);
    // Channels are 1 red, 2 green, 4 blue, 8 alpha. A source channel of any other value
    // copies zeros; a target channel of any other value changes nothing.
    void copyChannel(
        const BitmapSurface& source, const QRect& area, QPoint at, int sourceChannel, int destChannel);
    // Fills the pixels of the colour of (x, y) that join it side by side. False when
    // nothing changed.
    bool floodFill(int x, int y, uint32_t argb);
    enum class Compare : uint8_t { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };
    // Sets the pixels of `source` whose masked colour (premultiplied, as kept) passes the
    // test to `color` (the others copied from the source when `copySource`); the number of
    // pixels set. Both are written as kept, with their alpha even into an opaque bitmap.
    int threshold(const BitmapSurface& source, const QRect& area, QPoint at, Compare test, uint32_t value,
        uint32_t color, uint32_t mask, bool copySource);
    // The smallest rectangle holding every pixel whose masked colour is (or with `find`
    // false, is not) `color`.
    QRect colorBounds(uint32_t mask, uint32_t color, bool find) const;
    // Random channels between low and high, from `seed`; grey when `grey`.
    void noise(int seed, int low, int high, int channels, bool grey);
    // Mixes `area` of `source` into this bitmap at `at`, each channel by mul/256.
    void merge(const BitmapSurface& source, const QRect& area, QPoint at, const std::array<int, 4>& mul);
    // Each channel of `source` looks up its table (256 entries each, null for unchanged);
    // the results are added together.
    void paletteMap(const BitmapSurface& source, const QRect& area, QPoint at,
        const std::array<const std::array<uint32_t, 256>*, 4>& tables);
    // Moves the picture by (dx, dy); what is uncovered keeps its old pixels.
    void scroll(int dx, int dy);
    // Moves `count` pixels of `source` (or, when `source` is this bitmap, sets them to
    // `fill`) in a random but repeatable order given by `seed`; the seed to continue from.
    int pixelDissolve(
        const BitmapSurface& source, const QRect& area, QPoint at, int seed, int count, uint32_t fill);
    // Whether any pixel of `area` (bitmap coordinates) has alpha at or past `threshold`.
    bool anyAlphaAtLeast(const QRect& area, int threshold) const;
    uint8_t alphaAt(int x, int y) const { return uint8_t(pixel32(x, y) >> 24); }

    // Where two bitmaps of the same size differ, per pixel (red, green and blue
    // differences, or white with the alpha difference where only alpha differs); null
    // when they are equal.
    static std::shared_ptr<BitmapSurface> difference(const BitmapSurface& a, const BitmapSurface& b);

private:
    BitmapSurface(QImage image, bool transparent);
    uint32_t* row(int y) { return reinterpret_cast<uint32_t*>(image_.scanLine(y)); }
    const uint32_t* row(int y) const { return reinterpret_cast<const uint32_t*>(image_.constScanLine(y)); }
    // `area` of a source at `at` cut to both bitmaps; the source rectangle and the target
    // top left, or nothing when no pixel is left.
    std::optional<std::pair<QRect, QPoint>> clipCopy(
        const QRect& sourceRect, const QRect& area, QPoint at) const;
    void store(uint32_t* p, uint32_t argb) const;

    QImage image_;
    bool transparent_;
    std::shared_ptr<PixelBudget> budget_;
    uint64_t generation_ = 0;
};

} // namespace swf
