// FILTERLIST records written byte by byte from the format's tables.
#include "swf/format/Filters.h"

#include <gtest/gtest.h>

#include <variant>

namespace swf {
namespace {

TEST(FilterList, ReadsEachKindsFieldsInTheFormatsOrder)
{
    const std::vector<uint8_t> list = {
        0x03, // three filters
        // DropShadow: colour 10 20 30 40, BlurX 2.5, BlurY 1.0 (16.16), Angle 0.5,
        // Distance 4.0, Strength 1.5 (8.8), flags inner 0, knockout 1, composite 0, passes 3.
        0x00,
        0x0a,
        0x14,
        0x1e,
        0x28,
        0x00,
        0x80,
        0x02,
        0x00,
        0x00,
        0x00,
        0x01,
        0x00,
        0x00,
        0x80,
        0x00,
        0x00,
        0x00,
        0x00,
        0x04,
        0x00,
        0x80,
        0x01,
        0x43,
        // GradientBevel: two colours, ratios 0 and 255, BlurX 0, BlurY 0, Angle 0,
        // Distance 1.0, Strength 2.0, flags inner 1, knockout 0, composite 1, on top 1, passes 2.
        0x07,
        0x02,
        0xff,
        0x00,
        0x00,
        0xff,
        0x00,
        0x00,
        0xff,
        0x80,
        0x00,
        0xff,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x01,
        0x00,
        0x00,
        0x02,
        0xB2,
        // Blur: BlurX 8.0, BlurY 8.0, passes 15 (top five bits), cut short after BlurY.
        0x01,
        0x00,
        0x00,
        0x08,
        0x00,
        0x00,
        0x00,
        0x08,
        0x00,
    };
    const std::vector<Filter> filters = readFilters(list);
    ASSERT_EQ(filters.size(), 2u) << "the blur is cut short and left out";

    const auto& shadow = std::get<ShadowFilter>(filters[0]);
    EXPECT_EQ(shadow.kind, ShadowFilter::Kind::DropShadow);
    EXPECT_EQ(shadow.color, (Rgba { 10, 20, 30, 40 }));
    EXPECT_DOUBLE_EQ(shadow.blur.x, 2.5);
    EXPECT_DOUBLE_EQ(shadow.blur.y, 1.0);
    EXPECT_DOUBLE_EQ(shadow.angle, 0.5);
    EXPECT_DOUBLE_EQ(shadow.distance, 4.0);
    EXPECT_DOUBLE_EQ(shadow.strength, 1.5);
    EXPECT_FALSE(shadow.inner);
    EXPECT_TRUE(shadow.knockout);
    EXPECT_TRUE(shadow.hideObject);
    EXPECT_EQ(shadow.blur.passes, 3);

    const auto& bevel = std::get<ShadowFilter>(filters[1]);
    EXPECT_EQ(bevel.kind, ShadowFilter::Kind::GradientBevel);
    ASSERT_EQ(bevel.ramp.size(), 2u);
    EXPECT_EQ(bevel.ramp[0].color, (Rgba { 255, 0, 0, 255 }));
    EXPECT_EQ(bevel.ramp[1].color, (Rgba { 0, 0, 255, 128 }));
    EXPECT_EQ(bevel.ramp[0].ratio, 0);
    EXPECT_EQ(bevel.ramp[1].ratio, 255);
    EXPECT_DOUBLE_EQ(bevel.distance, 1.0);
    EXPECT_DOUBLE_EQ(bevel.strength, 2.0);
    EXPECT_TRUE(bevel.inner);
    EXPECT_FALSE(bevel.knockout);
    EXPECT_FALSE(bevel.hideObject);
    EXPECT_TRUE(bevel.onTop);
    EXPECT_EQ(bevel.blur.passes, 2);
}

TEST(FilterList, StopsAtAnUnknownKindAndReadsNothingOfAnEmptyList)
{
    // A colour matrix of 20 floats (all 0) and then a filter id 9, which no table knows.
    std::vector<uint8_t> list = { 0x02, 0x06 };
    list.resize(list.size() + 80, 0);
    list.push_back(0x09);
    const std::vector<Filter> filters = readFilters(list);
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<ColorMatrixFilter>(filters[0]));
    EXPECT_TRUE(readFilters({}).empty());
}

} // namespace
} // namespace swf
