#include "core/HotKeys.h"
#include "chrome/frmAbout.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "core/frmOpen.h"
#include "platform/fakes/FakePlatform.h"
#include "support/QtPrinters.h"

#include <QWidget>

#include <gtest/gtest.h>

using platform::ModControl;
using platform::ModShift;

namespace {

// The hot keys of a window, with commands that write down their names.
class HotKeysTest : public ::testing::Test {
protected:
    mdlCommonFunctions::HotKeyCommands recording()
    {
        const auto note
            = [this](const char* name) { return [this, name] { called << QString::fromLatin1(name); }; };
        return { note("OpenAni"), note("ShowPlayListWindowAni"), note("NextAni"), note("BackAni"),
            note("CatchFrame"), note("PlayAni") };
    }

    platform::FakeHotKeys service;
    QWidget window;
    mdlCommonFunctions::HotKeys keys { service };
    QStringList called;
};

} // namespace

TEST_F(HotKeysTest, SixCtrlKeysAreRegisteredUnderTheirAtoms)
{
    keys.InstallHotKeys(window, recording());
    const QList<int> virtualKeys { 'O', 'L', 'N', 'B', 'T', 'P' };
    ASSERT_EQ(service.registered().size(), 6);
    for (int i = 0; i < 6; ++i) {
        const auto& registration = service.registered()[i];
        EXPECT_EQ(registration.window, &window);
        EXPECT_EQ(registration.modifiers, ModControl);
        EXPECT_EQ(registration.virtualKey, virtualKeys[i]);
        EXPECT_EQ(registration.id, service.GlobalAddAtom(QStringLiteral("%1Zorvaplay").arg(i)));
        EXPECT_EQ(registration.id, keys.HotKeyIds()[i]);
        EXPECT_LT(registration.id, 0) << "a string atom read as a signed 16-bit number";
    }
    EXPECT_EQ(QList<int>({ 79, 76, 78, 66, 84, 80 }), virtualKeys);
}

TEST_F(HotKeysTest, EachKeyCallsItsCommand)
{
    keys.InstallHotKeys(window, recording());
    for (const int key : { 'O', 'L', 'N', 'B', 'T', 'P' })
        EXPECT_TRUE(service.press(ModControl, key));
    EXPECT_EQ(called,
        QStringList(
            { QStringLiteral("OpenAni"), QStringLiteral("ShowPlayListWindowAni"), QStringLiteral("NextAni"),
                QStringLiteral("BackAni"), QStringLiteral("CatchFrame"), QStringLiteral("PlayAni") }));
}

TEST_F(HotKeysTest, TheKeyChoosesTheCommandNotTheIdentifier)
{
    keys.InstallHotKeys(window, recording());
    service.deliver(&window, keys.HotKeyIds()[0], ModControl, 'T');
    EXPECT_EQ(called, QStringList { QStringLiteral("CatchFrame") });
}

TEST_F(HotKeysTest, OtherModifiersIdentifiersAndKeysDoNothing)
{
    keys.InstallHotKeys(window, recording());
    EXPECT_FALSE(service.press(ModControl | ModShift, 'P')) << "registered for Ctrl alone";
    service.deliver(&window, keys.HotKeyIds()[5], ModControl | ModShift, 'P');
    service.deliver(&window, keys.HotKeyIds()[5], 0, 'P');
    service.deliver(&window, 12345, ModControl, 'P');
    service.deliver(&window, keys.HotKeyIds()[5], ModControl, 'Q');
    EXPECT_TRUE(called.isEmpty()) << called.join(u',').toStdString();
}

TEST_F(HotKeysTest, AKeyAnotherProgramHoldsStaysSilentAndTheOthersWork)
{
    service.holdElsewhere(ModControl, 'N');
    keys.InstallHotKeys(window, recording());
    EXPECT_EQ(service.registered().size(), 5);
    EXPECT_FALSE(service.press(ModControl, 'N'));
    EXPECT_TRUE(service.press(ModControl, 'P'));
    EXPECT_TRUE(service.press(ModControl, 'B'));
    EXPECT_EQ(called, QStringList({ QStringLiteral("PlayAni"), QStringLiteral("BackAni") }));
}

TEST_F(HotKeysTest, ASecondCopyGetsNoneOfTheKeysAndTheFirstKeepsThem)
{
    keys.InstallHotKeys(window, recording());
    QWidget secondWindow;
    mdlCommonFunctions::HotKeys second { service };
    QStringList secondCalled;
    second.InstallHotKeys(
        secondWindow, { {}, {}, {}, {}, {}, [&] { secondCalled << QStringLiteral("PlayAni"); } });
    EXPECT_EQ(service.registered().size(), 6);
    service.press(ModControl, 'P');
    EXPECT_EQ(called, QStringList { QStringLiteral("PlayAni") });
    EXPECT_TRUE(secondCalled.isEmpty());
}

TEST_F(HotKeysTest, AfterRemovalNoKeyDoesAnything)
{
    keys.InstallHotKeys(window, recording());
    const auto ids = keys.HotKeyIds();
    keys.RemoveHotKeys();
    EXPECT_TRUE(service.registered().isEmpty());
    for (const int id : ids)
        service.deliver(&window, id, ModControl, 'P');
    EXPECT_FALSE(service.press(ModControl, 'P'));
    EXPECT_TRUE(called.isEmpty());
}

// The main window installs the keys at the end of its start-up and removes them when it
// begins to unload.
TEST(MainWindowHotKeys, InstalledAtStartUpAndGoneWhenTheWindowUnloads)
{
    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
    EXPECT_TRUE(platform.keyboard.registered().isEmpty());
    main.Form_Load(QString());
    ASSERT_EQ(platform.keyboard.registered().size(), 6);
    EXPECT_EQ(platform.keyboard.registered().first().window, &main);

    // Ctrl+O brings the open dialog up; with it on screen a second Ctrl+O does nothing.
    EXPECT_TRUE(platform.keyboard.press(ModControl, 'O'));
    ASSERT_TRUE(forms.open.isLoaded());
    frmOpen* dialog = forms.open.loaded();
    EXPECT_TRUE(dialog->isVisible());
    platform.keyboard.press(ModControl, 'O');
    EXPECT_EQ(forms.open.loaded(), dialog);
    dialog->CloseDialog();

    // Ctrl+T captures the frame: the capture asks where to save it.
    platform.keyboard.press(ModControl, 'T');
    EXPECT_EQ(platform.screen.grabbed().size(), 1);
    EXPECT_EQ(platform.fileDialogs.shown().size(), 1);

    const QList<int> ids { platform.keyboard.registered().first().id };
    main.ExitAni();
    EXPECT_TRUE(platform.keyboard.registered().isEmpty());
    platform.keyboard.deliver(&main, ids.first(), ModControl, 'O');
    EXPECT_FALSE(forms.open.isLoaded());
}

TEST(MainWindowHotKeys, CtrlODoesNothingWhileTheAboutWindowShows)
{
    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
    main.Form_Load(QString());
    main.ShowAbout();
    platform.keyboard.press(ModControl, 'O');
    EXPECT_FALSE(forms.open.isLoaded() && forms.open.loaded()->isVisible());
}
