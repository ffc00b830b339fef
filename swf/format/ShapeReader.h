#pragma once

#include "BitReader.h"
#include "ParseContext.h"
#include "Shape.h"

#include <string>

namespace swf {

// Decodes shapes: the body of DefineShape 1-4 after the character id, and the SHAPE of
// font glyphs (records only, no styles).
//
// Colours are RGB in DefineShape and DefineShape2, RGBA from DefineShape3 on; from
// DefineShape2 on style counts of 0xFF continue in a u16. Style indices are kept as they
// are in the file, even when no style has that index: deciding what to draw is the
// renderer's job. A shape that runs past its tag keeps the styles and records that were
// complete, with one warning.
class ShapeReader {
public:
    // `what` names the shape in warnings, e.g. "DefineShape3 7".
    ShapeReader(BitReader& in, uint8_t version, ParseContext& context, std::string what);

    Shape readDefineShape();
    std::vector<ShapeRecord> readGlyph();

private:
    bool readStyles(StyleTable& styles);
    bool readFill(FillStyle& fill);
    bool readLine(LineStyle& line);
    void readGradient(Gradient& gradient, bool focal);
    Rgba readColor();
    void readRecords(std::vector<ShapeRecord>& records);
    // Warns once and marks the shape as ended: nothing after a damaged field can be read.
    void stop(const std::string& why);

    BitReader& m_in;
    uint8_t m_version;
    ParseContext& m_context;
    std::string m_what;
    bool m_stopped = false;
};

} // namespace swf
