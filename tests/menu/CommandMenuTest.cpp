#include "chrome/frmAbout.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "core/frmOpen.h"
#include "menu/frmBKList.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"
#include "support/QtPrinters.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// The captions a menu shows, in order; a separator reads "-".
QStringList shownCaptions(const QMenu& menu)
{
    QStringList captions;
    for (const QAction* action : menu.actions())
        if (action->isVisible())
            captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

class CommandMenuTest : public ::testing::Test {
protected:
    void SetUp() override { main.Form_Load(QString()); }

    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
    frmBKList& menu = forms.bkList.get();
};

} // namespace

TEST_F(CommandMenuTest, TheTopLevelOffersTheCommandsThenTheFourSubmenus)
{
    EXPECT_EQ(shownCaptions(menu.mnu),
        QStringList({ QStringLiteral("编辑播放列表...      Ctrl+L"),
            QStringLiteral("截取一帧             Ctrl+T"), QStringLiteral("播放控制"),
            QStringLiteral("EXE转SWF"), QStringLiteral("选项"), QStringLiteral("帮助") }));
    EXPECT_EQ(menu.mnuShow->text().indexOf(u"Ctrl+") - menu.mnuShow->text().indexOf(u"...") - 3, 6);
    EXPECT_EQ(menu.mnuPlayer->menuAction()->menu(), menu.mnuPlayer);
    EXPECT_FALSE(menu.isVisible()) << "the menu's owner is never shown";
}

TEST_F(CommandMenuTest, TheSubmenusHoldTheirItemsInOrder)
{
    EXPECT_EQ(shownCaptions(*menu.mnuPlayer),
        QStringList({ QStringLiteral("打开Flash动画... Ctrl+O"), QStringLiteral("-"),
            QStringLiteral("播放|暂停        Ctrl+P"), QStringLiteral("重放"),
            QStringLiteral("上一个           Ctrl+B"), QStringLiteral("下一个           Ctrl+N"),
            QStringLiteral("-"), QStringLiteral("退出") }));
    EXPECT_EQ(shownCaptions(*menu.mnuExe2Swf),
        QStringList(
            { QStringLiteral("EXE转SWF（适用于Flash5、6）"), QStringLiteral("EXE转SWF（适用于Flash7）") }));
    EXPECT_EQ(shownCaptions(*menu.mnuOption), QStringList { QStringLiteral("总在最前") });
    EXPECT_EQ(shownCaptions(*menu.mnuHelp),
        QStringList({ QStringLiteral("关于..."), QStringLiteral("自动下载新版播放器") }));
}

TEST_F(CommandMenuTest, TheHiddenItemsCannotBeChosen)
{
    EXPECT_FALSE(menu.mnuAlpha->isVisible());
    EXPECT_FALSE(menu.mnuAlpha->isEnabled());
    EXPECT_FALSE(menu.Mnu2->menuAction()->isVisible());
    EXPECT_FALSE(menu.Mnu2->menuAction()->isEnabled());
    EXPECT_EQ(menu.Mnu2->title(), QString());
    EXPECT_EQ(menu.mnu.actions().last(), menu.Mnu2->menuAction());
    EXPECT_EQ(shownCaptions(*menu.Mnu2),
        QStringList({ QStringLiteral("上移"), QStringLiteral("下移"), QStringLiteral("按名称排序") }));
    // Nothing carries a shortcut of its own: the keys are system-wide.
    for (const QAction* action : menu.findChildren<QAction*>())
        EXPECT_TRUE(action->shortcut().isEmpty()) << action->objectName().toStdString();
}

TEST_F(CommandMenuTest, AlwaysOnTopTwiceReturnsToTheNormalBand)
{
    EXPECT_FALSE(menu.OnTopChecked()) << "off at every start";
    menu.mnuOnTop->trigger();
    EXPECT_TRUE(menu.mnuOnTop->isChecked());
    EXPECT_TRUE(platform.windows.isTopMost(main));
    menu.mnuOnTop->trigger();
    EXPECT_FALSE(menu.mnuOnTop->isChecked());
    EXPECT_FALSE(platform.windows.isTopMost(main));
    EXPECT_EQ(platform.windows.calls(),
        QStringList(
            { QStringLiteral("setTopMost(frmMain, true)"), QStringLiteral("setTopMost(frmMain, false)") }));
}

