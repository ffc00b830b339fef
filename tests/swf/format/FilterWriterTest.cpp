// FILTERLIST records a script's filters become, checked byte by byte against the format's
// tables (the reader shares no code with the writer's field order).
#include "swf/format/FilterWriter.h"

#include <gtest/gtest.h>

namespace swf {
namespace {

TEST(FilterWriter, BlurAndGlowFieldsInTheFormatsOrder)
{
    BlurFilter blur;
    blur.blur = { 2.5, 1.0, 3 };
    ShadowFilter glow;
    glow.kind = ShadowFilter::Kind::Glow;
    glow.color = Rgba { 1, 2, 3, 4 };
    glow.blur = { 6, 6, 1 };
    glow.strength = 2;
    glow.inner = true;
    glow.distance = 99; // a glow has no distance field
    const Filter filters[] = { blur, glow };
    const std::vector<uint8_t> expected = {
        0x02, // two filters
        0x01, 0x00, 0x80, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, // blur 2.5, 1.0 (16.16)
        0x18, // passes 3, three reserved bits
        0x02, 0x01, 0x02, 0x03, 0x04, // glow, RGBA
        0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x06, 0x00, // blur 6, 6
        0x00, 0x02, // strength 2.0 (8.8)
        0xA1, // inner, no knockout, composite source, passes 1
    };
    EXPECT_EQ(writeFilters(filters), expected);
}

TEST(FilterWriter, BevelPutsTheHighlightFirstAndOnTopBeforeFourPassBits)
{
    ShadowFilter bevel;
    bevel.kind = ShadowFilter::Kind::Bevel;
    bevel.color = Rgba { 0, 0, 0, 255 };
    bevel.highlight = Rgba { 255, 255, 255, 128 };
    bevel.blur = { 4, 4, 2 };
    bevel.angle = 0.5;
    bevel.distance = 4;
    bevel.strength = 1.5;
    bevel.onTop = true;
    bevel.hideObject = true;
    const Filter filters[] = { bevel };
    const std::vector<uint8_t> expected = {
        0x01, 0x03, // one bevel
        0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0xFF, // highlight, then shadow
        0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00, // blur 4, 4
        0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, // angle 0.5, distance 4
        0x80, 0x01, // strength 1.5
        0x12, // not inner, no knockout, no composite source, on top, passes 2
    };
    EXPECT_EQ(writeFilters(filters), expected);
    const std::vector<Filter> read = readFilters(expected);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(std::get<ShadowFilter>(read[0]).highlight, (Rgba { 255, 255, 255, 128 }));
    EXPECT_EQ(std::get<ShadowFilter>(read[0]).color, (Rgba { 0, 0, 0, 255 }));
}

TEST(FilterWriter, ConvolutionAndColorMatrixAreFloats)
{
    ConvolutionFilter conv;
    conv.columns = 1;
    conv.rows = 1;
    conv.divisor = 1;
    conv.bias = 0;
    conv.matrix = { 2 };
    conv.defaultColor = Rgba { 9, 8, 7, 6 };
    conv.clamp = false;
    conv.preserveAlpha = true;
    ColorMatrixFilter matrix;
    matrix.matrix[0] = 1;
    const Filter filters[] = { conv, matrix };
    std::vector<uint8_t> expected = {
        0x02, 0x05, 0x01, 0x01, // convolution 1 x 1
        0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x00, // divisor 1.0f, bias 0.0f
        0x00, 0x00, 0x00, 0x40, // 2.0f
        0x09, 0x08, 0x07, 0x06, 0x01, // default colour; clamp off, preserve alpha on
        0x06, 0x00, 0x00, 0x80, 0x3F, // colour matrix: 1.0f, then 19 zeros
    };
    expected.resize(expected.size() + 19 * 4, 0);
    EXPECT_EQ(writeFilters(filters), expected);
}

} // namespace
} // namespace swf
