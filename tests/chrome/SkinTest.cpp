#include "skin/Skin.h"
#include "skin/SkinArt.h"
#include "skin/SkinInventory.h"

#include <QFile>

#include <gtest/gtest.h>

// The skin as the program carries it: every bitmap of the inventory at both sizes, as
// 24-bit bitmaps on white, and the looks that the buttons' behaviour relies on.
namespace {

const QRgb White = qRgb(255, 255, 255);

// The mean of `measure` over a picture's pixels that are not the white background.
template <class Measure> double meanOverPicture(const QImage& image, Measure measure)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb pixel = image.pixel(x, y); pixel != White) {
                sum += measure(pixel);
                ++count;
            }
    return count ? sum / count : 0;
}

double meanGrey(const QImage& image)
{
    return meanOverPicture(image, [](QRgb pixel) { return qGray(pixel); });
}

// How much bluer than red a picture is.
double meanBlueness(const QImage& image)
{
    return meanOverPicture(image, [](QRgb pixel) { return qBlue(pixel) - qRed(pixel); });
}

} // namespace

TEST(Skin, EveryBitmapIsCarriedAtItsSizeAndTwiceIt)
{
    EXPECT_EQ(skin::Inventory.size(), 74u);
    for (const skin::SkinBitmap& bitmap : skin::Inventory) {
        SCOPED_TRACE(bitmap.id);
        const skin::SkinPicture picture = skin::picture(bitmap.id);
        EXPECT_EQ(picture.normal.size(), QSize(bitmap.width, bitmap.height));
        EXPECT_EQ(picture.doubled.size(), QSize(2 * bitmap.width, 2 * bitmap.height));
        // The resources are what the artwork draws: the build made them from this code.
        EXPECT_EQ(picture.normal, skin::drawSkinBitmap(bitmap.id, 1));
        EXPECT_EQ(picture.doubled, skin::drawSkinBitmap(bitmap.id, 2));
    }
    EXPECT_TRUE(skin::picture(120).isNull());
    EXPECT_TRUE(skin::picture(236).isNull());
    EXPECT_TRUE(skin::drawSkinBitmap(172, 1).isNull());
}

TEST(Skin, BitmapsAreUncompressed24BitDeviceIndependentBitmaps)
{
    for (const skin::SkinBitmap& bitmap : skin::Inventory) {
        QFile file(QStringLiteral(":/skin/%1.bmp").arg(bitmap.id));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << bitmap.id;
        const QByteArray header = file.read(54);
        ASSERT_EQ(header.size(), 54);
        EXPECT_TRUE(header.startsWith("BM")) << bitmap.id;
        EXPECT_EQ(header[28], 24) << bitmap.id << ": bits per pixel";
        EXPECT_EQ(header[30], 0) << bitmap.id << ": no compression";
    }
}

TEST(Skin, CommandGlyphsComeAsNormalDarkerPressedAndGlintingHighlighted)
{
    for (int first = 173; first <= 233; first += 3) {
        SCOPED_TRACE(first);
        const QImage normal = skin::picture(first).normal;
        const QImage pressed = skin::picture(first + 1).normal;
        const QImage highlighted = skin::picture(first + 2).normal;
        for (const QImage* image : { &normal, &pressed, &highlighted })
            for (const QPoint corner : { QPoint(0, 0), QPoint(38, 0), QPoint(0, 38), QPoint(38, 38) })
                EXPECT_EQ(image->pixel(corner), White) << "on the window's white";
        EXPECT_LT(meanGrey(pressed), meanGrey(normal) - 20);
        EXPECT_GT(meanBlueness(highlighted), meanBlueness(normal) + 20);
        EXPECT_EQ(highlighted.pixel(12, 11), White) << "the glint";
        EXPECT_NE(normal.pixel(12, 11), White);
        EXPECT_NE(normal, skin::picture(first == 233 ? 173 : first + 3).normal) << "each glyph its own";
    }
}

TEST(Skin, FrameButtonsComeAsNormalAndDarkerPressed)
{
    for (int normal = 112; normal <= 118; normal += 2)
        EXPECT_LT(meanGrey(skin::picture(normal + 1).normal), meanGrey(skin::picture(normal).normal) - 20)
            << normal;
}

TEST(Skin, TheTitleBarShadesFromNearWhiteToLightGrey)
{
    const QImage bar = skin::picture(111).normal;
    for (int row = 0; row < 8; ++row)
        EXPECT_GE(qGray(bar.pixel(20, row)), 245) << row;
    for (int row = 9; row < 28; ++row)
        EXPECT_LT(qGray(bar.pixel(20, row)), qGray(bar.pixel(20, row - 1))) << row;
    EXPECT_EQ(bar.pixel(20, 27), qRgb(215, 215, 215));
    EXPECT_LT(qGray(bar.pixel(20, 28)), 215) << "the bottom row a little darker";
    for (int x = 1; x < bar.width(); ++x)
        EXPECT_EQ(bar.pixel(x, 14), bar.pixel(0, 14)) << "the same in every column, as it is stretched";
}

TEST(Skin, TheTitleIconCarriesTheApplicationIconAndTheNameInBlue)
{
    const QImage icon = skin::picture(134).normal;
    auto bluePixels = [&](int from, int to) {
        int count = 0;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = from; x < to; ++x)
                if (const QRgb pixel = icon.pixel(x, y); qBlue(pixel) > qRed(pixel) + 80)
                    ++count;
        return count;
    };
    EXPECT_GT(bluePixels(2, 18), 150) << "the application icon";
    EXPECT_GT(bluePixels(22, 110), 250) << "the name";
    EXPECT_EQ(icon.pixel(112, 10), White) << "the name on white";
}
