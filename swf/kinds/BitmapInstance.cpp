#include "BitmapInstance.h"

#include "swf/display/Stage.h"
#include "swf/render/BitmapLibrary.h"
#include "swf/render/DrawContext.h"

namespace swf {
namespace {

constexpr double kTwipsPerPixel = 20;

} // namespace

std::unique_ptr<DisplayObject> BitmapInstance::make(const InstanceContext& c)
{
    return std::make_unique<BitmapInstance>(c.stage, c.movie, c.character, c.depth);
}

BitmapInstance::BitmapInstance(Stage& stage, const Movie& movie, const Character& character, int depth)
    : DisplayObject(stage, &character, depth)
    , movie_(movie)
{
}

std::shared_ptr<const QImage> BitmapInstance::image() const
{
    return bitmapImage(movie_, *character(), stage_.decoded());
}

void BitmapInstance::draw(DrawContext& context) const
{
    const std::shared_ptr<const QImage> picture = image();
    if (!picture)
        return;
    QPainterPath area;
    area.addRect(ownBounds());
    const QTransform toDevice = QTransform::fromScale(kTwipsPerPixel, kTwipsPerPixel) * context.transform();
    const BitmapPaint paint(picture, toDevice, BitmapPaint::Wrap::Clamp, false, context.colorTransform());
    context.fill(area, paint);
}

QRectF BitmapInstance::ownBounds() const
{
    const std::shared_ptr<const QImage> picture = image();
    if (!picture)
        return {};
    return QRectF(0, 0, picture->width() * kTwipsPerPixel, picture->height() * kTwipsPerPixel);
}

bool BitmapInstance::hitsOwn(QPointF local) const
{
    return ownBounds().contains(local);
}

QPainterPath BitmapInstance::ownOutline(double& work) const
{
    work = 0;
    QPainterPath area;
    area.addRect(ownBounds());
    return area;
}

} // namespace swf
