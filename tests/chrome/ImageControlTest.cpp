#include "MouseDriving.h"

#include "chrome/ImageButton.h"
#include "chrome/ImageControl.h"
#include "chrome/LoadSkinPicture.h"
#include "skin/Skin.h"

#include <QPainter>
#include <QSignalSpy>

#include <gtest/gtest.h>

// The image controls: their pictures and sizes, drawing at the normal and the double
// scale, their mouse events, and the press/release pattern of the buttons.
namespace {

using mdlCommonFunctions::LoadSkinPicture;

class ImageControlTest : public ::testing::Test {
protected:
    // The control drawn at `ratio` device pixels per pixel.
    static QImage render(QWidget& control, qreal ratio)
    {
        QImage image(control.size() * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        control.render(&image);
        image.setDevicePixelRatio(1);
        return image;
    }

    static double meanGrey(const QImage& image)
    {
        double sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += qGray(image.pixel(x, y));
        return sum / (image.width() * image.height());
    }

    QWidget window;
    chrome::ImageControl image { &window };
};

} // namespace

TEST_F(ImageControlTest, WithoutStretchTheControlTakesItsPicturesSize)
{
    image.setSize(900, 900);
    LoadSkinPicture(118, image);
    EXPECT_EQ(image.Picture(), 118);
    EXPECT_EQ(image.Width(), 255);
    EXPECT_EQ(image.Height(), 240);
    image.setSize(900, 900);
    EXPECT_EQ(image.size(), QSize(17, 16)) << "its picture decides";
    LoadSkinPicture(134, image);
    EXPECT_EQ(image.Width(), 1830);
    EXPECT_EQ(image.Height(), 300);
}

TEST_F(ImageControlTest, TheDoubleSizedBitmapServesScreensThatScale)
{
    LoadSkinPicture(118, image);
    EXPECT_EQ(render(image, 1), skin::picture(118).normal);
    EXPECT_EQ(render(image, 2), skin::picture(118).doubled);
}

TEST_F(ImageControlTest, WithStretchThePictureIsScaledToTheControl)
{
    image.setStretch(true);
    image.setSize(465, 465);
    LoadSkinPicture(173, image);
    EXPECT_EQ(image.size(), QSize(31, 31));
    for (const qreal ratio : { 1.0, 1.5, 2.0 }) {
        const QImage shown = render(image, ratio);
        SCOPED_TRACE(ratio);
        EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 255, 255));
        const QPoint middle(shown.width() / 2, shown.height() / 2);
        EXPECT_LT(qGray(shown.pixel(middle)), 100) << "the glyph's ink in the middle";
    }
    const double normal = meanGrey(render(image, 1));
    LoadSkinPicture(174, image);
    EXPECT_EQ(image.size(), QSize(31, 31));
    EXPECT_LT(meanGrey(render(image, 1)), normal - 15) << "the pressed picture is darker";
}

TEST_F(ImageControlTest, MouseEventsCarryTheButtonsTheShiftStateAndTwips)
{
    image.resize(40, 40);
    QSignalSpy downs(&image, &chrome::ImageControl::MouseDown);
    QSignalSpy moves(&image, &chrome::ImageControl::MouseMove);
    QSignalSpy ups(&image, &chrome::ImageControl::MouseUp);

    mouse::send(image, QEvent::MouseButtonPress, QPoint(2, 3), Qt::RightButton, Qt::RightButton,
        Qt::ShiftModifier | Qt::ControlModifier);
    mouse::move(image, QPoint(-10, 50), Qt::LeftButton | Qt::RightButton);
    mouse::move(image, QPoint(7, 7), Qt::NoButton);
    mouse::send(
        image, QEvent::MouseButtonRelease, QPoint(4, 5), Qt::MiddleButton, Qt::NoButton, Qt::AltModifier);

    ASSERT_EQ(downs.size(), 1);
    EXPECT_EQ(downs[0], QVariantList({ 2, 3, 30.0f, 45.0f }));
    ASSERT_EQ(moves.size(), 2);
    EXPECT_EQ(moves[0], QVariantList({ 3, 0, -150.0f, 750.0f }));
    EXPECT_EQ(moves[1].first(), 0);
    ASSERT_EQ(ups.size(), 1);
    EXPECT_EQ(ups[0], QVariantList({ 4, 4, 60.0f, 75.0f }));
}

TEST_F(ImageControlTest, PressShowsThePressedPictureAndReleaseAnywhereRunsTheCommand)
{
    image.setStretch(true);
    image.resize(31, 31);
    LoadSkinPicture(185, image);
    QList<int> shownWhenRun;
    chrome::wireButton(image, 185, 186, [&] { shownWhenRun << image.Picture(); });

    for (const Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton }) {
        mouse::press(image, button, QPoint(15, 15));
        EXPECT_EQ(image.Picture(), 186);
        EXPECT_EQ(shownWhenRun.size(), 0);
        mouse::move(image, QPoint(200, -90), button);
        EXPECT_EQ(image.Picture(), 186) << "no change when the pointer leaves";
        mouse::release(image, button, QPoint(200, -90)); // let go away from the button
        EXPECT_EQ(image.Picture(), 185);
        EXPECT_EQ(shownWhenRun, QList<int>({ 185 })) << "once, after the normal picture is back";
        shownWhenRun.clear();
    }

    // A double click is two presses and two releases: the command runs twice.
    mouse::doubleClick(image, QPoint(15, 15));
    EXPECT_EQ(shownWhenRun, QList<int>({ 185, 185 }));
}

TEST_F(ImageControlTest, AButtonWhosePicturesFollowStateLeavesTheReleaseToItsCommand)
{
    LoadSkinPicture(114, image);
    bool maximised = false;
    chrome::wireButton(
        image, [&] { return maximised ? 117 : 115; }, [] { return 0; },
        [&] {
            maximised = !maximised;
            LoadSkinPicture(maximised ? 116 : 114, image);
        });
    mouse::press(image);
    EXPECT_EQ(image.Picture(), 115);
    mouse::release(image);
    EXPECT_EQ(image.Picture(), 116);
    mouse::press(image);
    EXPECT_EQ(image.Picture(), 117);
    mouse::release(image);
    EXPECT_EQ(image.Picture(), 114);
}
