#pragma once

#include "swf/format/Types.h"

#include <QTransform>

namespace swf {

// The file's MATRIX as Qt's: x' = a*x + c*y + tx, y' = b*x + d*y + ty, in twips.
inline QTransform toQTransform(const Matrix& m)
{
    return QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty);
}

} // namespace swf
