#pragma once

#include "Shape.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf {

struct FontGlyph {
    std::vector<ShapeRecord> records; // in the font's em square (1024 units, 20480 for DefineFont3)
    uint16_t code = 0; // the character it draws, from the code table (0: unknown)
    int16_t advance = 0; // from the layout table, em units
    friend bool operator==(const FontGlyph&, const FontGlyph&) = default;
};

struct KerningPair {
    uint16_t left = 0;
    uint16_t right = 0;
    int16_t adjustment = 0;
    friend bool operator==(const KerningPair&, const KerningPair&) = default;
};

// DefineFont, DefineFont2 and DefineFont3, with what DefineFontInfo and DefineFontInfo2
// add to a DefineFont: the glyph outlines, the characters they draw, and the layout.
struct FontDefinition {
    uint8_t version = 2; // 1, 2 or 3
    std::string name; // as stored: code page bytes before SWF 6, UTF-8 after
    bool bold = false;
    bool italic = false;
    bool smallText = false;
    bool shiftJis = false;
    bool ansi = false;
    bool wideCodes = true;
    uint8_t language = 0;
    bool hasLayout = false;
    uint16_t ascent = 0; // em units
    uint16_t descent = 0;
    int16_t leading = 0;
    std::vector<FontGlyph> glyphs;
    std::vector<KerningPair> kerning;
    friend bool operator==(const FontDefinition&, const FontDefinition&) = default;

    // The size of the em square the glyphs are drawn in.
    double emSize() const { return version >= 3 ? 20480.0 : 1024.0; }
    // The glyph that draws `code`, if the font has one.
    std::optional<std::size_t> glyphOf(uint16_t code) const;
};

// Reads the body (after the font id) of DefineFont (10), DefineFont2 (48) or DefineFont3 (75).
// Glyphs cut off by the tag's end are left out with a warning.
FontDefinition readFont(uint16_t tagCode, std::span<const uint8_t> body, std::vector<std::string>& warnings);

// Adds a DefineFontInfo (13) or DefineFontInfo2 (62) body (the whole tag body, font id
// first) to a font: its name, style flags and code table.
void applyFontInfo(FontDefinition& font, uint16_t tagCode, std::span<const uint8_t> body);

// The body (after the id) of a DefineFont2 or DefineFont3 (by font.version), or of a
// DefineFont (glyph shapes only) for version 1.
std::vector<uint8_t> encodeFont(const FontDefinition& font);

} // namespace swf
