#include "X11Keyboard.h"

#include "core/Forms.h"
#include "core/HotKeys.h"
#include "core/frmMain.h"
#include "core/frmOpen.h"
#include "platform/X11HotKeys.h"
#include "platform/fakes/FakePlatform.h"
#include "support/QtPrinters.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A window of its own that has the keyboard focus and writes down the keys it gets.
class FocusedWindow : public QWidget {
public:
    FocusedWindow()
    {
        setWindowTitle(QStringLiteral("another window"));
        setFocusPolicy(Qt::StrongFocus);
        resize(200, 100);
        move(600, 400);
    }

    // Shows it and gives it the focus; false when the server would not.
    bool takeFocus()
    {
        show();
        if (!QTest::qWaitForWindowExposed(this))
            return false;
        activateWindow();
        setFocus();
        return QTest::qWaitForWindowActive(this, 5000);
    }

    QStringList keys;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
            keys << QKeySequence(event->keyCombination()).toString();
    }
};

// Lets the server's answers and the queued hot-key messages arrive.
void settle(int ms = 300)
{
    QTest::qWait(ms);
}

class HotKeysX11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(keyboard.isOpen()) << "this test needs an X server with XTest";
        ASSERT_TRUE(other.takeFocus()) << "the other window did not get the focus";
    }

    void install()
    {
        const auto note
            = [this](const char* name) { return [this, name] { called << QString::fromLatin1(name); }; };
        keys.InstallHotKeys(window,
            { note("OpenAni"), note("ShowPlayListWindowAni"), note("NextAni"), note("BackAni"),
                note("CatchFrame"), note("PlayAni") });
    }

    void tapCtrl(char letter) { keyboard.tap({ X11Keyboard::control() }, X11Keyboard::letter(letter)); }

    X11Keyboard keyboard;
    FocusedWindow other;
    platform::X11HotKeys service;
    QWidget window; // the player's window, never shown: the keys reach it all the same
    mdlCommonFunctions::HotKeys keys { service };
    QStringList called;
};

} // namespace

TEST_F(HotKeysX11Test, CtrlPWhileAnotherWindowHasTheFocusReachesThePlayer)
{
    install();
    tapCtrl('p');
    ASSERT_TRUE(QTest::qWaitFor([&] { return !called.isEmpty(); }, 3000)) << "Ctrl+P did not arrive";
    EXPECT_EQ(called, QStringList { QStringLiteral("PlayAni") });
    settle();
    EXPECT_TRUE(other.keys.isEmpty()) << "the focused window saw " << other.keys.join(u' ').toStdString();

    // Each of the six.
    called.clear();
    for (const char letter : { 'o', 'l', 'n', 'b', 't' })
        tapCtrl(letter);
    EXPECT_TRUE(QTest::qWaitFor([&] { return called.size() == 5; }, 3000));
    EXPECT_EQ(called,
        QStringList({ QStringLiteral("OpenAni"), QStringLiteral("ShowPlayListWindowAni"),
            QStringLiteral("NextAni"), QStringLiteral("BackAni"), QStringLiteral("CatchFrame") }));
}

TEST_F(HotKeysX11Test, CtrlShiftPDoesNothingAndGoesToTheFocusedWindow)
{
    install();
    keyboard.tap({ X11Keyboard::control(), X11Keyboard::shift() }, X11Keyboard::letter('p'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !other.keys.isEmpty(); }, 3000));
    EXPECT_EQ(other.keys, QStringList { QStringLiteral("Ctrl+Shift+P") });
    settle();
    EXPECT_TRUE(called.isEmpty());
}

TEST_F(HotKeysX11Test, TheKeysWorkWithNumLockAndCapsLockOn)
{
    install();
    for (const unsigned long lock : { X11Keyboard::numLock(), X11Keyboard::capsLock() }) {
        keyboard.tap({}, lock); // on
        tapCtrl('p');
        keyboard.tap({}, lock); // off again
    }
    keyboard.tap({}, X11Keyboard::numLock());
    keyboard.tap({}, X11Keyboard::capsLock());
    tapCtrl('p');
    keyboard.tap({}, X11Keyboard::numLock());
    keyboard.tap({}, X11Keyboard::capsLock());
    EXPECT_TRUE(QTest::qWaitFor([&] { return called.size() == 3; }, 3000)) << called.size();
    settle();
    EXPECT_EQ(called, QStringList(3, QStringLiteral("PlayAni")));
    EXPECT_TRUE(other.keys.isEmpty());
}

TEST_F(HotKeysX11Test, AfterRemovalTheKeysGoToTheFocusedWindow)
{
    install();
    keys.RemoveHotKeys();
    tapCtrl('p');
    ASSERT_TRUE(QTest::qWaitFor([&] { return !other.keys.isEmpty(); }, 3000));
    EXPECT_EQ(other.keys, QStringList { QStringLiteral("Ctrl+P") });
    settle();
    EXPECT_TRUE(called.isEmpty());
}

TEST_F(HotKeysX11Test, AKeyAnotherProgramHoldsStaysSilentAndTheOthersWork)
{
    X11Keyboard holder;
    ASSERT_TRUE(holder.grabAsAnotherProgram(X11Keyboard::letter('n')));
    install();
    tapCtrl('n');
    tapCtrl('p');
    ASSERT_TRUE(QTest::qWaitFor([&] { return !called.isEmpty(); }, 3000));
    settle();
    EXPECT_EQ(called, QStringList { QStringLiteral("PlayAni") });
}

// The player's main window: Ctrl+O brings the open dialog up and Ctrl+P toggles play and
// pause over another program's focus; once the window has begun to unload, the keys are the focused window's again.
TEST(MainWindowHotKeysX11, CtrlOOpensTheDialogUntilTheWindowUnloads)
{
    class X11HotKeyPlatform : public platform::FakePlatform {
    public:
        platform::HotKeyService& hotKeys() override { return x11; }
        platform::X11HotKeys x11;
    };
    X11Keyboard keyboard;
    ASSERT_TRUE(keyboard.isOpen()) << "this test needs an X server with XTest";
    X11HotKeyPlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
    main.Form_Load(QString());
    main.show();
    FocusedWindow other;
    ASSERT_TRUE(other.takeFocus());

    keyboard.tap({ X11Keyboard::control() }, X11Keyboard::letter('o'));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return forms.open.isLoaded() && forms.open.loaded()->isVisible(); }, 3000));
    forms.open.loaded()->CloseDialog();
    ASSERT_TRUE(other.takeFocus());

    // Ctrl+P pauses and plays again; Ctrl+Shift+P stays with the focused window.
    platform::FakeMovieControl& flash = *platform.movieControl();
    const bool playing = flash.IsPlaying();
    keyboard.tap({ X11Keyboard::control() }, X11Keyboard::letter('p'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return flash.IsPlaying() != playing; }, 3000)) << "Ctrl+P did nothing";
    keyboard.tap({ X11Keyboard::control() }, X11Keyboard::letter('p'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return flash.IsPlaying() == playing; }, 3000)) << "Ctrl+P did not toggle back";
    keyboard.tap({ X11Keyboard::control(), X11Keyboard::shift() }, X11Keyboard::letter('p'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !other.keys.isEmpty(); }, 3000));
    EXPECT_EQ(flash.IsPlaying(), playing);
    other.keys.clear();

    main.ExitAni();
    keyboard.tap({ X11Keyboard::control() }, X11Keyboard::letter('o'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !other.keys.isEmpty(); }, 3000));
    EXPECT_EQ(other.keys, QStringList { QStringLiteral("Ctrl+O") });
    EXPECT_FALSE(forms.open.isLoaded());
}
