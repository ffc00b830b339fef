#pragma once

#include "BitWriter.h"
#include "Shape.h"

#include <vector>

namespace swf {

// Encodes shapes: the body of DefineShape 1-4 after the character id (by
// shape.version), and glyph SHAPEs. The counterpart of ShapeReader.
//
// Style index widths are chosen to hold the largest index the records use, even one
// past the style table, so that fixtures with out-of-range indices can be written.
// Edges too long for one record (more than 65535 twips along an axis) are split.
void writeDefineShape(BitWriter& out, const Shape& shape);
void writeGlyph(BitWriter& out, const std::vector<ShapeRecord>& records);

} // namespace swf
