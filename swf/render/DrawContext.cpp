#include "DrawContext.h"

#include "BitmapLibrary.h"
#include "Canvas.h"
#include "LineStroke.h"
#include "ScalingGrid.h"

#include "swf/display/Geometry.h"

#include <cmath>
#include <vector>

namespace swf {

DrawContext::DrawContext(Canvas& canvas, DrawBudget& budget, const QTransform& transform,
    const ColorXform& cx, double viewScale, const Movie* movie, DecodedCache* cache)
    : canvas_(canvas)
    , budget_(budget)
    , transform_(transform)
    , cx_(cx)
    , viewScale_(viewScale)
    , movie_(movie)
    , cache_(cache)
{
}

double DrawContext::pixelsPerTwip() const
{
    return std::sqrt(std::abs(transform_.determinant()));
}

bool DrawContext::makingMask() const
{
    return canvas_.makingMask();
}

void DrawContext::drawThroughGrid(
    const ScalingGrid& grid, const QTransform& toClip, const QTransform& clipToDevice)
{
    grid_ = &grid;
    gridToClip_ = toClip;
    clipToDevice_ = clipToDevice;
}

QPainterPath DrawContext::onDevice(const QPainterPath& path) const
{
    return grid_ ? clipToDevice_.map(grid_->map(path, gridToClip_)) : transform_.map(path);
}

bool DrawContext::fill(std::span<const Layer> layers)
{
    if (!grid_)
        return fillMapped(layers, transform_);
    std::vector<QPainterPath> paths;
    paths.reserve(layers.size()); // the layers point into it
    std::vector<Layer> mapped(layers.begin(), layers.end());
    for (Layer& layer : mapped) {
        if (!layer.path)
            continue;
        paths.push_back(onDevice(*layer.path));
        layer.path = &paths.back();
    }
    return fillMapped(mapped, QTransform());
}

bool DrawContext::fill(const QPainterPath& path, const PaintSource& paint, FillRule rule)
{
    const Layer layer { &path, &paint, rule };
    return fill(std::span<const Layer>(&layer, 1));
}

bool DrawContext::fillMapped(std::span<const Layer> layers, const QTransform& transform)
{
    double elements = 0;
    for (const Layer& layer : layers)
        elements += layer.path ? layer.path->elementCount() : 0;
    if (!budget_.elements(elements))
        return false;
    const QRect box = canvas_.paintBox();
    if (box.isEmpty())
        return true;
    Rasterizer& rasterizer = canvas_.rasterizer(box);
    rasterizer.setEdgeLimit(budget_.edgesLeft());
    std::vector<const PaintSource*> paints;
    paints.reserve(layers.size());
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const int style = static_cast<int>(i);
        paints.push_back(layers[i].paint);
        if (!layers[i].path)
            continue;
        rasterizer.setRule(style, layers[i].rule);
        rasterizer.addPath(*layers[i].path, transform, style);
    }
    if (rasterizer.overflowed() || !budget_.raster(rasterizer)) {
        budget_.charge(DrawBudget::kUnitsPerFrame);
        return false;
    }
    canvas_.paint(rasterizer, paints);
    return true;
}

bool DrawContext::stroke(const QPainterPath& path, const LineStyle& style, const PaintSource& paint)
{
    if (!budget_.elements(path.elementCount()))
        return false;
    const double width = lineDeviceWidth(style, transform_, viewScale_);
    const QPainterPath device = onDevice(path);
    // Qt's stroker works in proportion to the path and its round joins' arcs.
    if (!budget_.elements(path.elementCount() * (4 + std::min(width, 64.0) / 4)))
        return false;
    const QPainterPath outline = strokeOnDevice(device, style, width);
    const Layer layer { &outline, &paint, FillRule::NonZero };
    return fillMapped(std::span<const Layer>(&layer, 1), QTransform());
}

void DrawContext::pushClip(const QPainterPath& path)
{
    const QRect rect = pixelsWithin(transform_.mapRect(path.boundingRect()), canvas_.paintBox());
    if (rect.isEmpty() || !budget_.pixels(double(rect.width()) * rect.height())) {
        canvas_.pushClip(std::make_shared<CoverageMask>());
        return;
    }
    canvas_.beginMask(rect);
    fill(path, SolidPaint(Rgba {}), FillRule::NonZero);
    canvas_.pushClip(canvas_.endMask());
}

void DrawContext::popClip()
{
    canvas_.popClip();
}

std::shared_ptr<const QImage> DrawContext::bitmap(uint16_t id) const
{
    if (!movie_ || !cache_)
        return nullptr;
    return bitmapImage(*movie_, id, *cache_);
}

std::unique_ptr<PaintSource> DrawContext::paintOf(
    const FillStyle& style, const std::shared_ptr<const GradientPaint::Table>& plainTable) const
{
    switch (style.kind) {
    case FillStyle::Kind::Solid:
        return std::make_unique<SolidPaint>(cx_.applyRgba(style.color));
    case FillStyle::Kind::LinearGradient:
    case FillStyle::Kind::RadialGradient:
    case FillStyle::Kind::FocalRadialGradient:
        if (plainTable && cx_.isIdentity())
            return std::make_unique<GradientPaint>(
                style, plainTable, toQTransform(style.gradient.matrix) * transform_);
        return std::make_unique<GradientPaint>(style, cx_, toQTransform(style.gradient.matrix) * transform_);
    case FillStyle::Kind::RepeatingBitmap:
    case FillStyle::Kind::ClippedBitmap:
    case FillStyle::Kind::NonSmoothedRepeatingBitmap:
    case FillStyle::Kind::NonSmoothedClippedBitmap:
        break;
    }
    std::shared_ptr<const QImage> image = bitmap(style.bitmapId);
    if (!image)
        return nullptr;
    const bool repeat = style.kind == FillStyle::Kind::RepeatingBitmap
        || style.kind == FillStyle::Kind::NonSmoothedRepeatingBitmap;
    const bool smooth = canvas_.antialias()
        && (style.kind == FillStyle::Kind::RepeatingBitmap || style.kind == FillStyle::Kind::ClippedBitmap);
    return std::make_unique<BitmapPaint>(std::move(image), toQTransform(style.bitmapMatrix) * transform_,
        repeat ? BitmapPaint::Wrap::Repeat : BitmapPaint::Wrap::Clamp, smooth, cx_);
}

} // namespace swf
