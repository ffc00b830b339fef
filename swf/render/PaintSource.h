#pragma once

#include "ColorXform.h"

#include "swf/format/Shape.h"

#include <QImage>
#include <QTransform>

#include <array>
#include <memory>

namespace swf {

// A colour as premultiplied 0xAARRGGBB, the picture's own format.
QRgb premultiplied(Rgba color);

// Where the pixels a fill covers get their colour: one colour, a gradient or a bitmap,
// already in device space and through the object's colour transform.
class PaintSource {
public:
    virtual ~PaintSource() = default;
    // The colours at the centres of `count` pixels of device row `y` from column `x`.
    virtual void shade(int x, int y, int count, QRgb* out) const = 0;
    // The one colour of a solid paint; false for the others.
    virtual bool solid(QRgb&) const { return false; }
    // A copy that may outlive this paint and be used from another thread.
    virtual std::unique_ptr<PaintSource> clone() const = 0;
};

class SolidPaint final : public PaintSource {
public:
    explicit SolidPaint(Rgba color)
        : color_(premultiplied(color))
    {
    }
    void shade(int, int, int count, QRgb* out) const override { std::fill(out, out + count, color_); }
    bool solid(QRgb& c) const override
    {
        c = color_;
        return true;
    }
    std::unique_ptr<PaintSource> clone() const override { return std::make_unique<SolidPaint>(*this); }

private:
    QRgb color_;
};

// A linear, radial or focal gradient: 256 colours along the gradient square
// (-16384..16384 twips), which `toDevice` places on the device.
class GradientPaint final : public PaintSource {
public:
    using Table = std::array<QRgb, 256>;
    GradientPaint(const FillStyle& style, const ColorXform& cx, const QTransform& toDevice);
    // With the colours already worked out (see tableOf), as a shape drawn again keeps them.
    // Copies of the paint share the table: the painter's threads copy a paint for every
    // fill, and reading one table the frame's fills share keeps it in their caches.
    GradientPaint(const FillStyle& style, std::shared_ptr<const Table> table, const QTransform& toDevice);
    // The gradient's 256 colours through `cx`, premultiplied.
    static Table tableOf(const FillStyle& style, const ColorXform& cx);

    void shade(int x, int y, int count, QRgb* out) const override;
    std::unique_ptr<PaintSource> clone() const override { return std::make_unique<GradientPaint>(*this); }

private:
    double position(double gx, double gy) const;

    FillStyle::Kind kind_;
    Gradient::Spread spread_;
    double focal_ = 0;
    QTransform fromDevice_;
    bool flat_ = false; // squashed to nothing: shows its last colour
    std::shared_ptr<const Table> table_;
};

// A bitmap, repeated or clamped at its edges, smoothed or not. `toDevice` maps the
// bitmap's pixels to the device.
class BitmapPaint final : public PaintSource {
public:
    enum class Wrap : uint8_t { Repeat, Clamp };
    BitmapPaint(std::shared_ptr<const QImage> image, const QTransform& toDevice, Wrap wrap, bool smooth,
        const ColorXform& cx);
    void shade(int x, int y, int count, QRgb* out) const override;
    std::unique_ptr<PaintSource> clone() const override { return std::make_unique<BitmapPaint>(*this); }

private:
    QRgb texel(int u, int v) const;

    std::shared_ptr<const QImage> image_; // ARGB32 premultiplied
    QTransform fromDevice_;
    Wrap wrap_;
    bool smooth_;
    bool valid_ = false;
    ColorXform cx_;
};

} // namespace swf
