#include "MorphShape.h"

#include "BitWriter.h"
#include "ParseContext.h"
#include "Records.h"
#include "ShapeReader.h"
#include "ShapeWriter.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace swf {
namespace {

class MorphReader {
public:
    MorphReader(BitReader& in, uint8_t version, std::vector<std::string>& warnings)
        : in_(in)
        , version_(version)
        , warnings_(warnings)
    {
    }

    bool fill(MorphFill& f)
    {
        const uint8_t type = in_.u8();
        switch (type) {
        case 0x00:
            f.kind = FillStyle::Kind::Solid;
            f.startColor = readRgba(in_);
            f.endColor = readRgba(in_);
            break;
        case 0x10:
        case 0x12:
        case 0x13: {
            f.kind = FillStyle::Kind(type);
            f.startMatrix = readMatrix(in_);
            f.endMatrix = readMatrix(in_);
            in_.align();
            f.spread = Gradient::Spread(in_.ub(2));
            f.interpolation = Gradient::Interpolation(in_.ub(2));
            const unsigned count = in_.ub(4);
            for (unsigned i = 0; i < count && !in_.overrun(); ++i) {
                MorphGradientStop s;
                s.startRatio = in_.u8();
                s.startColor = readRgba(in_);
                s.endRatio = in_.u8();
                s.endColor = readRgba(in_);
                f.stops.push_back(s);
            }
            if (type == 0x13) {
                f.startFocal = in_.fixed8();
                f.endFocal = in_.fixed8();
            }
            break;
        }
        case 0x40:
        case 0x41:
        case 0x42:
        case 0x43:
            f.kind = FillStyle::Kind(type);
            f.bitmapId = in_.u16();
            f.startMatrix = readMatrix(in_);
            f.endMatrix = readMatrix(in_);
            break;
        default:
            if (!in_.overrun())
                warn("unknown fill style type " + std::to_string(type)
                    + "; the rest of the shape is not read");
            return false;
        }
        return !in_.overrun();
    }

    bool line(MorphLine& l)
    {
        l.startWidth = in_.u16();
        l.endWidth = in_.u16();
        if (version_ < 2) {
            l.startColor = readRgba(in_);
            l.endColor = readRgba(in_);
            return !in_.overrun();
        }
        LineStyle& s = l.style;
        s.startCap = LineStyle::Cap(in_.ub(2));
        s.join = LineStyle::Join(in_.ub(2));
        const bool hasFill = in_.ub(1);
        s.noHScale = in_.ub(1);
        s.noVScale = in_.ub(1);
        s.pixelHinting = in_.ub(1);
        in_.ub(5);
        s.noClose = in_.ub(1);
        s.endCap = LineStyle::Cap(in_.ub(2));
        if (s.join == LineStyle::Join::Miter)
            s.miterLimit = in_.ufixed8();
        if (hasFill) {
            MorphFill f;
            if (!fill(f))
                return false;
            l.fill = std::move(f);
        } else {
            l.startColor = readRgba(in_);
            l.endColor = readRgba(in_);
        }
        return !in_.overrun();
    }

    uint32_t count()
    {
        uint32_t n = in_.u8();
        if (n == 0xFF)
            n = in_.u16();
        return n;
    }

    void warn(const std::string& why)
    {
        if (!warned_)
            warnings_.push_back("DefineMorphShape: " + why);
        warned_ = true;
    }

private:
    BitReader& in_;
    uint8_t version_;
    std::vector<std::string>& warnings_;
    bool warned_ = false;
};

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

int32_t mixInt(int64_t a, int64_t b, double t)
{
    const double v = std::round(mix(double(a), double(b), t));
    return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

Rgba mixColor(Rgba a, Rgba b, double t)
{
    const auto c = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(mix(x, y, t))); };
    return { c(a.r, b.r), c(a.g, b.g), c(a.b, b.b), c(a.a, b.a) };
}

Matrix mixMatrix(const Matrix& a, const Matrix& b, double t)
{
    return { mix(a.a, b.a, t), mix(a.b, b.b, t), mix(a.c, b.c, t), mix(a.d, b.d, t), mixInt(a.tx, b.tx, t),
        mixInt(a.ty, b.ty, t) };
}

Rect mixRect(const Rect& a, const Rect& b, double t)
{
    return { mixInt(a.xMin, b.xMin, t), mixInt(a.xMax, b.xMax, t), mixInt(a.yMin, b.yMin, t),
        mixInt(a.yMax, b.yMax, t) };
}

FillStyle fillAt(const MorphFill& f, double t)
{
    FillStyle out;
    out.kind = f.kind;
    out.color = mixColor(f.startColor, f.endColor, t);
    out.gradient.matrix = mixMatrix(f.startMatrix, f.endMatrix, t);
    out.gradient.spread = f.spread;
    out.gradient.interpolation = f.interpolation;
    out.gradient.focalPoint = mix(f.startFocal, f.endFocal, t);
    for (const MorphGradientStop& s : f.stops)
        out.gradient.stops.push_back({ static_cast<uint8_t>(std::lround(mix(s.startRatio, s.endRatio, t))),
            mixColor(s.startColor, s.endColor, t) });
    out.bitmapId = f.bitmapId;
    out.bitmapMatrix = out.gradient.matrix;
    return out;
}

