#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

namespace platform {
class HotKeyService;
}

namespace mdlCommonFunctions {

// The commands the hot keys call: the main window's methods.
struct HotKeyCommands {
    std::function<void()> OpenAni;
    std::function<void()> ShowPlayListWindowAni;
    std::function<void()> NextAni;
    std::function<void()> BackAni;
    std::function<void()> CatchFrame;
    std::function<void()> PlayAni;
};

// The six system-wide hot keys of the main window, Ctrl alone with O, L, N, B, T and P,
// and the state they need: the window they are registered for, the hook that takes the
// hot-key messages in its place, and the identifiers, one global atom each
// ("0Zorvaplay" to "5Zorvaplay"). A key another program holds stays silent; the others
// work all the same. Nothing is reported.
class HotKeys {
public:
    static constexpr int Count = 6;

    explicit HotKeys(platform::HotKeyService& service);
    // Keys still registered are given back.
    ~HotKeys();
    HotKeys(const HotKeys&) = delete;
    HotKeys& operator=(const HotKeys&) = delete;

    // Called once, at the end of the main window's start-up: the hook goes in first,
    // then the keys are registered in table order.
    void InstallHotKeys(QWidget& hWnd, HotKeyCommands commands);
    // Called when the main window is about to unload: the hook comes out first, so that
    // from here on no key does anything, then the keys are given back.
    void RemoveHotKeys();

    // What the window does with a hot-key message: a message for one of its identifiers
    // with Ctrl alone calls the command of the key pressed, whichever identifier came with
    // it. Anything else is dropped.
    void HotKeyWindowProc(int id, int modifiers, int virtualKey);

    const std::array<int, Count>& HotKeyIds() const { return HotKeyIds_; }

private:
    platform::HotKeyService& service_;
    QPointer<QWidget> HookedWnd;
    QMetaObject::Connection hook_;
    std::array<int, Count> HotKeyIds_ {};
    HotKeyCommands commands_;
};

} // namespace mdlCommonFunctions
