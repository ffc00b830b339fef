#pragma once

#include "Registry.h"

#include "swf/display/DisplayObject.h"

#include <QImage>

#include <memory>

namespace swf {

// A bitmap character placed on a display list by itself: its pixels one to twenty twips
// from the origin, drawn as they are (not smoothed), colour transform and all.
class BitmapInstance final : public DisplayObject {
public:
    static std::unique_ptr<DisplayObject> make(const InstanceContext& context);

    BitmapInstance(Stage& stage, const Movie& movie, const Character& character, int depth);

    void draw(DrawContext& context) const override;
    QRectF ownBounds() const override;
    bool hitsOwn(QPointF local) const override;
    QPainterPath ownOutline(double& work) const override;

private:
    std::shared_ptr<const QImage> image() const;

    const Movie& movie_;
};

} // namespace swf
