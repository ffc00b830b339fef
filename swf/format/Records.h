#pragma once

#include "BitReader.h"
#include "Types.h"

namespace swf {

enum class Alpha : uint8_t { Without, With };

// The small records shared by many tags. Each reader starts on a byte boundary and
// leaves the reader after the record's last bit; on a short read the reader's overrun
// flag is set and the returned value must not be used.
Rect readRect(BitReader& in);
Matrix readMatrix(BitReader& in);
ColorTransform readColorTransform(BitReader& in, Alpha alpha);  // CXFORM or CXFORMWITHALPHA
Rgba readRgb(BitReader& in);
Rgba readRgba(BitReader& in);

} // namespace swf