// One edge in absolute twips, straight edges as curves through their middle when paired
// with a curve.
struct AbsEdge {
    bool curved = false;
    int64_t cx = 0, cy = 0, ax = 0, ay = 0;
};

AbsEdge absolute(const ShapeRecord& r, int64_t& x, int64_t& y)
{
    AbsEdge e;
    if (const auto* s = std::get_if<StraightEdge>(&r)) {
        e.cx = x + s->dx / 2.0;
        e.cy = y + s->dy / 2.0;
        x += s->dx;
        y += s->dy;
    } else if (const auto* c = std::get_if<CurvedEdge>(&r)) {
        e.curved = true;
        e.cx = x + c->controlDx;
        e.cy = y + c->controlDy;
        x = e.cx + c->anchorDx;
        y = e.cy + c->anchorDy;
    }
    e.ax = x;
    e.ay = y;
    return e;
}

} // namespace

MorphShape readMorphShape(std::span<const uint8_t> body, uint8_t version, std::vector<std::string>& warnings)
{
    MorphShape m;
    m.version = version;
    BitReader in(body);
    MorphReader reader(in, version, warnings);
    m.startBounds = readRect(in);
    m.endBounds = readRect(in);
    if (version >= 2) {
        readRect(in); // start edge bounds
        readRect(in); // end edge bounds
        in.u8(); // reserved and stroke scaling flags
    }
    const uint32_t offset = in.u32();
    const size_t endEdgesAt = in.position() + offset;
    if (in.overrun()) {
        reader.warn("the tag ends inside its header");
        return m;
    }
    const uint32_t fills = reader.count();
    for (uint32_t i = 0; i < fills && !in.overrun(); ++i) {
        MorphFill f;
        if (!reader.fill(f))
            return m;
        m.fills.push_back(std::move(f));
    }
    const uint32_t lines = reader.count();
    for (uint32_t i = 0; i < lines && !in.overrun(); ++i) {
        MorphLine l;
        if (!reader.line(l))
            return m;
        m.lines.push_back(std::move(l));
    }
    if (in.overrun()) {
        reader.warn("the style tables run past the end of the tag");
        return m;
    }
    // Records cost about forty bytes of model for every byte of file; the tag's own size
    // bounds them.
    std::vector<std::string> shapeWarnings;
    ParseContext context { Warnings(shapeWarnings, 4), Budget(body.size() * 64 + 4096), ParseLimits {} };
    ShapeReader shapes(in, 3, context, "DefineMorphShape start edges");
    m.startRecords = shapes.readGlyph();
    if (endEdgesAt <= body.size()) {
        BitReader end(body.subspan(endEdgesAt));
        ShapeReader endShapes(end, 3, context, "DefineMorphShape end edges");
        m.endRecords = endShapes.readGlyph();
    } else {
        reader.warn("the end edges' offset lies past the end of the tag");
    }
    for (std::string& w : shapeWarnings)
        warnings.push_back(std::move(w));
    return m;
}

Shape morphAt(const MorphShape& morph, double t)
{
    t = std::clamp(std::isfinite(t) ? t : 0.0, 0.0, 1.0);
    Shape shape;
    shape.version = 4;
    shape.bounds = mixRect(morph.startBounds, morph.endBounds, t);
    for (const MorphFill& f : morph.fills)
        shape.styles.fills.push_back(fillAt(f, t));
    for (const MorphLine& l : morph.lines) {
        LineStyle s = l.style;
        s.width = static_cast<uint16_t>(std::lround(mix(l.startWidth, l.endWidth, t)));
        s.color = mixColor(l.startColor, l.endColor, t);
        if (l.fill)
            s.fill = fillAt(*l.fill, t);
        shape.styles.lines.push_back(std::move(s));
    }

    int64_t sx = 0, sy = 0; // the pens of the two edge lists
    int64_t ex = 0, ey = 0;
    int64_t px = 0, py = 0; // the pen of the shape made, as written
    std::size_t next = 0; // the next end record
    const auto& end = morph.endRecords;
    const auto lerp = [t](int64_t a, int64_t b) { return static_cast<int64_t>(mixInt(a, b, t)); };
    for (const ShapeRecord& record : morph.startRecords) {
        if (const auto* change = std::get_if<StyleChange>(&record)) {
            StyleChange out = *change;
            out.newStyles.reset();
            std::optional<Point> endMove;
            if (next < end.size()) {
                if (const auto* endChange = std::get_if<StyleChange>(&end[next])) {
                    endMove = endChange->moveTo;
                    ++next;
                }
            }
            if (change->moveTo) {
                sx = change->moveTo->x;
                sy = change->moveTo->y;
                if (endMove) {
                    ex = endMove->x;
                    ey = endMove->y;
                } else {
                    ex = sx;
                    ey = sy;
                }
                px = lerp(sx, ex);
                py = lerp(sy, ey);
                out.moveTo = Point { static_cast<int32_t>(px), static_cast<int32_t>(py) };
            }
            shape.records.push_back(std::move(out));
            continue;
        }
        const AbsEdge a = absolute(record, sx, sy);
        while (next < end.size() && std::holds_alternative<StyleChange>(end[next]))
            ++next;
        AbsEdge b;
        if (next < end.size()) {
            b = absolute(end[next++], ex, ey);
        } else {
            b = a;
            ex = a.ax;
            ey = a.ay;
        }
        const int64_t ax = lerp(a.ax, b.ax), ay = lerp(a.ay, b.ay);
        if (!a.curved && !b.curved) {
            shape.records.push_back(
                StraightEdge { static_cast<int32_t>(ax - px), static_cast<int32_t>(ay - py) });
        } else {
            const int64_t cx = lerp(a.cx, b.cx), cy = lerp(a.cy, b.cy);
            shape.records.push_back(CurvedEdge { static_cast<int32_t>(cx - px), static_cast<int32_t>(cy - py),
                static_cast<int32_t>(ax - cx), static_cast<int32_t>(ay - cy) });
        }
        px = ax;
        py = ay;
    }
    return shape;
}

