#pragma once

#include "ColorXform.h"

#include "swf/display/Geometry.h"

#include "swf/format/Shape.h"

#include <QBrush>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

namespace swf {

// The brush of a fill style in shape space, its colours run through `cx`. Gradients map
// their square (-16384..16384 twips) through the gradient matrix. Bitmap fills have no
// bitmaps to draw yet and give Qt::NoBrush.
QBrush fillBrush(const FillStyle& style, const ColorXform& cx);

// The widest pen Qt accepts; the file allows lines up to 65535 twips.
constexpr double kMaxPenWidth = 32767;

// The pen of a line style for a painter whose transform scales shape twips by
// `pixelsPerTwip` on the device. A line thinner than a pixel there is drawn as a one-pixel
// hairline, as the original player does. A line wider than kMaxPenWidth gets a pen of
// that width: callers fill the line's strokeArea() instead.
QPen linePen(const LineStyle& style, const ColorXform& cx, double pixelsPerTwip);
// The area a pen's stroke of `path` covers, for lines too wide for Qt's pens.
QPainterPath strokeArea(const QPainterPath& path, const QPen& pen, double width);

} // namespace swf
