#include "ShapeWriter.h"

#include "Records.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

namespace swf {

namespace {

// Edge deltas are at most 17-bit signed fields (a 4-bit width, plus 2).
constexpr int64_t kMaxEdgeDelta = 65535;

bool fitsEdge(std::initializer_list<int64_t> deltas)
{
    return std::all_of(deltas.begin(), deltas.end(),
        [](int64_t d) { return d >= -kMaxEdgeDelta - 1 && d <= kMaxEdgeDelta; });
}

class ShapeEncoder {
public:
    ShapeEncoder(BitWriter& out, uint8_t version)
        : m_out(out)
        , m_version(version)
    {
    }

    void styles(const StyleTable& styles);
    // Writes the records and the end record. `fills`/`lines` are the sizes of the style
    // table in force at the start.
    void records(const std::vector<ShapeRecord>& records, size_t fills, size_t lines);

private:
    void fill(const FillStyle& fill);
    void line(const LineStyle& line);
    void color(Rgba c);
    void count(size_t n);
    void styleChange(const StyleChange& change);
    void straight(int64_t dx, int64_t dy);
    void curve(int64_t cdx, int64_t cdy, int64_t adx, int64_t ady);
    // Chooses index widths for the records from `from` up to the next new style table.
    void chooseBits(const std::vector<ShapeRecord>& records, size_t from, size_t fills, size_t lines);

