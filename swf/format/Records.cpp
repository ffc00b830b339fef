#include "Records.h"

#include <algorithm>
#include <initializer_list>

namespace swf {

Rect readRect(BitReader& in)
{
    in.align();
    unsigned bits = in.ub(5);
    Rect r;
    r.xMin = in.sb(bits);
    r.xMax = in.sb(bits);
    r.yMin = in.sb(bits);
    r.yMax = in.sb(bits);
    return r;
}

Matrix readMatrix(BitReader& in)
{
    in.align();
    Matrix m;
    if (in.ub(1)) {
        unsigned bits = in.ub(5);
        m.a = in.fb(bits);
        m.d = in.fb(bits);
    }
    if (in.ub(1)) {
        unsigned bits = in.ub(5);
        m.b = in.fb(bits);
        m.c = in.fb(bits);
    }
    unsigned bits = in.ub(5);
    m.tx = in.sb(bits);
    m.ty = in.sb(bits);
    return m;
}

ColorTransform readColorTransform(BitReader& in, Alpha alpha)
{
    in.align();
    ColorTransform cx;
    bool hasAdd = in.ub(1);
    bool hasMult = in.ub(1);
    unsigned bits = in.ub(4);
    bool withAlpha = alpha == Alpha::With;
    // Four bits of width allow at most 15-bit fields, which always fit in int16_t.
    if (hasMult) {
        cx.rMul = int16_t(in.sb(bits));
        cx.gMul = int16_t(in.sb(bits));
        cx.bMul = int16_t(in.sb(bits));
        if (withAlpha)
            cx.aMul = int16_t(in.sb(bits));
    }
    if (hasAdd) {
        cx.rAdd = int16_t(in.sb(bits));
        cx.gAdd = int16_t(in.sb(bits));
        cx.bAdd = int16_t(in.sb(bits));
        if (withAlpha)
            cx.aAdd = int16_t(in.sb(bits));
    }
    return cx;
}

Rgba readRgb(BitReader& in)
{
    Rgba c;
    c.r = in.u8();
    c.g = in.u8();
    c.b = in.u8();
    return c;
}

Rgba readRgba(BitReader& in)
{
    Rgba c = readRgb(in);
    c.a = in.u8();
    return c;
}

namespace {

unsigned signedBitsOf(std::initializer_list<int32_t> values)
{
    unsigned bits = 0;
    for (int32_t v : values)
        bits = std::max(bits, BitWriter::signedBits(v));
    return bits;
}

// The scale and rotate parts of a MATRIX: a presence bit, then, when present, a 5-bit
// width and two signed fields of that width.
void writeOptionalPair(BitWriter& out, bool present, int32_t first, int32_t second)
{
    out.ub(present, 1);
    if (!present)
        return;
    const unsigned bits = signedBitsOf({ first, second });
    out.ub(bits, 5);
    out.sb(first, bits);
    out.sb(second, bits);
}

} // namespace

void writeRect(BitWriter& out, const Rect& rect)
{
    out.align();
    int32_t values[]
        = { clampSb31(rect.xMin), clampSb31(rect.xMax), clampSb31(rect.yMin), clampSb31(rect.yMax) };
    unsigned bits = signedBitsOf({ values[0], values[1], values[2], values[3] });
    out.ub(bits, 5);
    for (int32_t v : values)
        out.sb(v, bits);
}

void writeMatrix(BitWriter& out, const Matrix& m)
{
    out.align();
    writeOptionalPair(out, m.a != 1.0 || m.d != 1.0, toFixed16(m.a), toFixed16(m.d));
    writeOptionalPair(out, m.b != 0.0 || m.c != 0.0, toFixed16(m.b), toFixed16(m.c));
    int32_t tx = clampSb31(m.tx);
    int32_t ty = clampSb31(m.ty);
    unsigned bits = signedBitsOf({ tx, ty });
    out.ub(bits, 5);
    out.sb(tx, bits);
    out.sb(ty, bits);
}

void writeColorTransform(BitWriter& out, const ColorTransform& cx, Alpha alpha)
{
    // Factors beyond 15 signed bits do not fit the 4-bit width field.
    auto fit = [](int16_t v) { return int32_t(std::clamp<int16_t>(v, -16384, 16383)); };
    bool withAlpha = alpha == Alpha::With;
    int32_t mul[] = { fit(cx.rMul), fit(cx.gMul), fit(cx.bMul), fit(cx.aMul) };
    int32_t add[] = { fit(cx.rAdd), fit(cx.gAdd), fit(cx.bAdd), fit(cx.aAdd) };
    size_t channels = withAlpha ? 4 : 3;
    bool hasMult = false;
    bool hasAdd = false;
    unsigned bits = 0;
    for (size_t i = 0; i < channels; ++i) {
        hasMult |= mul[i] != 256;
        hasAdd |= add[i] != 0;
    }
    for (size_t i = 0; i < channels; ++i) {
        if (hasMult)
            bits = std::max(bits, BitWriter::signedBits(mul[i]));
        if (hasAdd)
            bits = std::max(bits, BitWriter::signedBits(add[i]));
    }
    out.align();
    out.ub(hasAdd, 1);
    out.ub(hasMult, 1);
    out.ub(bits, 4);
    for (size_t i = 0; hasMult && i < channels; ++i)
        out.sb(mul[i], bits);
    for (size_t i = 0; hasAdd && i < channels; ++i)
        out.sb(add[i], bits);
}

void writeRgb(BitWriter& out, Rgba color)
{
    out.u8(color.r);
    out.u8(color.g);
    out.u8(color.b);
}

void writeRgba(BitWriter& out, Rgba color)
{
    writeRgb(out, color);
    out.u8(color.a);
}

} // namespace swf
