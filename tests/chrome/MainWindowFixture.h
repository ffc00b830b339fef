#pragma once

#include "core/Forms.h"
#include "core/frmMain.h"
#include "menu/frmBKList.h"
#include "platform/fakes/FakePlatform.h"

#include <QCoreApplication>
#include <QScreen>
#include <QTest>

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

// The main window on the platform fakes, loaded with no movie and shown at a known place.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.Form_Load(QString());
        main.move(100, 60);
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    }

    // Lets the window system's answers (a maximised size, a restored one) arrive.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    QRect screenArea() const { return main.screen()->availableGeometry(); }

    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
};
