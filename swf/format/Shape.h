#pragma once

#include "Types.h"

#include <optional>
#include <variant>
#include <vector>

namespace swf {

struct GradientStop {
    uint8_t ratio = 0;
    Rgba color;
    friend bool operator==(const GradientStop&, const GradientStop&) = default;
};

struct Gradient {
    enum class Spread : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
    enum class Interpolation : uint8_t { Normal = 0, Linear = 1 };
    Matrix matrix; // maps the gradient square (-16384..16384 twips) to shape space
    Spread spread = Spread::Pad;
    Interpolation interpolation = Interpolation::Normal;
    std::vector<GradientStop> stops;
    double focalPoint = 0.0; // -1..1, focal radial gradients only
    friend bool operator==(const Gradient&, const Gradient&) = default;
};

struct FillStyle {
    // Values are the FillStyleType bytes of the file.
    enum class Kind : uint8_t {
        Solid = 0x00,
        LinearGradient = 0x10,
        RadialGradient = 0x12,
        FocalRadialGradient = 0x13,
        RepeatingBitmap = 0x40,
        ClippedBitmap = 0x41,
        NonSmoothedRepeatingBitmap = 0x42,
        NonSmoothedClippedBitmap = 0x43,
    };
    Kind kind = Kind::Solid;
    Rgba color; // Solid
    Gradient gradient; // the gradient kinds
    uint16_t bitmapId = 0;
    Matrix bitmapMatrix;
    friend bool operator==(const FillStyle&, const FillStyle&) = default;
};

struct LineStyle {
    uint16_t width = 20; // twips
    Rgba color;
    // LINESTYLE2 (DefineShape4) extras; defaults are those of LINESTYLE.
    enum class Cap : uint8_t { Round = 0, None = 1, Square = 2 };
    enum class Join : uint8_t { Round = 0, Bevel = 1, Miter = 2 };
    Cap startCap = Cap::Round;
    Cap endCap = Cap::Round;
    Join join = Join::Round;
    double miterLimit = 3.0;
    bool noHScale = false;
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    std::optional<FillStyle> fill; // a LINESTYLE2 may be filled instead of coloured
    friend bool operator==(const LineStyle&, const LineStyle&) = default;
};

struct StyleTable {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    friend bool operator==(const StyleTable&, const StyleTable&) = default;
};

// STYLECHANGERECORD. Style indices are 1-based as in the file; 0 means "none".
struct StyleChange {
    std::optional<Point> moveTo; // absolute, in shape space
    std::optional<uint32_t> fill0;
    std::optional<uint32_t> fill1;
    std::optional<uint32_t> line;
    std::optional<StyleTable> newStyles; // DefineShape2 and later
    friend bool operator==(const StyleChange&, const StyleChange&) = default;
};

// STRAIGHTEDGERECORD / CURVEDEDGERECORD, as deltas from the current point.
struct StraightEdge {
    int32_t dx = 0;
    int32_t dy = 0;
    friend bool operator==(const StraightEdge&, const StraightEdge&) = default;
};

struct CurvedEdge {
    int32_t controlDx = 0;
    int32_t controlDy = 0;
    int32_t anchorDx = 0;
    int32_t anchorDy = 0;
    friend bool operator==(const CurvedEdge&, const CurvedEdge&) = default;
};

using ShapeRecord = std::variant<StyleChange, StraightEdge, CurvedEdge>;

// DefineShape 1..4 (and the glyph SHAPEs of fonts, which have no styles of their own).
struct Shape {
    uint8_t version = 1; // 1..4: which DefineShape tag it came from / goes to
    Rect bounds;
    std::optional<Rect> edgeBounds; // DefineShape4
    bool nonZeroWinding = false; // DefineShape4 UsesFillWindingRule: fill by non-zero, not even-odd
    StyleTable styles;
    std::vector<ShapeRecord> records;
    friend bool operator==(const Shape&, const Shape&) = default;
};

} // namespace swf
