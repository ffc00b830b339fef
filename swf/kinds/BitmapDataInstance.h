#pragma once

#include "swf/display/DisplayObject.h"

#include <memory>

namespace swf {

class BitmapSurface;

// A script's bitmap shown on a display list (MovieClip.attachBitmap): drawn from its
// pixels as they stand at each frame, so that changes show on the next one. A disposed
// bitmap shows nothing.
class BitmapDataInstance final : public DisplayObject {
public:
    BitmapDataInstance(Stage& stage, std::shared_ptr<const BitmapSurface> pixels, int depth, bool smoothing);

    void draw(DrawContext& context) const override;
    QRectF ownBounds() const override;
    bool hitsOwn(QPointF local) const override;
    QPainterPath ownOutline(double& work) const override;

private:
    std::weak_ptr<const BitmapSurface> pixels_;
    bool smoothing_;
};

} // namespace swf
