#include "MouseDriving.h"

#include "chrome/frmAbout.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "core/frmOpen.h"
#include "menu/frmBKList.h"
#include "platform/Twips.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

// The frame that the play-list window, the open dialog and the About window share, their
// buttons, and the About window.
namespace {

using platform::twipsToPixels;

struct Button {
    const chrome::ImageControl* control;
    int left, top;
    int picture;
    const char* toolTip;
};

void expectButtons(std::initializer_list<Button> buttons)
{
    for (const Button& button : buttons) {
        SCOPED_TRACE(button.toolTip);
        EXPECT_EQ(button.control->pos(), QPoint(twipsToPixels(button.left), twipsToPixels(button.top)));
        EXPECT_EQ(button.control->Picture(), button.picture);
        EXPECT_EQ(button.control->toolTip(), QString::fromUtf8(button.toolTip));
        EXPECT_TRUE(button.control->Stretch());
    }
}

class SecondaryForms : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.move(150, 100);
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        platform.windows.clearCalls();
    }

    template <class Form> Form& shown(core::FormInstance<Form>& instance)
    {
        Form& form = instance.get();
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        return form;
    }

    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
};

} // namespace

TEST_F(SecondaryForms, ThePlayListWindowWearsItsFrameAndElevenButtons)
{
    frmList& list = forms.list.get();
    EXPECT_EQ(list.size(), QSize(321, 274));
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Play List"));
    EXPECT_TRUE(list.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(list.ImgBar1.geometry(), QRect(0, 0, 321, 25));
    EXPECT_EQ(list.ImgBar1.Picture(), 111);
    EXPECT_EQ(list.ImgIco.pos(), QPoint(3, 2));
    EXPECT_EQ(list.ImgIco.Picture(), 134);
    EXPECT_EQ(list.ImgEnd.pos(), QPoint(296, 5));
    EXPECT_EQ(list.ImgEnd.Picture(), 118);
    EXPECT_EQ(list.ImgEnd.toolTip(), QStringLiteral("退出"));
    expectButtons({
        { &list.ImgAdd, 4200, 480, 215, "添加一项或多项" },
        { &list.ImgDel, 4200, 960, 218, "移除选定项目" },
        { &list.ImgDelAll, 4200, 1440, 221, "清空列表" },
        { &list.ImgUp, 4200, 1920, 209, "上移选定项目" },
        { &list.ImgDown, 4200, 2400, 212, "下移选定项目" },
        { &list.ImgSort, 4200, 2880, 233, "给项目排序" },
        { &list.ImgCol, 240, 3600, 227, "在指定目录中搜集Flash动画" },
        { &list.ImgLoad, 840, 3600, 224, "加载播放列表" },
        { &list.ImgSave, 1440, 3600, 200, "保存播放列表" },
        { &list.ImgPlay, 2040, 3600, 173, "播放选定的Flash动画" },
        { &list.ImgOK, 4200, 3600, 194, "退出" },
    });
    EXPECT_EQ(list.ImgAdd.size(), QSize(31, 31));

    // The frame lines are fitted to the window's height at load.
    EXPECT_EQ(std::tuple(list.Line1.X1(), list.Line1.Y1(), list.Line1.Y2()), std::tuple(5, 0, 4100));
    EXPECT_EQ(std::tuple(list.Line2.X1(), list.Line2.Y2()), std::tuple(4805, 4105));
    EXPECT_EQ(std::tuple(list.Line3.Y1(), list.Line3.Y2(), list.Line3.X2()), std::tuple(4100, 4100, 4805));
    EXPECT_EQ(list.Line2.geometry(), QRect(320, 0, 1, 274)) << "on the window's last column";
    EXPECT_EQ(list.Line3.geometry(), QRect(0, 273, 320, 1)) << "on its last row";
}

TEST_F(SecondaryForms, TheOpenDialogWearsItsFrameAndThreeButtons)
{
    frmOpen& open = forms.open.get();
    EXPECT_EQ(open.size(), QSize(378, 95));
    EXPECT_EQ(open.windowTitle(), QStringLiteral("Open An Animation"));
    EXPECT_EQ(open.ImgEnd.pos(), QPoint(352, 5));
    for (const auto& [image, id] :
        { std::pair { &open.ImgIco, 134 }, { &open.ImgBar1, 111 }, { &open.ImgEnd, 118 } })
        EXPECT_EQ(image->Picture(), id);
    expectButtons({
        { &open.ImgOpen, 3840, 930, 203, "打开一个或者多个动画" },
        { &open.ImgOK, 4440, 930, 194, "确定" },
        { &open.ImgExit, 5040, 930, 197, "取消" },
    });
    EXPECT_EQ(open.Line1.BorderColor(), QColor(192, 192, 192));
    EXPECT_EQ(open.Line3.geometry(), QRect(377, 0, 1, 95));
}

TEST_F(SecondaryForms, TheAboutWindowShowsItsVersionNotesAndButtons)
{
    main.ShowAbout();
    frmAbout& about = *forms.about.loaded();
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Zorvaplay Version 1.3.326"));
    EXPECT_EQ(about.size(), QSize(280, 168));
    EXPECT_EQ(about.ImgBar1.geometry(), QRect(0, 0, 298, 25)) << "wider than the window, cut off by it";
    EXPECT_EQ(about.ImgIco.pos(), QPoint(3, 3));
    EXPECT_EQ(about.ImgEnd.pos(), QPoint(256, 6));
    for (const auto& [image, id] :
        { std::pair { &about.ImgIco, 134 }, { &about.ImgBar1, 111 }, { &about.ImgEnd, 118 } })
        EXPECT_EQ(image->Picture(), id);
    expectButtons({ { &about.ImgOK, 3600, 1963, 194, "确定" } });
    EXPECT_EQ(about.ImgOK.size(), QSize(29, 29));

    EXPECT_TRUE(about.Label1.text().startsWith(QStringLiteral("    由于 Flash 的制作方式花样繁多")));
    EXPECT_TRUE(about.lblDescription.text().startsWith(QStringLiteral("    ")));
    EXPECT_EQ(about.lblDescription.geometry(), QRect(8, 40, 265, 62));
    EXPECT_EQ(about.Label1.geometry(), QRect(8, 104, 265, 49));
}

TEST_F(SecondaryForms, ShowAboutShowsItEvenOverAnotherSecondaryWindow)
{
    shown(forms.list);
    main.ShowAbout();
    ASSERT_TRUE(forms.about.isLoaded());
    EXPECT_TRUE(forms.about.loaded()->isVisible());
    EXPECT_TRUE(forms.list.loaded()->isVisible());
}

TEST_F(SecondaryForms, EachWindowOpensCentredOverTheMainWindow)
{
    for (QWidget* form : { static_cast<QWidget*>(&shown(forms.list)),
             static_cast<QWidget*>(&shown(forms.open)), static_cast<QWidget*>(&shown(forms.about)) }) {
        EXPECT_LE((form->geometry().center() - main.geometry().center()).manhattanLength(), 1)
            << form->objectName().toStdString();
        EXPECT_EQ(form->parentWidget(), &main);
    }
}

TEST_F(SecondaryForms, EachWindowFollowsTheAlwaysOnTopOptionWhenItLoads)
{
    forms.list.get();
    forms.open.get();
    forms.about.get();
    EXPECT_EQ(platform.windows.calls(),
        QStringList({ QStringLiteral("setTopMost(frmList, false)"),
            QStringLiteral("setTopMost(frmOpen, false)"), QStringLiteral("setTopMost(frmAbout, false)") }));
    EXPECT_FALSE(forms.bkList.isLoaded()) << "an option never set needs no menu";

    forms.list.unload();
    forms.open.unload();
    forms.about.unload();
    forms.bkList.get().setOnTopChecked(true);
    for (QWidget* form : { static_cast<QWidget*>(&forms.list.get()), static_cast<QWidget*>(&forms.open.get()),
             static_cast<QWidget*>(&forms.about.get()) })
        EXPECT_TRUE(platform.windows.isTopMost(*form)) << form->objectName().toStdString();
}

// Each close, by any of the window's buttons, hands the top of the Z order back to the
// main window; a press is followed by the close wherever the button is let go.
TEST_F(SecondaryForms, TheCloseButtonsUnloadTheWindowAndTheMainWindowComesToTheTop)
{
    auto closesBy = [&](auto& instance, chrome::ImageControl& button, int pressed, int released) {
        SCOPED_TRACE(button.toolTip().toStdString());
        platform.windows.clearCalls();
        mouse::press(button, Qt::RightButton);
        EXPECT_EQ(button.Picture(), pressed);
        EXPECT_TRUE(instance.isLoaded());
        mouse::release(button, Qt::RightButton, QPoint(-300, 400));
        EXPECT_EQ(button.Picture(), released);
        EXPECT_FALSE(instance.isLoaded());
        EXPECT_EQ(platform.windows.broughtToTop(), &main);
    };
    closesBy(forms.list, shown(forms.list).ImgEnd, 119, 119);
    closesBy(forms.list, shown(forms.list).ImgOK, 195, 194);
    closesBy(forms.about, shown(forms.about).ImgEnd, 119, 119);
    closesBy(forms.about, shown(forms.about).ImgOK, 195, 194);
    closesBy(forms.open, shown(forms.open).ImgEnd, 119, 119);
    closesBy(forms.open, shown(forms.open).ImgExit, 198, 197);
}

TEST_F(SecondaryForms, ButtonsWhoseCommandsComeLaterLeaveTheWindowOpen)
{
    frmOpen& open = shown(forms.open);
    mouse::click(open.ImgOpen);
    mouse::click(open.ImgOK);
    EXPECT_TRUE(forms.open.isLoaded());
    EXPECT_EQ(open.ImgOK.Picture(), 194);

    frmList& list = shown(forms.list);
    for (chrome::ImageControl* button : { &list.ImgAdd, &list.ImgDel, &list.ImgDelAll, &list.ImgUp,
             &list.ImgDown, &list.ImgSort, &list.ImgCol, &list.ImgLoad, &list.ImgSave, &list.ImgPlay })
        mouse::click(*button);
    EXPECT_TRUE(forms.list.isLoaded());
}

TEST_F(SecondaryForms, ClosingByTheSystemUnloadsTheWindowToo)
{
    frmAbout& about = shown(forms.about);
    EXPECT_TRUE(about.close());
    EXPECT_FALSE(forms.about.isLoaded());
    EXPECT_EQ(platform.windows.broughtToTop(), &main);
}

TEST_F(SecondaryForms, TheTitleBarAndTheIconDragTheWindow)
{
    frmList& list = shown(forms.list);
    mouse::move(list.ImgBar1, QPoint(100, 10));
    platform.windows.setCursorPos(QPoint(400, 300));
    mouse::move(list.ImgBar1, QPoint(100, 10), Qt::LeftButton);
    EXPECT_EQ(list.pos(), QPoint(300, 290));
    mouse::move(list.ImgBar1, QPoint(100, 10), Qt::RightButton);
    platform.windows.setCursorPos(QPoint(0, 0));
    mouse::move(list.ImgBar1, QPoint(100, 10), Qt::RightButton);
    EXPECT_EQ(list.pos(), QPoint(300, 290)) << "the right button does not drag";

    mouse::move(list.ImgIco, QPoint(10, 4));
    platform.windows.setCursorPos(QPoint(500, 500));
    mouse::move(list.ImgIco, QPoint(10, 4), Qt::LeftButton);
    EXPECT_EQ(list.pos(), QPoint(490, 496));
}

TEST_F(SecondaryForms, TheAboutWindowDragsByItsBackgroundButNotByItsLabels)
{
    frmAbout& about = shown(forms.about);
    const QPoint start = about.pos();
    platform.windows.setCursorPos(QPoint(600, 500));
    mouse::move(about.Label1, QPoint(20, 10));
    mouse::press(about.Label1, Qt::LeftButton, QPoint(20, 10));
    mouse::move(about.Label1, QPoint(40, 30), Qt::LeftButton);
    mouse::move(about.lblDescription, QPoint(40, 30), Qt::LeftButton);
    EXPECT_EQ(about.pos(), start);

    mouse::move(about, QPoint(270, 100)); // an empty spot at the right
    EXPECT_FLOAT_EQ(about.FormGrab.X, 4050);
    mouse::move(about, QPoint(272, 104), Qt::LeftButton);
    EXPECT_EQ(about.pos(), QPoint(330, 400));
}
