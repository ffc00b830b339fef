#include "Fonts.h"

#include "BitReader.h"
#include "BitWriter.h"
#include "ParseContext.h"
#include "Records.h"
#include "ShapeReader.h"
#include "ShapeWriter.h"
#include "Tags.h"

#include <algorithm>

namespace swf {
namespace {

// The glyph shape that starts at `offset` of the offset table's span and ends where the
// next begins (or at `end`).
std::vector<ShapeRecord> readGlyphAt(std::span<const uint8_t> table, std::size_t from, std::size_t to,
    std::vector<std::string>& warnings, std::size_t index)
{
    if (from >= to || to > table.size())
        return {};
    BitReader in(table.subspan(from, to - from));
    std::vector<std::string> shapeWarnings;
    ParseContext context { Warnings(shapeWarnings, 1), Budget((to - from) * 64 + 1024), ParseLimits {} };
    ShapeReader reader(in, 1, context, "glyph " + std::to_string(index));
    std::vector<ShapeRecord> records = reader.readGlyph();
    for (std::string& w : shapeWarnings)
        warnings.push_back(std::move(w));
    return records;
}

void readDefineFont1(std::span<const uint8_t> body, FontDefinition& font, std::vector<std::string>& warnings)
{
    BitReader in(body);
    const uint16_t first = in.u16();
    if (in.overrun() || first < 2) {
        if (!body.empty())
            warnings.push_back("DefineFont: the offset table cannot be read");
        return;
    }
    const std::size_t count = first / 2;
    std::vector<std::size_t> offsets { first };
    for (std::size_t i = 1; i < count && !in.overrun(); ++i)
        offsets.push_back(in.u16());
    if (in.overrun()) {
        warnings.push_back("DefineFont: the offset table runs past the end of the tag");
        offsets.pop_back();
    }
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::size_t to = i + 1 < offsets.size() ? offsets[i + 1] : body.size();
        FontGlyph glyph;
        glyph.records = readGlyphAt(body, offsets[i], std::min(to, body.size()), warnings, i);
        font.glyphs.push_back(std::move(glyph));
    }
}

void readDefineFont2(std::span<const uint8_t> body, FontDefinition& font, std::vector<std::string>& warnings)
{
    BitReader in(body);
    const uint8_t flags = in.u8();
    font.hasLayout = flags & 0x80;
    font.shiftJis = flags & 0x40;
    font.smallText = flags & 0x20;
    font.ansi = flags & 0x10;
    const bool wideOffsets = flags & 0x08;
    // DefineFont3 is meant to always have wide codes, but the flag is what the codes are:
    // a font that clears it has one byte per code.
    font.wideCodes = flags & 0x04;
    font.italic = flags & 0x02;
    font.bold = flags & 0x01;
    font.language = in.u8();
    const uint8_t nameLength = in.u8();
    const std::span<const uint8_t> name = in.bytes(nameLength);
    font.name.assign(name.begin(), name.end());
    while (!font.name.empty() && font.name.back() == '\0')
        font.name.pop_back();
    const uint16_t count = in.u16();
    const std::size_t tableStart = in.position();
    std::vector<std::size_t> offsets;
    for (uint16_t i = 0; i < count && !in.overrun(); ++i)
        offsets.push_back(wideOffsets ? in.u32() : in.u16());
    const std::size_t codeTableOffset
        = count == 0 && in.remaining() < (wideOffsets ? 4u : 2u) ? 0 : (wideOffsets ? in.u32() : in.u16());
    if (in.overrun()) {
        warnings.push_back(
            "DefineFont" + std::to_string(font.version) + ": the tag ends inside the offset table");
        return;
    }
    const std::span<const uint8_t> table = body.subspan(tableStart);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::size_t to = i + 1 < offsets.size() ? offsets[i + 1] : codeTableOffset;
        FontGlyph glyph;
        glyph.records = readGlyphAt(table, offsets[i], std::min(to, table.size()), warnings, i);
        font.glyphs.push_back(std::move(glyph));
    }
    if (count == 0)
        return;
    BitReader rest(table.subspan(std::min(codeTableOffset, table.size())));
    for (FontGlyph& glyph : font.glyphs)
        glyph.code = font.wideCodes ? rest.u16() : rest.u8();
    if (rest.overrun()) {
        warnings.push_back("DefineFont" + std::to_string(font.version) + ": the code table is cut short");
        return;
    }
    if (!font.hasLayout)
        return;
    font.ascent = rest.u16();
    font.descent = rest.u16();
    font.leading = rest.s16();
    for (FontGlyph& glyph : font.glyphs)
        glyph.advance = rest.s16();
    for (std::size_t i = 0; i < font.glyphs.size() && !rest.overrun(); ++i)
        readRect(rest);
    const uint16_t kerningCount = rest.u16();
    for (uint16_t i = 0; i < kerningCount && !rest.overrun(); ++i) {
        KerningPair pair;
        pair.left = font.wideCodes ? rest.u16() : rest.u8();
        pair.right = font.wideCodes ? rest.u16() : rest.u8();
        pair.adjustment = rest.s16();
        if (!rest.overrun())
            font.kerning.push_back(pair);
    }
    if (rest.overrun())
        warnings.push_back("DefineFont" + std::to_string(font.version) + ": the layout is cut short");
}

} // namespace

