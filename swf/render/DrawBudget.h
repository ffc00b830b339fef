#pragma once

#include <QSize>

namespace swf {

class Rasterizer;

// The painting work one frame may take. A movie can ask for far more than any picture
// needs: a sprite that doubles itself fills the stage's twenty thousand instances with
// one detailed shape, thousands of masks each clip everything drawn above them, or one
// shape of tall zigzags crosses every row thousands of times, and a frame would take
// minutes. Each paint is estimated before it is made; one that does not fit in what is
// left of the frame's units is not made, and the rest of the frame is left undrawn.
// Ordinary frames of the era use a few percent of the budget.
//
// A unit is about half a microsecond of a desktop's time. The rasteriser's work grows
// with the edges it sorts, the rows each edge crosses, and the pixels each style spans
// (summed, mixed and laid on the picture); Qt's stroker's with the elements of the path
// it strokes; making a mask with its pixels.
class DrawBudget {
public:
    // About half a second of painting.
    static constexpr double kUnitsPerFrame = 1'000'000;
    static constexpr double kUnitsPerElement = 0.2; // a path element mapped, flattened or stroked
    static constexpr double kUnitsPerEdge = 0.15; // an edge set up and sorted
    static constexpr double kUnitsPerRowCrossing = 0.03;
    static constexpr double kUnitsPerPixel = 0.012;
    // Units per element a path union handles (see PathUnion::work).
    static constexpr double kUnitsPerUnionWork = 2;

    // A new frame on a device of `device` pixels.
    void start(QSize device);
    bool spent() const { return used_ >= kUnitsPerFrame; }
    double used() const { return used_; }

    // Working through a path of `elements` elements (mapping, flattening, stroking).
    bool elements(double elements);
    // The edges a rasteriser may still take before its sweep no longer fits.
    double edgesLeft() const;
    // The rasteriser's sweep, estimated from its edges and the area they span.
    bool raster(const Rasterizer& rasterizer);
    // Touching `count` pixels once, as making a mask does.
    bool pixels(double count);

    // Work already done, such as uniting outlines.
    void charge(double units);
    void chargeUnion(double work) { charge(work * kUnitsPerUnionWork); }

private:
    bool take(double units);

    QSize device_;
    double used_ = 0;
};

} // namespace swf
