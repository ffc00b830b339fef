// The pixels of script bitmaps: what reading back a stored colour gives, and the copying
// and filling operations at the bitmap's edges.
#include "swf/render/BitmapSurface.h"
#include "swf/render/PerlinNoise.h"

#include <gtest/gtest.h>

namespace swf {
namespace {

std::shared_ptr<BitmapSurface> bitmap(int w, int h, uint32_t fill = 0xFFFFFFFF, bool transparent = true)
{
    auto made = BitmapSurface::make(w, h, transparent, fill);
    EXPECT_TRUE(made);
    return made;
}

TEST(BitmapSurface, SemiTransparentColoursReadBackAsThePremultipliedFormKeepsThem)
{
    auto b = bitmap(2, 1);
    b->setPixel32(0, 0, 0xAABBCCDD);
    b->setPixel32(1, 0, 0x12345678);
    EXPECT_EQ(b->pixel32(0, 0), 0xAABBCCDCu);
    EXPECT_EQ(b->pixel32(1, 0), 0x12395571u);
    b->setPixel32(1, 0, 0x00FFFFFF);
    EXPECT_EQ(b->pixel32(1, 0), 0u);
    // setPixel keeps the alpha the pixel has.
    b->setPixel(0, 0, 0x102030);
    EXPECT_EQ(b->pixel32(0, 0) >> 24, 0xAAu);

    auto opaque = bitmap(1, 1, 0, false);
    opaque->setPixel32(0, 0, 0x12345678);
    EXPECT_EQ(opaque->pixel32(0, 0), 0xFF345678u);
    EXPECT_EQ(opaque->pixel32(5, 5), 0u) << "outside reads 0";
}

TEST(BitmapSurface, SizesPastTheLimitAndTheBudgetAreRefused)
{
    EXPECT_FALSE(BitmapSurface::make(0, 10, true, 0));
    EXPECT_FALSE(BitmapSurface::make(2881, 1, true, 0));
    EXPECT_TRUE(BitmapSurface::make(2880, 1, true, 0));
    auto budget = std::make_shared<PixelBudget>();
    budget->limit = 100;
    auto first = BitmapSurface::make(10, 8, true, 0, budget);
    ASSERT_TRUE(first);
    EXPECT_FALSE(BitmapSurface::make(5, 5, true, 0, budget));
    EXPECT_FALSE(first->clone()) << "a clone counts too";
    first.reset();
    EXPECT_EQ(budget->used, 0);
    EXPECT_TRUE(BitmapSurface::make(5, 5, true, 0, budget));
}

TEST(BitmapSurface, CopiesAreCutToBothBitmaps)
{
    auto source = bitmap(4, 4, 0xFF000000);
    source->setPixel32(0, 0, 0xFFFF0000);
    source->setPixel32(3, 3, 0xFF00FF00);
    auto target = bitmap(3, 3, 0xFFFFFFFF);
    // The area starts left of the source, the point left of the target.
    target->copyPixels(*source, QRect(-1, 0, 3, 1), QPoint(-1, 1), nullptr, {}, false);
    EXPECT_EQ(target->pixel32(0, 1), 0xFFFF0000u);
    EXPECT_EQ(target->pixel32(1, 1), 0xFF000000u);
    EXPECT_EQ(target->pixel32(2, 1), 0xFFFFFFFFu);
    EXPECT_EQ(target->pixel32(0, 0), 0xFFFFFFFFu);
    // Onto itself, overlapping: the source is read before it is written.
    source->copyPixels(*source, QRect(0, 0, 4, 4), QPoint(1, 1), nullptr, {}, false);
    EXPECT_EQ(source->pixel32(1, 1), 0xFFFF0000u);
    EXPECT_EQ(source->pixel32(0, 0), 0xFFFF0000u);
}

TEST(BitmapSurface, CopyWithAlphaBitmapAndMerge)
{
    auto source = bitmap(1, 1, 0xFFFF0000);
    auto mask = bitmap(1, 1, 0x80000000);
    auto target = bitmap(1, 1, 0xFF0000FF);
    target->copyPixels(*source, QRect(0, 0, 1, 1), {}, mask.get(), {}, true);
    const uint32_t p = target->pixel32(0, 0);
    EXPECT_EQ(p >> 24, 0xFFu);
    EXPECT_NEAR(int((p >> 16) & 0xFF), 0x80, 1);
    EXPECT_NEAR(int(p & 0xFF), 0x7F, 1);
    // Without merging the copy replaces the pixel, alpha and all.
    target->copyPixels(*source, QRect(0, 0, 1, 1), {}, mask.get(), {}, false);
    EXPECT_EQ(target->pixel32(0, 0) >> 24, 0x80u);
}

TEST(BitmapSurface, ChannelsAndColorTransform)
{
    auto b = bitmap(2, 1, 0xFF112233);
    b->copyChannel(*b, QRect(0, 0, 1, 1), {}, 1, 4); // red into blue
    EXPECT_EQ(b->pixel32(0, 0), 0xFF112211u);
    b->copyChannel(*b, QRect(1, 0, 1, 1), QPoint(1, 0), 3, 2); // two flags: zeros
    EXPECT_EQ(b->pixel32(1, 0), 0xFF110033u);
    b->colorTransform(QRect(0, 0, 2, 1), { 2, 1, 0, 1 }, { 0, 10, 0, 0 });
    EXPECT_EQ(b->pixel32(0, 0), 0xFF222C00u);
}

TEST(BitmapSurface, FloodFillStopsAtOtherColours)
{
    auto b = bitmap(3, 3, 0xFFFFFFFF);
    for (int y = 0; y < 3; ++y)
        b->setPixel32(1, y, 0xFF000000);
    EXPECT_TRUE(b->floodFill(0, 0, 0xFFFF0000));
    EXPECT_EQ(b->pixel32(0, 2), 0xFFFF0000u);
    EXPECT_EQ(b->pixel32(2, 0), 0xFFFFFFFFu) << "beyond the wall";
    EXPECT_FALSE(b->floodFill(0, 1, 0xFFFF0000)) << "already that colour";
    EXPECT_FALSE(b->floodFill(-1, 0, 0xFF00FF00));
}

TEST(BitmapSurface, ThresholdCountsAndCopiesTheRest)
{
    auto source = bitmap(2, 1, 0xFF000010);
    source->setPixel32(1, 0, 0xFF000090);
    auto target = bitmap(2, 1, 0xFFFFFFFF);
    const int set = target->threshold(
        *source, source->rect(), {}, BitmapSurface::Compare::Greater, 0x80, 0xFFFF0000, 0xFF, true);
    EXPECT_EQ(set, 1);
    EXPECT_EQ(target->pixel32(0, 0), 0xFF000010u);
    EXPECT_EQ(target->pixel32(1, 0), 0xFFFF0000u);
}

TEST(BitmapSurface, ScrollKeepsWhatIsUncovered)
{
    auto b = bitmap(3, 1, 0xFF000000);
    b->setPixel32(0, 0, 0xFFFF0000);
    b->scroll(1, 0);
    EXPECT_EQ(b->pixel32(0, 0), 0xFFFF0000u);
    EXPECT_EQ(b->pixel32(1, 0), 0xFFFF0000u);
    EXPECT_EQ(b->pixel32(2, 0), 0xFF000000u);
}

TEST(BitmapSurface, ColorBoundsAndDifference)
{
    auto b = bitmap(4, 4, 0xFFFFFFFF);
    b->setPixel32(1, 2, 0xFF00FF00);
    b->setPixel32(3, 1, 0xFF00FF00);
    EXPECT_EQ(b->colorBounds(0xFFFFFFFF, 0xFF00FF00, true), QRect(1, 1, 3, 2));
    EXPECT_EQ(b->colorBounds(0xFFFFFFFF, 0xFF123456, true), QRect(0, 0, 0, 0));
    auto other = b->clone();
    EXPECT_FALSE(BitmapSurface::difference(*b, *other));
    other->setPixel32(0, 0, 0xFF0000FF);
    auto diff = BitmapSurface::difference(*b, *other);
    ASSERT_TRUE(diff);
    EXPECT_EQ(diff->pixel32(0, 0), 0xFFFFFF00u);
    EXPECT_EQ(diff->pixel32(1, 1), 0u);
}

TEST(BitmapSurface, PixelDissolveChangesExactlyTheCountRepeatably)
{
    auto run = [](int seed) {
        auto b = BitmapSurface::make(10, 10, true, 0xFF000000);
        const int next = b->pixelDissolve(*b, b->rect(), {}, seed, 30, 0xFFFFFFFF);
        EXPECT_NE(next, seed);
        return b;
    };
    auto a = run(5);
    auto again = run(5);
    int changed = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            changed += a->pixel32(x, y) == 0xFFFFFFFFu;
            EXPECT_EQ(a->pixel32(x, y), again->pixel32(x, y));
        }
    EXPECT_EQ(changed, 30);
}

TEST(PerlinNoise, SameSeedSamePictureAndStitchedEdgesMeet)
{
    PerlinOptions o;
    o.baseX = o.baseY = 8;
    o.octaves = 3;
    o.seed = 42;
    o.stitch = true;
    auto a = BitmapSurface::make(32, 32, false, 0);
    auto b = BitmapSurface::make(32, 32, false, 0);
    perlinNoise(*a, o);
    perlinNoise(*b, o);
    bool varied = false;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(a->pixel32(x, y), b->pixel32(x, y));
            varied |= a->pixel32(x, y) != a->pixel32(0, 0);
        }
    EXPECT_TRUE(varied);
    // A stitched picture tiles: the column past the right edge would be the first one,
    // so the two edge columns differ no more than neighbours do.
    int edge = 0;
    for (int y = 0; y < 32; ++y)
        edge = std::max(edge, std::abs(int(a->pixel32(0, y) & 0xFF) - int(a->pixel32(31, y) & 0xFF)));
    EXPECT_LT(edge, 40);
    o.seed = 43;
    perlinNoise(*b, o);
    EXPECT_NE(a->image(), b->image());
}

} // namespace
} // namespace swf
