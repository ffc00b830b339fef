#pragma once

#include "BitReader.h"
#include "BitWriter.h"
#include "Types.h"

namespace swf {

enum class Alpha : uint8_t { Without, With };

// The small records shared by many tags. Each reader starts on a byte boundary and
// leaves the reader after the record's last bit; on a short read the reader's overrun
// flag is set and the returned value must not be used.
Rect readRect(BitReader& in);
Matrix readMatrix(BitReader& in);
ColorTransform readColorTransform(BitReader& in, Alpha alpha); // CXFORM or CXFORMWITHALPHA
Rgba readRgb(BitReader& in);
Rgba readRgba(BitReader& in);

// The writers of the same records. Values beyond what a field can carry are clamped
// (a 31-bit coordinate, a 15-bit colour factor); each record starts on a byte boundary.
void writeRect(BitWriter& out, const Rect& rect);
void writeMatrix(BitWriter& out, const Matrix& matrix);
void writeColorTransform(BitWriter& out, const ColorTransform& cx, Alpha alpha);
void writeRgb(BitWriter& out, Rgba color);
void writeRgba(BitWriter& out, Rgba color);

} // namespace swf
