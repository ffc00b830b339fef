#include "platform/Twips.h"
#include "platform/TwipsGeometry.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace platform;

TEST(Twips, DesignedMeasuresAreWholePixels)
{
    EXPECT_EQ(twipsToPixels(7815), 521);
    EXPECT_EQ(twipsToPixels(6975), 465);
    EXPECT_EQ(twipsToPixels(7575), 505);
    EXPECT_EQ(twipsToPixels(5655), 377);
    EXPECT_EQ(pixelsToTwips(521), 7815);
}

TEST(Twips, RoundsToNearestPixel)
{
    EXPECT_EQ(twipsToPixels(7), 0);
    EXPECT_EQ(twipsToPixels(8), 1);
    EXPECT_EQ(twipsToPixels(22), 1);
    EXPECT_EQ(twipsToPixels(23), 2);
    EXPECT_EQ(twipsToPixels(-7), 0);
    EXPECT_EQ(twipsToPixels(-8), -1);
    EXPECT_EQ(twipsToPixels(-23), -2);
}

TEST(Twips, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(divideRoundHalfEven(1, 2), 0);
    EXPECT_EQ(divideRoundHalfEven(3, 2), 2);
    EXPECT_EQ(divideRoundHalfEven(5, 2), 2);
    EXPECT_EQ(divideRoundHalfEven(7, 2), 4);
    EXPECT_EQ(divideRoundHalfEven(-5, 2), -2);
    EXPECT_EQ(divideRoundHalfEven(-7, 2), -4);
    EXPECT_EQ(divideRoundHalfEven(5, -2), -2);
}

TEST(TwipsGeometry, WidgetPlaceReadsBackInTwips)
{
    QWidget window;
    QWidget control(&window);
    twipsGeometry::setRect(control, 120, 480, 7575, 5655);
    EXPECT_EQ(control.geometry(), QRect(8, 32, 505, 377));
    EXPECT_EQ(twipsGeometry::left(control), 120);
    EXPECT_EQ(twipsGeometry::top(control), 480);
    EXPECT_EQ(twipsGeometry::width(control), 7575);
    EXPECT_EQ(twipsGeometry::height(control), 5655);

    twipsGeometry::setTop(control, 6120);
    twipsGeometry::setWidth(control, -30);
    EXPECT_EQ(control.geometry(), QRect(8, 408, 0, 377));
}
