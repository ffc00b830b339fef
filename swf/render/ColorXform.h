#pragma once

#include "swf/format/Types.h"

#include <QColor>

#include <array>

namespace swf {

// A colour transform in floating point, so that the transforms of a whole branch of the
// display tree combine into one without overflowing the 8.8 fixed point of the file.
struct ColorXform {
    std::array<float, 4> mul { 1.f, 1.f, 1.f, 1.f }; // r, g, b, a
    std::array<float, 4> add { 0.f, 0.f, 0.f, 0.f }; // in 0..255 units

    static ColorXform from(const ColorTransform& cx);
    // This transform followed by `outer` (a child's transform, then its parent's).
    ColorXform then(const ColorXform& outer) const;
    QColor apply(const Rgba& color) const;
    bool isIdentity() const;
};

} // namespace swf