std::optional<std::size_t> FontDefinition::glyphOf(uint16_t code) const
{
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i].code == code)
            return i;
    }
    return std::nullopt;
}

FontDefinition readFont(uint16_t tagCode, std::span<const uint8_t> body, std::vector<std::string>& warnings)
{
    FontDefinition font;
    switch (static_cast<TagCode>(tagCode)) {
    case TagCode::DefineFont:
        font.version = 1;
        font.wideCodes = false;
        readDefineFont1(body, font, warnings);
        break;
    case TagCode::DefineFont2:
        font.version = 2;
        readDefineFont2(body, font, warnings);
        break;
    case TagCode::DefineFont3:
        font.version = 3;
        readDefineFont2(body, font, warnings);
        break;
    default:
        break;
    }
    return font;
}

void applyFontInfo(FontDefinition& font, uint16_t tagCode, std::span<const uint8_t> body)
{
    BitReader in(body);
    in.u16(); // the font id
    const uint8_t nameLength = in.u8();
    const std::span<const uint8_t> name = in.bytes(nameLength);
    const uint8_t flags = in.u8();
    if (in.overrun())
        return;
    font.name.assign(name.begin(), name.end());
    while (!font.name.empty() && font.name.back() == '\0')
        font.name.pop_back();
    font.smallText = flags & 0x20;
    font.shiftJis = flags & 0x10;
    font.ansi = flags & 0x08;
    font.italic = flags & 0x04;
    font.bold = flags & 0x02;
    const bool info2 = tagCode == toCode(TagCode::DefineFontInfo2);
    font.wideCodes = info2 || (flags & 0x01);
    if (info2)
        font.language = in.u8();
    for (FontGlyph& glyph : font.glyphs) {
        const uint16_t code = font.wideCodes ? in.u16() : in.u8();
        if (in.overrun())
            break;
        glyph.code = code;
    }
}

std::vector<uint8_t> encodeFont(const FontDefinition& font)
{
    std::vector<std::vector<uint8_t>> shapes;
    for (const FontGlyph& glyph : font.glyphs) {
        BitWriter w;
        writeGlyph(w, glyph.records);
        shapes.push_back(w.take());
    }
    BitWriter out;
    if (font.version == 1) {
        std::size_t offset = shapes.size() * 2;
        for (const auto& shape : shapes) {
            out.u16(static_cast<uint16_t>(offset));
            offset += shape.size();
        }
        for (const auto& shape : shapes)
            out.bytes(shape);
        return out.take();
    }
    const bool wideCodes = font.wideCodes || font.version >= 3;
    out.u8(static_cast<uint8_t>((font.hasLayout ? 0x80 : 0) | (font.shiftJis ? 0x40 : 0)
        | (font.smallText ? 0x20 : 0) | (font.ansi ? 0x10 : 0) | 0x08 | (wideCodes ? 0x04 : 0)
        | (font.italic ? 0x02 : 0) | (font.bold ? 0x01 : 0)));
    out.u8(font.language);
    out.u8(static_cast<uint8_t>(font.name.size()));
    out.bytes(std::span(reinterpret_cast<const uint8_t*>(font.name.data()), font.name.size()));
    out.u16(static_cast<uint16_t>(font.glyphs.size()));
    // Wide offsets, from the start of the offset table.
    std::size_t offset = shapes.size() * 4 + 4;
    for (const auto& shape : shapes) {
        out.u32(static_cast<uint32_t>(offset));
        offset += shape.size();
    }
    out.u32(static_cast<uint32_t>(offset));
    for (const auto& shape : shapes)
        out.bytes(shape);
    for (const FontGlyph& glyph : font.glyphs) {
        if (wideCodes)
            out.u16(glyph.code);
        else
            out.u8(static_cast<uint8_t>(glyph.code));
    }
    if (font.hasLayout) {
        out.u16(font.ascent);
        out.u16(font.descent);
        out.u16(static_cast<uint16_t>(font.leading));
        for (const FontGlyph& glyph : font.glyphs)
            out.u16(static_cast<uint16_t>(glyph.advance));
        for (std::size_t i = 0; i < font.glyphs.size(); ++i)
            writeRect(out, Rect {});
        out.u16(static_cast<uint16_t>(font.kerning.size()));
        for (const KerningPair& k : font.kerning) {
            if (wideCodes) {
                out.u16(k.left);
                out.u16(k.right);
            } else {
                out.u8(static_cast<uint8_t>(k.left));
                out.u8(static_cast<uint8_t>(k.right));
            }
            out.u16(static_cast<uint16_t>(k.adjustment));
        }
    }
    return out.take();
}

} // namespace swf
