#pragma once

#include "Types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf {

// ---- DefineText and DefineText2 ----------------------------------------------------------

struct TextGlyph {
    uint32_t index = 0; // into the font's glyphs
    int32_t advance = 0; // twips to the next glyph
    friend bool operator==(const TextGlyph&, const TextGlyph&) = default;
};

// One TEXTRECORD: the style fields it sets (the others carry over from the record
// before) and its glyphs.
struct TextRecord {
    std::optional<uint16_t> fontId;
    std::optional<Rgba> color;
    std::optional<int16_t> xOffset;
    std::optional<int16_t> yOffset;
    std::optional<uint16_t> height; // twips; given with the font
    std::vector<TextGlyph> glyphs;
    friend bool operator==(const TextRecord&, const TextRecord&) = default;
};

struct StaticText {
    uint8_t version = 1; // 1: DefineText (RGB colours), 2: DefineText2 (RGBA)
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
    friend bool operator==(const StaticText&, const StaticText&) = default;
};

// Reads the body (after the character id). Records cut off by the tag's end are left out
// with a warning.
StaticText readStaticText(std::span<const uint8_t> body, uint8_t version, std::vector<std::string>& warnings);
std::vector<uint8_t> encodeStaticText(const StaticText& text);

// ---- DefineEditText ------------------------------------------------------------------------

struct EditTextDefinition {
    Rect bounds;
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool readOnly = false;
    bool autoSize = false;
    bool noSelect = false;
    bool border = false;
    bool wasStatic = false;
    bool html = false;
    bool useOutlines = false; // draw with the embedded font's glyphs
    std::optional<uint16_t> fontId;
    std::optional<std::string> fontClass;
    uint16_t fontHeight = 240; // twips
    std::optional<Rgba> color;
    std::optional<uint16_t> maxLength;
    bool hasLayout = false;
    uint8_t align = 0; // 0 left, 1 right, 2 centre, 3 justify
    uint16_t leftMargin = 0; // twips
    uint16_t rightMargin = 0;
    uint16_t indent = 0;
    int16_t leading = 0;
    std::string variableName; // as stored: code page bytes before SWF 6, UTF-8 after
    std::optional<std::string> initialText;
    friend bool operator==(const EditTextDefinition&, const EditTextDefinition&) = default;
};

// Reads the body (after the character id). A body cut short keeps the fields read before.
EditTextDefinition readEditText(std::span<const uint8_t> body, std::vector<std::string>& warnings);
std::vector<uint8_t> encodeEditText(const EditTextDefinition& text);

} // namespace swf
