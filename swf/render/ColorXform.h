#pragma once

#include "swf/format/Types.h"

#include <QColor>

#include <array>
#include <vector>

namespace swf {

// The colour transforms from an object up to the stage, applied one level at a time the
// way the file's arithmetic does: each channel is multiplied by mult/256, the add is
// added, and the result is clamped to 0..255 before the next level up sees it. Combining
// the levels into one transform would lose that clamping (a parent that brightens a child
// its own transform has darkened to black shows it black, not brightened).
class ColorXform {
public:
    static ColorXform from(const ColorTransform& cx);
    // This transform (an inner level) followed by `outer`.
    ColorXform then(const ColorXform& outer) const;

    Rgba applyRgba(Rgba color) const;
    QColor apply(const Rgba& color) const;
    // Runs straight (not premultiplied) channels through every level.
    void applyInPlace(std::array<int, 4>& rgba) const;
    bool isIdentity() const { return levels_.empty(); }
    // True when every colour comes out fully transparent.
    bool hidesEverything() const;
    const std::vector<ColorTransform>& levels() const { return levels_; }

private:
    std::vector<ColorTransform> levels_; // innermost first; identity levels left out
};

} // namespace swf
