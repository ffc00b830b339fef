#pragma once

#include <cstdint>

namespace swf {

// Geometry is in twips (1/20 pixel) throughout the format layer.
struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;
    int32_t width() const { return xMax - xMin; }
    int32_t height() const { return yMax - yMin; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Rgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// The SWF MATRIX record: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
// a/d are ScaleX/ScaleY, b/c are RotateSkew0/RotateSkew1 (16.16 fixed in the file).
struct Matrix {
    double a = 1.0;
    double b = 0.0;
    double c = 0.0;
    double d = 1.0;
    int32_t tx = 0;
    int32_t ty = 0;
    friend bool operator==(const Matrix&, const Matrix&) = default;
};

// CXFORM / CXFORMWITHALPHA: channel' = channel * mult / 256 + add.
struct ColorTransform {
    int16_t rMul = 256;
    int16_t gMul = 256;
    int16_t bMul = 256;
    int16_t aMul = 256;
    int16_t rAdd = 0;
    int16_t gAdd = 0;
    int16_t bAdd = 0;
    int16_t aAdd = 0;
    friend bool operator==(const ColorTransform&, const ColorTransform&) = default;
};

} // namespace swf
