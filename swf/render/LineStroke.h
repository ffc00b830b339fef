#pragma once

#include "swf/format/Shape.h"

#include <QPainterPath>
#include <QTransform>

namespace swf {

// Lines are stroked on the device, after the object's transform, so that a stretched or
// skewed line keeps an even width, as the original player draws them.

// The width in device pixels of `style` drawn through `transform` (object twips to
// device). A scaling line grows with the transform's mean scale; a line that does not
// scale horizontally or vertically takes the other axis's scale, one that scales neither
// way only the view's `viewScale` (device pixels per stage twip). Never under one pixel:
// hairlines and lines thinner than a pixel are one pixel wide.
double lineDeviceWidth(const LineStyle& style, const QTransform& transform, double viewScale);

// The outline of `devicePath` stroked `width` pixels wide with the style's caps, joins
// and miter limit, to be filled by the non-zero rule. With pixel hinting the line's
// points are moved onto the pixel grid first, so that it stays sharp.
QPainterPath strokeOnDevice(const QPainterPath& devicePath, const LineStyle& style, double width);

} // namespace swf
