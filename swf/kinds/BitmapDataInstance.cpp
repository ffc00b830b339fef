#include "BitmapDataInstance.h"

#include "swf/render/BitmapSurface.h"
#include "swf/render/DrawContext.h"

#include <QPainterPath>

namespace swf {
namespace {

constexpr double kTwipsPerPixel = 20;

} // namespace

BitmapDataInstance::BitmapDataInstance(
    Stage& stage, std::shared_ptr<const BitmapSurface> pixels, int depth, bool smoothing)
    : DisplayObject(stage, nullptr, depth)
    , pixels_(std::move(pixels))
    , smoothing_(smoothing)
{
}

void BitmapDataInstance::draw(DrawContext& context) const
{
    const std::shared_ptr<const BitmapSurface> pixels = pixels_.lock();
    if (!pixels)
        return;
    QPainterPath area;
    area.addRect(ownBounds());
    const QTransform toDevice = QTransform::fromScale(kTwipsPerPixel, kTwipsPerPixel) * context.transform();
    const std::shared_ptr<const QImage> image(pixels, &pixels->image());
    const BitmapPaint paint(image, toDevice, BitmapPaint::Wrap::Clamp, smoothing_, context.colorTransform());
    context.fill(area, paint);
}

QRectF BitmapDataInstance::ownBounds() const
{
    const std::shared_ptr<const BitmapSurface> pixels = pixels_.lock();
    if (!pixels)
        return {};
    return QRectF(0, 0, pixels->width() * kTwipsPerPixel, pixels->height() * kTwipsPerPixel);
}

bool BitmapDataInstance::hitsOwn(QPointF local) const
{
    return ownBounds().contains(local);
}

QPainterPath BitmapDataInstance::ownOutline(double& work) const
{
    work = 0;
    QPainterPath area;
    area.addRect(ownBounds());
    return area;
}

} // namespace swf