namespace {

void writeMorphFill(BitWriter& out, const MorphFill& f)
{
    out.u8(static_cast<uint8_t>(f.kind));
    switch (f.kind) {
    case FillStyle::Kind::Solid:
        writeRgba(out, f.startColor);
        writeRgba(out, f.endColor);
        break;
    case FillStyle::Kind::LinearGradient:
    case FillStyle::Kind::RadialGradient:
    case FillStyle::Kind::FocalRadialGradient:
        writeMatrix(out, f.startMatrix);
        writeMatrix(out, f.endMatrix);
        out.align();
        out.ub(static_cast<uint32_t>(f.spread), 2);
        out.ub(static_cast<uint32_t>(f.interpolation), 2);
        out.ub(static_cast<uint32_t>(std::min<std::size_t>(f.stops.size(), 15)), 4);
        for (std::size_t i = 0; i < f.stops.size() && i < 15; ++i) {
            out.u8(f.stops[i].startRatio);
            writeRgba(out, f.stops[i].startColor);
            out.u8(f.stops[i].endRatio);
            writeRgba(out, f.stops[i].endColor);
        }
        if (f.kind == FillStyle::Kind::FocalRadialGradient) {
            out.fixed8(f.startFocal);
            out.fixed8(f.endFocal);
        }
        break;
    default:
        out.u16(f.bitmapId);
        writeMatrix(out, f.startMatrix);
        writeMatrix(out, f.endMatrix);
        break;
    }
}

void writeCount(BitWriter& out, std::size_t n)
{
    if (n < 0xFF) {
        out.u8(static_cast<uint8_t>(n));
    } else {
        out.u8(0xFF);
        out.u16(static_cast<uint16_t>(std::min<std::size_t>(n, 0xFFFF)));
    }
}

} // namespace

std::vector<uint8_t> encodeMorphShape(const MorphShape& m)
{
    BitWriter head;
    writeRect(head, m.startBounds);
    writeRect(head, m.endBounds);
    if (m.version >= 2) {
        writeRect(head, m.startBounds);
        writeRect(head, m.endBounds);
        head.u8(0);
    }
    BitWriter styles;
    writeCount(styles, m.fills.size());
    for (const MorphFill& f : m.fills)
        writeMorphFill(styles, f);
    writeCount(styles, m.lines.size());
    for (const MorphLine& l : m.lines) {
        styles.u16(l.startWidth);
        styles.u16(l.endWidth);
        if (m.version >= 2) {
            const LineStyle& s = l.style;
            styles.ub(static_cast<uint32_t>(s.startCap), 2);
            styles.ub(static_cast<uint32_t>(s.join), 2);
            styles.ub(l.fill ? 1 : 0, 1);
            styles.ub(s.noHScale, 1);
            styles.ub(s.noVScale, 1);
            styles.ub(s.pixelHinting, 1);
            styles.ub(0, 5);
            styles.ub(s.noClose, 1);
            styles.ub(static_cast<uint32_t>(s.endCap), 2);
            if (s.join == LineStyle::Join::Miter)
                styles.ufixed8(s.miterLimit);
            if (l.fill) {
                writeMorphFill(styles, *l.fill);
                continue;
            }
        }
        writeRgba(styles, l.startColor);
        writeRgba(styles, l.endColor);
    }
    BitWriter start;
    writeGlyph(start, m.startRecords);
    BitWriter end;
    writeGlyph(end, m.endRecords);

    const std::vector<uint8_t> stylesBytes = styles.take();
    const std::vector<uint8_t> startBytes = start.take();
    head.u32(static_cast<uint32_t>(stylesBytes.size() + startBytes.size()));
    std::vector<uint8_t> body = head.take();
    body.insert(body.end(), stylesBytes.begin(), stylesBytes.end());
    body.insert(body.end(), startBytes.begin(), startBytes.end());
    const std::vector<uint8_t> endBytes = end.take();
    body.insert(body.end(), endBytes.begin(), endBytes.end());
    return body;
}

} // namespace swf
