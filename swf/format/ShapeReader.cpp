#include "ShapeReader.h"

#include "Records.h"

namespace swf {

ShapeReader::ShapeReader(BitReader& in, uint8_t version, ParseContext& context, std::string what)
    : m_in(in)
    , m_version(version)
    , m_context(context)
    , m_what(std::move(what))
{
}

void ShapeReader::stop(const std::string& why)
{
    if (!m_stopped)
        m_context.warnings.add(m_what + ": " + why);
    m_stopped = true;
}

Shape ShapeReader::readDefineShape()
{
    Shape shape;
    shape.version = m_version;
    shape.bounds = readRect(m_in);
    if (m_version >= 4) {
        Rect edges = readRect(m_in);
        uint8_t flags = m_in.u8();
        // Every DefineShape4 has edge bounds; when they are lost the outer bounds
        // are the closest stand-in.
        shape.edgeBounds = m_in.overrun() ? shape.bounds : edges;
        if (!m_in.overrun())
            shape.nonZeroWinding = flags & 0x04;
    }
    if (m_in.overrun()) {
        stop("the tag ends inside the shape bounds");
        return shape;
    }
    if (readStyles(shape.styles))
        readRecords(shape.records);
    return shape;
}

std::vector<ShapeRecord> ShapeReader::readGlyph()
{
    std::vector<ShapeRecord> records;
    readRecords(records);
    return records;
}

Rgba ShapeReader::readColor()
{
    return m_version >= 3 ? readRgba(m_in) : readRgb(m_in);
}

// Reads a FILLSTYLEARRAY and a LINESTYLEARRAY. The counts are never used to reserve:
// styles are added one by one as they are really read.
bool ShapeReader::readStyles(StyleTable& styles)
{
    auto readCount = [&] {
        uint32_t count = m_in.u8();
        if (count == 0xFF && m_version >= 2)
            count = m_in.u16();
        return count;
    };
    uint32_t fillCount = readCount();
    for (uint32_t i = 0; i < fillCount && !m_stopped; ++i) {
        FillStyle fill;
        if (!readFill(fill))
            return false;
        if (!m_context.budget.spend(sizeof(FillStyle) + fill.gradient.stops.size() * sizeof(GradientStop))) {
            stop("the movie is too large to keep in memory");
            return false;
        }
        styles.fills.push_back(std::move(fill));
    }
    uint32_t lineCount = readCount();
    for (uint32_t i = 0; i < lineCount && !m_stopped; ++i) {
        LineStyle line;
        if (!readLine(line))
            return false;
        if (!m_context.budget.spend(sizeof(LineStyle))) {
            stop("the movie is too large to keep in memory");
            return false;
        }
        styles.lines.push_back(std::move(line));
    }
    if (m_in.overrun()) {
        stop("the style table runs past the end of the tag");
        return false;
    }
    return !m_stopped;
}

bool ShapeReader::readFill(FillStyle& fill)
{
    uint8_t type = m_in.u8();
    switch (type) {
    case 0x00:
        fill.kind = FillStyle::Kind::Solid;
        fill.color = readColor();
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        fill.kind = FillStyle::Kind(type);
        fill.gradient.matrix = readMatrix(m_in);
        readGradient(fill.gradient, type == 0x13);
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        fill.kind = FillStyle::Kind(type);
        fill.bitmapId = m_in.u16();
        fill.bitmapMatrix = readMatrix(m_in);
        break;
    default:
        if (m_in.overrun())
            stop("the style table runs past the end of the tag");
        else
            // The size of an unknown fill is unknown, so nothing after it can be found.
            stop("unknown fill style type " + std::to_string(type) + "; the rest of the shape is not read");
        return false;
    }
    if (m_in.overrun()) {
        stop("the style table runs past the end of the tag");
        return false;
    }
    return true;
}

void ShapeReader::readGradient(Gradient& gradient, bool focal)
{
    m_in.align();
    gradient.spread = Gradient::Spread(m_in.ub(2));
    gradient.interpolation = Gradient::Interpolation(m_in.ub(2));
    unsigned count = m_in.ub(4);
    for (unsigned i = 0; i < count && !m_in.overrun(); ++i) {
        GradientStop stop;
        stop.ratio = m_in.u8();
        stop.color = readColor();
        gradient.stops.push_back(stop);
    }
    if (focal)
        gradient.focalPoint = m_in.fixed8();
}

bool ShapeReader::readLine(LineStyle& line)
{
    line.width = m_in.u16();
    if (m_version < 4) {
        line.color = readColor();
    } else {
        line.startCap = LineStyle::Cap(m_in.ub(2));
        line.join = LineStyle::Join(m_in.ub(2));
        bool hasFill = m_in.ub(1);
        line.noHScale = m_in.ub(1);
        line.noVScale = m_in.ub(1);
        line.pixelHinting = m_in.ub(1);
        m_in.ub(5); // reserved
        line.noClose = m_in.ub(1);
        line.endCap = LineStyle::Cap(m_in.ub(2));
        if (line.join == LineStyle::Join::Miter)
            line.miterLimit = m_in.ufixed8();
        if (hasFill) {
            FillStyle fill;
            if (!readFill(fill))
                return false;
            line.fill = std::move(fill);
        } else {
            line.color = readRgba(m_in);
        }
    }
    if (m_in.overrun()) {
        stop("the style table runs past the end of the tag");
        return false;
    }
    return true;
}

// SHAPERECORDs up to the end record. Edges come as deltas; moveTo is absolute.
void ShapeReader::readRecords(std::vector<ShapeRecord>& records)
{
    unsigned fillBits = m_in.ub(4);
    unsigned lineBits = m_in.ub(4);
    while (!m_stopped) {
        if (m_in.overrun()) {
            stop("the shape runs past the end of the tag; kept " + std::to_string(records.size())
                + " records");
            return;
        }
        if (!m_context.budget.spend(sizeof(ShapeRecord))) {
            stop("the movie is too large to keep in memory");
            return;
        }
        bool isEdge = m_in.ub(1);
        if (!isEdge) {
            unsigned flags = m_in.ub(5);
            if (flags == 0 && !m_in.overrun())
                return; // EndShapeRecord
            StyleChange change;
            if (flags & 0x01) {
                unsigned bits = m_in.ub(5);
                int32_t x = m_in.sb(bits);
                int32_t y = m_in.sb(bits);
                change.moveTo = Point { x, y };
            }
            if (flags & 0x02)
                change.fill0 = m_in.ub(fillBits);
            if (flags & 0x04)
                change.fill1 = m_in.ub(fillBits);
            if (flags & 0x08)
                change.line = m_in.ub(lineBits);
            if (flags & 0x10) {
                StyleTable styles;
                if (!readStyles(styles))
                    return;
                change.newStyles = std::move(styles);
                fillBits = m_in.ub(4);
                lineBits = m_in.ub(4);
            }
            if (m_in.overrun())
                continue; // reported at the top of the loop
            records.push_back(std::move(change));
            continue;
        }
        bool straight = m_in.ub(1);
        unsigned bits = m_in.ub(4) + 2;
        if (straight) {
            StraightEdge edge;
            if (m_in.ub(1)) {
                edge.dx = m_in.sb(bits);
                edge.dy = m_in.sb(bits);
            } else if (m_in.ub(1)) {
                edge.dy = m_in.sb(bits);
            } else {
                edge.dx = m_in.sb(bits);
            }
            if (!m_in.overrun())
                records.push_back(edge);
        } else {
            CurvedEdge edge;
            edge.controlDx = m_in.sb(bits);
            edge.controlDy = m_in.sb(bits);
            edge.anchorDx = m_in.sb(bits);
            edge.anchorDy = m_in.sb(bits);
            if (!m_in.overrun())
                records.push_back(edge);
        }
    }
}

} // namespace swf