TEST_F(CommandMenuTest, TheOptionReachesTheSecondaryWindowsWhenTheyLoad)
{
    menu.mnuOnTop->trigger();
    forms.about.get();
    EXPECT_TRUE(platform.windows.isTopMost(*forms.about.loaded()));
    EXPECT_FALSE(platform.windows.calls().contains(QStringLiteral("setTopMost(frmAbout, false)")));
}

TEST_F(CommandMenuTest, TheTranslucencyItemOnlyFlipsItsOwnMark)
{
    menu.mnuAlpha_Click();
    EXPECT_TRUE(menu.mnuAlpha->isChecked());
    menu.mnuAlpha_Click();
    EXPECT_FALSE(menu.mnuAlpha->isChecked());
    EXPECT_TRUE(platform.windows.calls().isEmpty());
}

TEST_F(CommandMenuTest, ItemsForwardToTheMainWindowsCommands)
{
    menu.mnuOpen->trigger();
    ASSERT_TRUE(forms.open.isLoaded());
    EXPECT_TRUE(forms.open.loaded()->isVisible());
    forms.open.loaded()->CloseDialog();

    menu.mnuCatch->trigger();
    EXPECT_EQ(platform.screen.grabbed().size(), 1);
    ASSERT_EQ(platform.fileDialogs.shown().size(), 1);
    EXPECT_EQ(platform.fileDialogs.shown().last().title, QStringLiteral("保存bmp位图"));

    menu.mnuExtract56->trigger();
    menu.mnuExtract7->trigger();
    ASSERT_EQ(platform.fileDialogs.shown().size(), 3);
    EXPECT_EQ(platform.fileDialogs.shown()[1].title, QStringLiteral("选择要解析的EXE文件"));
    EXPECT_EQ(platform.fileDialogs.shown()[2].title, QStringLiteral("选择要解析的EXE文件"));

    menu.mnuAbout->trigger();
    ASSERT_TRUE(forms.about.isLoaded());
    EXPECT_TRUE(forms.about.loaded()->isVisible());
}

TEST_F(CommandMenuTest, ACommandWhoseGuardRefusesDoesNothingFromTheMenuEither)
{
    main.ShowAbout();
    menu.mnuCatch->trigger();
    EXPECT_TRUE(platform.screen.grabbed().isEmpty());
    EXPECT_TRUE(platform.fileDialogs.shown().isEmpty());
    menu.mnuOpen->trigger();
    EXPECT_FALSE(forms.open.isLoaded() && forms.open.loaded()->isVisible());
}

TEST_F(CommandMenuTest, ExitQuitsAsTheMainWindowsExitDoes)
{
    main.show();
    QSignalSpy destroyed(&menu, &QObject::destroyed);
    menu.mnuExit->trigger();
    EXPECT_FALSE(main.isVisible());
    EXPECT_FALSE(forms.bkList.isLoaded()) << "the menu's window is unloaded with the main window";
    EXPECT_TRUE(platform.keyboard.registered().isEmpty());
    EXPECT_TRUE(platform.movieControl()->calls().endsWith(QStringLiteral("Stop")));
}

TEST_F(CommandMenuTest, TheUpdateCheckIsAnnouncedWithTheMainWindowHidden)
{
    main.show();
    platform.downloads.fail();
    menu.mnuUpGrade->trigger();
    ASSERT_GE(platform.messages.shown().size(), 2);
    const auto& announcement = platform.messages.shown().first();
    EXPECT_EQ(announcement.text, QStringLiteral("点击确定后开始检查是否有更新，请稍候。"));
    EXPECT_EQ(announcement.title, QStringLiteral("提示"));
    EXPECT_FALSE(announcement.ownerVisible);
    EXPECT_EQ(platform.downloads.requests().size(), 1);
    EXPECT_TRUE(main.isVisible()) << "shown again once the check is over";
}

TEST_F(CommandMenuTest, ThePopupOpensAtThePointer)
{
    platform.windows.setCursorPos(QPoint(140, 90));
    emit main.ImgBar1.MouseUp(2, 0, 1, 1); // a right-button release on the title bar
    ASSERT_TRUE(menu.mnu.isVisible());
    EXPECT_EQ(menu.mnu.pos(), QPoint(140, 90));
    menu.mnu.hide();
}
