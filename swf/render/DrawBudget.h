#pragma once

#include "PaintCost.h"

#include <QSize>

class QPainterPath;
class QTransform;

namespace swf {

// The painting work one frame may take. A movie can ask for far more than any picture
// needs: a sprite that doubles itself fills the stage's twenty thousand instances with
// one detailed shape, thousands of masks each clip everything drawn above them, or one
// shape of tall zigzags chokes the rasteriser, and a frame would take minutes. Each
// painter call is estimated (PaintCost) before it is made; a call that does not fit in
// what is left of the frame's units is not made, and the rest of the frame is left
// undrawn. Ordinary frames of the era use a few percent of the budget.
class DrawBudget {
public:
    // About half a second of painting.
    static constexpr double kUnitsPerFrame = 1'000'000;
    // Units per element a path union handles (see PathUnion::work).
    static constexpr double kUnitsPerUnionWork = 2;

    // A new frame on a device of `device` pixels.
    void start(QSize device);
    bool spent() const { return used_ >= kUnitsPerFrame; }
    double used() const { return used_; }

    // Each of these takes the units of the call when they fit and returns true; otherwise
    // the budget is spent and the caller leaves the call unmade.
    bool fill(const QPainterPath& path, const QTransform& transform);
    bool stroke(const QPainterPath& path, const QTransform& transform, double width); // 0: hairline
    // A clip by `devicePath` on top of the clip in force; painting under it costs more.
    bool clip(const QPainterPath& devicePath);

    // The edges on each row of the clips in force. The caller keeps it in step with the
    // painter: it saves the load with the painter's state and puts it back on restore.
    double clipLoad() const { return clipLoad_; }
    void setClipLoad(double load) { clipLoad_ = load; }

    // Work already done, such as uniting mask outlines.
    void charge(double units);
    void chargeUnion(double work) { charge(work * kUnitsPerUnionWork); }

private:
    bool take(double units);

    PaintCost cost_;
    double used_ = 0;
    double clipLoad_ = 0;
};

} // namespace swf
