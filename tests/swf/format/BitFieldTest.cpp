#include "swf/format/BitReader.h"
#include "swf/format/BitWriter.h"
#include "swf/format/Records.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace swf {
namespace {

TEST(BitReader, ReadsFieldsMostSignificantBitFirstAcrossBytes)
{
    const std::vector<uint8_t> data { 0b1011'0011, 0b0101'1100, 0xFF };
    BitReader in(data);
    EXPECT_EQ(in.ub(3), 0b101u);
    EXPECT_EQ(in.ub(7), 0b10011'01u);
    EXPECT_EQ(in.ub(0), 0u); // a 0-bit field reads nothing
    EXPECT_EQ(in.ub(6), 0b011100u);
    EXPECT_EQ(in.u8(), 0xFF);
    EXPECT_FALSE(in.overrun());
    EXPECT_TRUE(in.atEnd());
}

TEST(BitReader, ByteReadsAlignAfterBitFields)
{
    const std::vector<uint8_t> data { 0x80, 0x34, 0x12 };
    BitReader in(data);
    EXPECT_EQ(in.ub(1), 1u);
    EXPECT_EQ(in.u16(), 0x1234);
}

struct SignedCase {
    std::vector<uint8_t> bytes;
    unsigned bits;
    int32_t expected;
};

class SignedFields : public testing::TestWithParam<SignedCase> { };

TEST_P(SignedFields, SignExtendFromTheFieldWidth)
{
    BitReader in(GetParam().bytes);
    EXPECT_EQ(in.sb(GetParam().bits), GetParam().expected);
    EXPECT_FALSE(in.overrun());
}

INSTANTIATE_TEST_SUITE_P(Widths, SignedFields,
    testing::Values(SignedCase { { 0x80 }, 1, -1 }, SignedCase { { 0x00 }, 1, 0 },
        SignedCase { { 0x80 }, 5, -16 }, SignedCase { { 0x78 }, 5, 15 },
        SignedCase { { 0xFF, 0xFF, 0xFF, 0xFF }, 32, -1 },
        SignedCase { { 0x80, 0x00, 0x00, 0x00 }, 32, INT32_MIN },
        SignedCase { { 0x7F, 0xFF, 0xFF, 0xFF }, 32, INT32_MAX },
        SignedCase { { 0xC0, 0x00, 0x00 }, 17, -32768 }, SignedCase { {}, 0, 0 }));

TEST(BitReader, FixedPointFields)
{
    const std::vector<uint8_t> data { 0x00, 0x00, 0x01, 0x00, // 16.16 = 1.0
        0x80, 0xFF, // 8.8 = -0.5
        0x00, 0x18, // unsigned 8.8 = 24.0
        0xFF, 0xFF, 0x80, 0x00 }; // FB 32 bits = -1/65536
    BitReader in(data);
    EXPECT_DOUBLE_EQ(in.fixed16(), 1.0);
    EXPECT_DOUBLE_EQ(in.fixed8(), -0.5);
    EXPECT_DOUBLE_EQ(in.ufixed8(), 24.0);
    EXPECT_DOUBLE_EQ(in.fb(17), -1.0 / 65536); // seventeen 1 bits: -1
}

TEST(BitReader, FloatsAndEncodedIntegers)
{
    const std::vector<uint8_t> data {
        0x00, 0x3C, // f16 1.0
        0x00, 0x00, 0xC0, 0x3F, // f32 1.5
        0x00, 0x00, 0xF8, 0x3F, 0x00, 0x00, 0x00, 0x00, // f64 1.5, high word first
        0x7F, 0x80, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, // EncodedU32: 127, 128, 0xFFFFFFFF
    };
    BitReader in(data);
    EXPECT_FLOAT_EQ(in.f16(), 1.0f);
    EXPECT_FLOAT_EQ(in.f32(), 1.5f);
    EXPECT_DOUBLE_EQ(in.f64(), 1.5);
    EXPECT_EQ(in.encodedU32(), 127u);
    EXPECT_EQ(in.encodedU32(), 128u);
    EXPECT_EQ(in.encodedU32(), 0xFFFFFFFFu);
    EXPECT_FALSE(in.overrun());
}

TEST(BitReader, OverrunIsStickyAndReadsZero)
{
    const std::vector<uint8_t> data { 0x12, 0x34, 0x56 };
    BitReader in(data);
    EXPECT_EQ(in.u16(), 0x3412);
    EXPECT_EQ(in.u16(), 0); // only one byte left
    EXPECT_TRUE(in.overrun());
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(in.u8(), 0);
    EXPECT_TRUE(in.bytes(1).empty());
    EXPECT_TRUE(in.overrun());
}

TEST(BitReader, BitFieldsPastTheEndOrTooWideOverrun)
{
    const std::vector<uint8_t> data { 0xFF, 0xFF, 0xFF, 0xFF, 0xFF };
    BitReader wide(data);
    EXPECT_EQ(wide.ub(33), 0u);
    EXPECT_TRUE(wide.overrun());

    BitReader past(data);
    past.ub(38);
    EXPECT_TRUE(past.overrun());
}

TEST(BitReader, StringNeedsItsTerminator)
{
    const std::vector<uint8_t> good { 'h', 'i', 0, 'x' };
    BitReader in(good);
    EXPECT_EQ(in.string(), "hi");
    EXPECT_EQ(in.remaining(), 1u);

    const std::vector<uint8_t> unterminated { 'h', 'i' };
    BitReader bad(unterminated);
    EXPECT_EQ(bad.string(), "");
    EXPECT_TRUE(bad.overrun());

    // A record with no body at all (a span with no data behind it).
    BitReader empty(std::span<const uint8_t> {});
    EXPECT_EQ(empty.string(), "");
    EXPECT_TRUE(empty.overrun());
}

TEST(BitWriter, WidthsHoldTheirValues)
{
    EXPECT_EQ(BitWriter::signedBits(0), 0u);
    EXPECT_EQ(BitWriter::signedBits(1), 2u);
    EXPECT_EQ(BitWriter::signedBits(-1), 1u);
    EXPECT_EQ(BitWriter::signedBits(-2), 2u);
    EXPECT_EQ(BitWriter::signedBits(65535), 17u);
    EXPECT_EQ(BitWriter::signedBits(-65536), 17u);
    EXPECT_EQ(BitWriter::signedBits(INT32_MIN), 32u);
    EXPECT_EQ(BitWriter::unsignedBits(0), 0u);
    EXPECT_EQ(BitWriter::unsignedBits(255), 8u);
}

TEST(BitWriter, SignedFieldsAtEveryWidthReadBack)
{
    BitWriter out;
    std::vector<std::pair<int32_t, unsigned>> fields;
    for (unsigned bits = 1; bits <= 32; ++bits) {
        int32_t lowest = bits == 32 ? INT32_MIN : -(int32_t(1) << (bits - 1));
        int32_t highest = bits == 32 ? INT32_MAX : (int32_t(1) << (bits - 1)) - 1;
        for (int32_t v : { lowest, highest, 0 }) {
            out.sb(v, bits);
            fields.emplace_back(v, bits);
        }
    }
    auto bytes = out.take();
    BitReader in(bytes);
    for (auto [value, bits] : fields)
        ASSERT_EQ(in.sb(bits), value) << bits << " bits";
    EXPECT_FALSE(in.overrun());
}

TEST(Records, MatrixAndRectRoundTrip)
{
    Matrix m { 1.5, -0.25, 0.125, -2.0, -123456, 98765 };
    Matrix identity;
    Matrix translateOnly;
    translateOnly.tx = -1;
    Rect r { -400, 11000, -1, 0 };
    BitWriter out;
    writeMatrix(out, m);
    writeMatrix(out, identity);
    writeMatrix(out, translateOnly);
    writeRect(out, r);
    auto bytes = out.take();
    // An identity matrix is one byte: no scale, no rotation, 0-bit translation.
    BitReader in(bytes);
    EXPECT_EQ(readMatrix(in), m);
    EXPECT_EQ(readMatrix(in), identity);
    EXPECT_EQ(readMatrix(in), translateOnly);
    EXPECT_EQ(readRect(in), r);
    EXPECT_FALSE(in.overrun());
    in.align();
    EXPECT_TRUE(in.atEnd());
}

TEST(Records, ColorTransformsWithAndWithoutAlpha)
{
    ColorTransform cx { 128, 256, -256, 64, 255, -255, 0, 10 };
    BitWriter out;
    writeColorTransform(out, cx, Alpha::With);
    writeColorTransform(out, cx, Alpha::Without);
    writeColorTransform(out, ColorTransform {}, Alpha::With);
    auto bytes = out.take();
    BitReader in(bytes);
    EXPECT_EQ(readColorTransform(in, Alpha::With), cx);
    ColorTransform noAlpha = cx;
    noAlpha.aMul = 256;
    noAlpha.aAdd = 0;
    EXPECT_EQ(readColorTransform(in, Alpha::Without), noAlpha);
    EXPECT_EQ(readColorTransform(in, Alpha::With), ColorTransform {});
    in.align();
    EXPECT_TRUE(in.atEnd());
}

TEST(Records, ValuesBeyondTheFieldsAreClamped)
{
    Matrix huge;
    huge.a = 40000.0; // beyond the 31-bit 16.16 range
    huge.tx = INT32_MAX;
    ColorTransform strong;
    strong.rMul = 30000;
    BitWriter out;
    writeMatrix(out, huge);
    writeColorTransform(out, strong, Alpha::Without);
    auto bytes = out.take();
    BitReader in(bytes);
    Matrix m = readMatrix(in);
    EXPECT_NEAR(m.a, 16384.0, 0.001);
    EXPECT_EQ(m.tx, kMaxSb31);
    EXPECT_EQ(readColorTransform(in, Alpha::Without).rMul, 16383);
    EXPECT_FALSE(in.overrun());
}

} // namespace
} // namespace swf
