#pragma once

#include "swf/format/Types.h"

#include <QRectF>
#include <QTransform>

namespace swf {

// Maps stage twips into `target` the way the control's "ShowAll" scale mode does: the
// whole stage visible, aspect kept, centred. A stage without area maps to nothing
// (scale zero), which callers treat as "draw only the background".
QTransform showAllTransform(const Rect& stage, const QRectF& target);

} // namespace swf
