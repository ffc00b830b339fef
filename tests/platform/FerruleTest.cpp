#include "platform/Ferrule.h"
#include "platform/Twips.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using platform::Ferrule;

namespace {

// A bar 211 pixels wide: its groove runs from x = 5 to x = 205, so every pixel along it
// is exactly 5 per mille.
class FerruleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bar.resize(211, 25);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    }

    Ferrule bar;
    QSignalSpy seeks { &bar, &Ferrule::Seek };
};

} // namespace

TEST_F(FerruleTest, ProgramWritesNeverSeek)
{
    bar.setPosition(300);
    bar.setPosition(1000);
    bar.setPosition(0);
    EXPECT_EQ(seeks.count(), 0);
    EXPECT_EQ(bar.Position(), 0);

    bar.setPosition(1500);
    EXPECT_EQ(bar.Position(), 1000);
    bar.setPosition(-4);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(seeks.count(), 0);
}

TEST_F(FerruleTest, ClickPicksThePositionUnderThePointer)
{
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(55, 10));
    EXPECT_EQ(bar.Position(), 250);
    EXPECT_EQ(seeks.count(), 1);

    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(0, 10));
    EXPECT_EQ(bar.Position(), 0);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(210, 10));
    EXPECT_EQ(bar.Position(), 1000);
    EXPECT_EQ(seeks.count(), 3);
}

TEST_F(FerruleTest, ClickOnTheCurrentPositionStillSeeks)
{
    bar.setPosition(500);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(105, 10));
    EXPECT_EQ(bar.Position(), 500);
    EXPECT_EQ(seeks.count(), 1);
}

TEST_F(FerruleTest, DragSeeksAlongTheWayAndStopsOnRelease)
{
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(55, 10));
    QTest::mouseMove(&bar, QPoint(105, 10));
    EXPECT_EQ(bar.Position(), 500);
    QTest::mouseMove(&bar, QPoint(400, 10)); // past the end of the bar
    EXPECT_EQ(bar.Position(), 1000);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(400, 10));
    EXPECT_EQ(seeks.count(), 3);

    QTest::mouseMove(&bar, QPoint(30, 10));
    EXPECT_EQ(bar.Position(), 1000);
    EXPECT_EQ(seeks.count(), 3);
}

TEST_F(FerruleTest, OtherButtonsDoNothing)
{
    QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(55, 10));
    QTest::mouseClick(&bar, Qt::MiddleButton, {}, QPoint(55, 10));
    EXPECT_EQ(seeks.count(), 0);
    EXPECT_EQ(bar.Position(), 0);
}

TEST_F(FerruleTest, PlacedInTwips)
{
    bar.setTop(6120);
    bar.setWidth(7575);
    EXPECT_EQ(bar.y(), 408);
    EXPECT_EQ(bar.width(), 505);
    EXPECT_EQ(bar.Top(), 6120);
    EXPECT_EQ(bar.Width(), 7575);
}
