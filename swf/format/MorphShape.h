#pragma once

#include "Shape.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf {

// DefineMorphShape and DefineMorphShape2: a shape given at its start and its end, shown
// at any ratio between them. Every style holds both ends; the two edge lists run side by
// side, edge for edge.
struct MorphGradientStop {
    uint8_t startRatio = 0;
    Rgba startColor;
    uint8_t endRatio = 0;
    Rgba endColor;
    friend bool operator==(const MorphGradientStop&, const MorphGradientStop&) = default;
};

struct MorphFill {
    FillStyle::Kind kind = FillStyle::Kind::Solid;
    Rgba startColor, endColor; // Solid
    Matrix startMatrix, endMatrix; // the gradient's or the bitmap's
    Gradient::Spread spread = Gradient::Spread::Pad;
    Gradient::Interpolation interpolation = Gradient::Interpolation::Normal;
    std::vector<MorphGradientStop> stops;
    double startFocal = 0, endFocal = 0;
    uint16_t bitmapId = 0;
    friend bool operator==(const MorphFill&, const MorphFill&) = default;
};

struct MorphLine {
    uint16_t startWidth = 20, endWidth = 20;
    Rgba startColor, endColor;
    LineStyle style; // caps, joins and scaling flags (DefineMorphShape2); width and colour unused
    std::optional<MorphFill> fill;
    friend bool operator==(const MorphLine&, const MorphLine&) = default;
};

struct MorphShape {
    uint8_t version = 1; // 1 or 2
    Rect startBounds, endBounds;
    std::vector<MorphFill> fills;
    std::vector<MorphLine> lines;
    std::vector<ShapeRecord> startRecords;
    std::vector<ShapeRecord> endRecords;
    friend bool operator==(const MorphShape&, const MorphShape&) = default;
};

// Reads the body (after the character id) of DefineMorphShape (version 1) or
// DefineMorphShape2 (version 2). What runs past the tag is left out with a warning; the
// styles and edges read before it are kept.
MorphShape readMorphShape(std::span<const uint8_t> body, uint8_t version, std::vector<std::string>& warnings);

// The shape at `ratio` (0 the start, 1 the end). Edges are paired in order; where one
// list runs out the rest keep their start. A straight edge paired with a curve becomes a
// curve through its middle.
Shape morphAt(const MorphShape& morph, double ratio);

// The body of a DefineMorphShape / DefineMorphShape2 (after the character id).
std::vector<uint8_t> encodeMorphShape(const MorphShape& morph);

} // namespace swf
