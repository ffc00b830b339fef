#pragma once

#include <QRgb>

#include <cstdint>

namespace swf {

// How an object's picture meets what lies under it, as PlaceObject3 and scripts name it.
// Every mode but Normal draws the object into a layer of its own first and lays the
// finished layer down in one go; Alpha and Erase work on their parent's layer.
enum class BlendMode : uint8_t {
    Normal = 1,
    Layer,
    Multiply,
    Screen,
    Lighten,
    Darken,
    Difference,
    Add,
    Subtract,
    Invert,
    Alpha,
    Erase,
    Overlay,
    Hardlight,
};

// The mode a BlendMode byte names; 0 and values past Hardlight are Normal.
BlendMode blendModeOf(uint8_t value);

// Lays `count` premultiplied pixels of a layer on `dst` in `mode`, each weighted by
// `coverage` (0..255, null for all of it).
void blendRow(QRgb* dst, const QRgb* src, int count, BlendMode mode, const uint8_t* coverage);

} // namespace swf