    BitWriter& m_out;
    uint8_t m_version;
    unsigned m_fillBits = 0;
    unsigned m_lineBits = 0;
};

void ShapeEncoder::color(Rgba c)
{
    if (m_version >= 3)
        writeRgba(m_out, c);
    else
        writeRgb(m_out, c);
}

void ShapeEncoder::count(size_t n)
{
    // DefineShape has only the one-byte count; the writer keeps to what the tag can say.
    if (m_version < 2) {
        m_out.u8(uint8_t(std::min<size_t>(n, 0xFF)));
    } else if (n >= 0xFF) {
        m_out.u8(0xFF);
        m_out.u16(uint16_t(std::min<size_t>(n, 0xFFFF)));
    } else {
        m_out.u8(uint8_t(n));
    }
}

void ShapeEncoder::fill(const FillStyle& f)
{
    m_out.u8(uint8_t(f.kind));
    switch (f.kind) {
    case FillStyle::Kind::LinearGradient:
    case FillStyle::Kind::RadialGradient:
    case FillStyle::Kind::FocalRadialGradient: {
        writeMatrix(m_out, f.gradient.matrix);
        size_t stops = std::min<size_t>(f.gradient.stops.size(), 15);
        m_out.align();
        m_out.ub(uint32_t(f.gradient.spread), 2);
        m_out.ub(uint32_t(f.gradient.interpolation), 2);
        m_out.ub(uint32_t(stops), 4);
        for (size_t i = 0; i < stops; ++i) {
            m_out.u8(f.gradient.stops[i].ratio);
            color(f.gradient.stops[i].color);
        }
        if (f.kind == FillStyle::Kind::FocalRadialGradient)
            m_out.fixed8(f.gradient.focalPoint);
        break;
    }
    case FillStyle::Kind::RepeatingBitmap:
    case FillStyle::Kind::ClippedBitmap:
    case FillStyle::Kind::NonSmoothedRepeatingBitmap:
    case FillStyle::Kind::NonSmoothedClippedBitmap:
        m_out.u16(f.bitmapId);
        writeMatrix(m_out, f.bitmapMatrix);
        break;
    default:
        color(f.color);
        break;
    }
}

void ShapeEncoder::line(const LineStyle& l)
{
    m_out.u16(l.width);
    if (m_version < 4) {
        color(l.color);
        return;
    }
    m_out.ub(uint32_t(l.startCap), 2);
    m_out.ub(uint32_t(l.join), 2);
    m_out.ub(l.fill.has_value(), 1);
    m_out.ub(l.noHScale, 1);
    m_out.ub(l.noVScale, 1);
    m_out.ub(l.pixelHinting, 1);
    m_out.ub(0, 5);
    m_out.ub(l.noClose, 1);
    m_out.ub(uint32_t(l.endCap), 2);
    if (l.join == LineStyle::Join::Miter)
        m_out.ufixed8(l.miterLimit);
    if (l.fill)
        fill(*l.fill);
    else
        writeRgba(m_out, l.color);
}

void ShapeEncoder::styles(const StyleTable& styles)
{
    count(styles.fills.size());
    size_t fills = m_version < 2 ? std::min<size_t>(styles.fills.size(), 0xFF) : styles.fills.size();
    for (size_t i = 0; i < fills && i < 0xFFFF; ++i)
        fill(styles.fills[i]);
    count(styles.lines.size());
    size_t lines = m_version < 2 ? std::min<size_t>(styles.lines.size(), 0xFF) : styles.lines.size();
    for (size_t i = 0; i < lines && i < 0xFFFF; ++i)
        line(styles.lines[i]);
}

void ShapeEncoder::chooseBits(
    const std::vector<ShapeRecord>& records, size_t from, size_t fills, size_t lines)
{
    uint32_t maxFill = uint32_t(std::min<size_t>(fills, UINT32_MAX));
    uint32_t maxLine = uint32_t(std::min<size_t>(lines, UINT32_MAX));
    for (size_t i = from; i < records.size(); ++i) {
        auto* change = std::get_if<StyleChange>(&records[i]);
        if (!change)
            continue;
        // A record's own indices come before its new styles, in the old widths.
        maxFill = std::max({ maxFill, change->fill0.value_or(0), change->fill1.value_or(0) });
        maxLine = std::max(maxLine, change->line.value_or(0));
        if (change->newStyles)
            break;
    }
    m_fillBits = std::min(BitWriter::unsignedBits(maxFill), 15u);
    m_lineBits = std::min(BitWriter::unsignedBits(maxLine), 15u);
    m_out.ub(m_fillBits, 4);
    m_out.ub(m_lineBits, 4);
}

void ShapeEncoder::styleChange(const StyleChange& change)
{
    m_out.ub(0, 1);
    m_out.ub(change.newStyles.has_value(), 1);
    m_out.ub(change.line.has_value(), 1);
    m_out.ub(change.fill1.has_value(), 1);
    m_out.ub(change.fill0.has_value(), 1);
    m_out.ub(change.moveTo.has_value(), 1);
    if (change.moveTo) {
        int32_t x = clampSb31(change.moveTo->x);
        int32_t y = clampSb31(change.moveTo->y);
        unsigned bits = std::max(BitWriter::signedBits(x), BitWriter::signedBits(y));
        m_out.ub(bits, 5);
        m_out.sb(x, bits);
        m_out.sb(y, bits);
    }
    if (change.fill0)
        m_out.ub(*change.fill0, m_fillBits);
    if (change.fill1)
        m_out.ub(*change.fill1, m_fillBits);
    if (change.line)
        m_out.ub(*change.line, m_lineBits);
}

void ShapeEncoder::straight(int64_t dx, int64_t dy)
{
    if (!fitsEdge({ dx, dy })) {
        // Split into equal pieces whose deltas add up exactly to the whole edge.
        int64_t longest = std::max(std::abs(dx), std::abs(dy));
        int64_t pieces = (longest + kMaxEdgeDelta - 1) / kMaxEdgeDelta;
        int64_t doneX = 0;
        int64_t doneY = 0;
        for (int64_t i = 1; i <= pieces; ++i) {
            int64_t x = dx * i / pieces;
            int64_t y = dy * i / pieces;
            straight(x - doneX, y - doneY);
            doneX = x;
            doneY = y;
        }
        return;
    }
    unsigned bits = std::max({ BitWriter::signedBits(int32_t(dx)), BitWriter::signedBits(int32_t(dy)), 2u });
    m_out.ub(1, 1); // edge
    m_out.ub(1, 1); // straight
    m_out.ub(bits - 2, 4);
    if (dx != 0 && dy != 0) {
        m_out.ub(1, 1); // general line
        m_out.sb(int32_t(dx), bits);
        m_out.sb(int32_t(dy), bits);
    } else if (dx == 0) {
        m_out.ub(0, 1);
        m_out.ub(1, 1); // vertical
        m_out.sb(int32_t(dy), bits);
    } else {
        m_out.ub(0, 1);
        m_out.ub(0, 1); // horizontal
        m_out.sb(int32_t(dx), bits);
    }
}

void ShapeEncoder::curve(int64_t cdx, int64_t cdy, int64_t adx, int64_t ady)
{
    if (!fitsEdge({ cdx, cdy, adx, ady })) {
        // Halve the curve (de Casteljau at t = 1/2) in absolute coordinates relative to
        // its start, so that the two halves meet the original end point exactly.
        int64_t cx = cdx, cy = cdy;
        int64_t ex = cdx + adx, ey = cdy + ady;
        int64_t q0x = cx / 2, q0y = cy / 2;
        int64_t q1x = (cx + ex) / 2, q1y = (cy + ey) / 2;
        int64_t mx = (q0x + q1x) / 2, my = (q0y + q1y) / 2;
        curve(q0x, q0y, mx - q0x, my - q0y);
        curve(q1x - mx, q1y - my, ex - q1x, ey - q1y);
        return;
    }
    unsigned bits = std::max({ BitWriter::signedBits(int32_t(cdx)), BitWriter::signedBits(int32_t(cdy)),
        BitWriter::signedBits(int32_t(adx)), BitWriter::signedBits(int32_t(ady)), 2u });
    m_out.ub(1, 1); // edge
    m_out.ub(0, 1); // curved
    m_out.ub(bits - 2, 4);
    m_out.sb(int32_t(cdx), bits);
    m_out.sb(int32_t(cdy), bits);
    m_out.sb(int32_t(adx), bits);
    m_out.sb(int32_t(ady), bits);
}

void ShapeEncoder::records(const std::vector<ShapeRecord>& records, size_t fills, size_t lines)
{
    chooseBits(records, 0, fills, lines);
    for (size_t i = 0; i < records.size(); ++i) {
        const ShapeRecord& record = records[i];
        if (auto* change = std::get_if<StyleChange>(&record)) {
            styleChange(*change);
            if (change->newStyles) {
                styles(*change->newStyles);
                chooseBits(records, i + 1, change->newStyles->fills.size(), change->newStyles->lines.size());
            }
        } else if (auto* edge = std::get_if<StraightEdge>(&record)) {
            straight(edge->dx, edge->dy);
        } else if (auto* curved = std::get_if<CurvedEdge>(&record)) {
            curve(curved->controlDx, curved->controlDy, curved->anchorDx, curved->anchorDy);
        }
    }
    m_out.ub(0, 6); // end record
    m_out.align();
}

} // namespace

void writeDefineShape(BitWriter& out, const Shape& shape)
{
    writeRect(out, shape.bounds);
    if (shape.version >= 4) {
        writeRect(out, shape.edgeBounds.value_or(shape.bounds));
        bool nonScaling = false;
        bool scaling = false;
        for (const LineStyle& line : shape.styles.lines) {
            if (line.noHScale || line.noVScale)
                nonScaling = true;
            else
                scaling = true;
        }
        out.u8(uint8_t((shape.nonZeroWinding ? 0x04 : 0) | (nonScaling ? 0x02 : 0) | (scaling ? 0x01 : 0)));
    }
    ShapeEncoder encoder(out, shape.version);
    encoder.styles(shape.styles);
    encoder.records(shape.records, shape.styles.fills.size(), shape.styles.lines.size());
}

void writeGlyph(BitWriter& out, const std::vector<ShapeRecord>& records)
{
    ShapeEncoder encoder(out, 1);
    encoder.records(records, 0, 0);
}

} // namespace swf
