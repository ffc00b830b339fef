#include "platform/QtWindowManager.h"

#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

// The real window manager's topmost band: Qt's window flag, changed without hiding the
// window or losing its other flags.
TEST(QtWindowManager, TheTopmostBandIsEnteredAndLeftWithoutHidingTheWindow)
{
    platform::QtWindowManager windows;
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_TRUE(windows.setTopMost(window, true));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window.windowHandle()->flags() & Qt::FramelessWindowHint);

    EXPECT_TRUE(windows.setTopMost(window, false));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
}

TEST(QtWindowManager, AWindowNotShownYetIsTopmostOnceItIsShown)
{
    platform::QtWindowManager windows;
    QWidget window;
    EXPECT_TRUE(windows.setTopMost(window, true));
    EXPECT_FALSE(window.isVisible());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
}
