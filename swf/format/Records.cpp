#include "Records.h"

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

} // namespace swf
