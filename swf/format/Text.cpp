#include "Text.h"

#include "BitReader.h"
#include "BitWriter.h"
#include "Records.h"

#include <algorithm>

namespace swf {
namespace {

unsigned bitsFor(uint32_t value)
{
    unsigned bits = 0;
    while (bits < 32 && (value >> bits) != 0)
        ++bits;
    return bits;
}

unsigned signedBitsFor(int32_t value)
{
    const uint32_t magnitude = value < 0 ? ~static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    return bitsFor(magnitude) + 1;
}

void writeString(BitWriter& out, const std::string& s)
{
    out.bytes(std::span(reinterpret_cast<const uint8_t*>(s.data()), s.size()));
    out.u8(0);
}

} // namespace

StaticText readStaticText(std::span<const uint8_t> body, uint8_t version, std::vector<std::string>& warnings)
{
    StaticText text;
    text.version = version;
    BitReader in(body);
    text.bounds = readRect(in);
    text.matrix = readMatrix(in);
    const uint8_t glyphBits = in.u8();
    const uint8_t advanceBits = in.u8();
    const std::string what = version >= 2 ? "DefineText2" : "DefineText";
    if (in.overrun()) {
        warnings.push_back(what + ": the tag ends inside its header");
        return text;
    }
    if (glyphBits > 32 || advanceBits > 32) {
        warnings.push_back(what + ": glyph fields wider than 32 bits");
        return text;
    }
    while (true) {
        in.align();
        if (in.atEnd()) {
            warnings.push_back(what + ": the tag ends before its last record");
            return text;
        }
        const uint8_t flags = in.u8();
        if (!(flags & 0x80))
            return text; // the end of the records
        TextRecord record;
        if (flags & 0x08)
            record.fontId = in.u16();
        if (flags & 0x04)
            record.color = version >= 2 ? readRgba(in) : readRgb(in);
        if (flags & 0x01)
            record.xOffset = in.s16();
        if (flags & 0x02)
            record.yOffset = in.s16();
        if (flags & 0x08)
            record.height = in.u16();
        const uint8_t count = in.u8();
        for (unsigned i = 0; i < count && !in.overrun(); ++i) {
            TextGlyph glyph;
            glyph.index = in.ub(glyphBits);
            glyph.advance = in.sb(advanceBits);
            if (!in.overrun())
                record.glyphs.push_back(glyph);
        }
        if (in.overrun()) {
            warnings.push_back(what + ": a record runs past the end of the tag; kept "
                + std::to_string(text.records.size()) + " records");
            if (!record.glyphs.empty())
                text.records.push_back(std::move(record));
            return text;
        }
        text.records.push_back(std::move(record));
    }
}

std::vector<uint8_t> encodeStaticText(const StaticText& text)
{
    uint32_t maxIndex = 0;
    int32_t maxAdvance = 0;
    for (const TextRecord& r : text.records) {
        for (const TextGlyph& g : r.glyphs) {
            maxIndex = std::max(maxIndex, g.index);
            maxAdvance = std::max<int32_t>(maxAdvance, static_cast<int32_t>(signedBitsFor(g.advance)));
        }
    }
    const unsigned glyphBits = std::max(1u, bitsFor(maxIndex));
    const unsigned advanceBits = std::max(1u, static_cast<unsigned>(maxAdvance));
    BitWriter out;
    writeRect(out, text.bounds);
    writeMatrix(out, text.matrix);
    out.u8(static_cast<uint8_t>(glyphBits));
    out.u8(static_cast<uint8_t>(advanceBits));
    for (const TextRecord& r : text.records) {
        out.align();
        out.u8(static_cast<uint8_t>(0x80 | (r.fontId ? 0x08 : 0) | (r.color ? 0x04 : 0)
            | (r.yOffset ? 0x02 : 0) | (r.xOffset ? 0x01 : 0)));
        if (r.fontId)
            out.u16(*r.fontId);
        if (r.color) {
            if (text.version >= 2)
                writeRgba(out, *r.color);
            else
                writeRgb(out, *r.color);
        }
        if (r.xOffset)
            out.u16(static_cast<uint16_t>(*r.xOffset));
        if (r.yOffset)
            out.u16(static_cast<uint16_t>(*r.yOffset));
        if (r.fontId)
            out.u16(r.height.value_or(240));
        out.u8(static_cast<uint8_t>(std::min<std::size_t>(r.glyphs.size(), 255)));
        for (std::size_t i = 0; i < r.glyphs.size() && i < 255; ++i) {
            out.ub(r.glyphs[i].index, glyphBits);
            out.sb(r.glyphs[i].advance, advanceBits);
        }
    }
    out.align();
    out.u8(0);
    return out.take();
}

EditTextDefinition readEditText(std::span<const uint8_t> body, std::vector<std::string>& warnings)
{
    EditTextDefinition t;
    BitReader in(body);
    t.bounds = readRect(in);
    const uint8_t a = in.u8();
    const uint8_t b = in.u8();
    const bool hasText = a & 0x80;
    t.wordWrap = a & 0x40;
    t.multiline = a & 0x20;
    t.password = a & 0x10;
    t.readOnly = a & 0x08;
    const bool hasColor = a & 0x04;
    const bool hasMaxLength = a & 0x02;
    const bool hasFont = a & 0x01;
    const bool hasFontClass = b & 0x80;
    t.autoSize = b & 0x40;
    t.hasLayout = b & 0x20;
    t.noSelect = b & 0x10;
    t.border = b & 0x08;
    t.wasStatic = b & 0x04;
    t.html = b & 0x02;
    t.useOutlines = b & 0x01;
    if (hasFont)
        t.fontId = in.u16();
    if (hasFontClass)
        t.fontClass = in.string();
    if (hasFont || hasFontClass)
        t.fontHeight = in.u16();
    if (hasColor)
        t.color = readRgba(in);
    if (hasMaxLength)
        t.maxLength = in.u16();
    if (t.hasLayout) {
        t.align = in.u8();
        t.leftMargin = in.u16();
        t.rightMargin = in.u16();
        t.indent = in.u16();
        t.leading = in.s16();
    }
    const bool headerRead = !in.overrun();
    t.variableName = in.string();
    if (hasText)
        t.initialText = in.string();
    if (in.overrun()) {
        warnings.push_back("DefineEditText: the tag ends early");
        if (!headerRead)
            t.hasLayout = false;
        if (hasText && t.initialText && t.initialText->empty())
            t.initialText.reset();
    }
    return t;
}

std::vector<uint8_t> encodeEditText(const EditTextDefinition& t)
{
    BitWriter out;
    writeRect(out, t.bounds);
    out.u8(static_cast<uint8_t>((t.initialText ? 0x80 : 0) | (t.wordWrap ? 0x40 : 0)
        | (t.multiline ? 0x20 : 0) | (t.password ? 0x10 : 0) | (t.readOnly ? 0x08 : 0) | (t.color ? 0x04 : 0)
        | (t.maxLength ? 0x02 : 0) | (t.fontId ? 0x01 : 0)));
    out.u8(static_cast<uint8_t>((t.fontClass ? 0x80 : 0) | (t.autoSize ? 0x40 : 0) | (t.hasLayout ? 0x20 : 0)
        | (t.noSelect ? 0x10 : 0) | (t.border ? 0x08 : 0) | (t.wasStatic ? 0x04 : 0) | (t.html ? 0x02 : 0)
        | (t.useOutlines ? 0x01 : 0)));
    if (t.fontId)
        out.u16(*t.fontId);
    if (t.fontClass)
        writeString(out, *t.fontClass);
    if (t.fontId || t.fontClass)
        out.u16(t.fontHeight);
    if (t.color)
        writeRgba(out, *t.color);
    if (t.maxLength)
        out.u16(*t.maxLength);
    if (t.hasLayout) {
        out.u8(t.align);
        out.u16(t.leftMargin);
        out.u16(t.rightMargin);
        out.u16(t.indent);
        out.u16(static_cast<uint16_t>(t.leading));
    }
    writeString(out, t.variableName);
    if (t.initialText)
        writeString(out, *t.initialText);
    return out.take();
}

} // namespace swf
