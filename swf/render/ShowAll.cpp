#include "ShowAll.h"

#include <algorithm>

namespace swf {

QTransform showAllTransform(const Rect& stage, const QRectF& target)
{
    const double width = stage.width();
    const double height = stage.height();
    if (width <= 0 || height <= 0 || target.isEmpty())
        return QTransform(0, 0, 0, 0, target.center().x(), target.center().y());
    const double scale = std::min(target.width() / width, target.height() / height);
    const double dx = target.x() + (target.width() - width * scale) / 2 - stage.xMin * scale;
    const double dy = target.y() + (target.height() - height * scale) / 2 - stage.yMin * scale;
    return QTransform(scale, 0, 0, scale, dx, dy);
}

} // namespace swf
