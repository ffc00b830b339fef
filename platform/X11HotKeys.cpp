#include "X11HotKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace platform {

namespace {

// The keysym of a virtual-key code: letters and digits, the only keys the player uses.
KeySym keysymOf(int virtualKey)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + (virtualKey - '0');
    return NoSymbol;
}

// Each modifier of a hot key and the X modifier it is.
struct ModifierMask {
    int modifier;
    std::uint16_t mask;
};
constexpr ModifierMask ModifierMasks[] {
    { ModControl, ControlMask },
    { ModShift, ShiftMask },
    { ModAlt, Mod1Mask },
    { ModWin, Mod4Mask },
};

std::uint16_t xModifiersOf(int modifiers)
{
    std::uint16_t state = 0;
    for (const ModifierMask& each : ModifierMasks)
        if (modifiers & each.modifier)
            state |= each.mask;
    return state;
}

int modifiersOf(std::uint16_t state)
{
    int modifiers = 0;
    for (const ModifierMask& each : ModifierMasks)
        if (state & each.mask)
            modifiers |= each.modifier;
    return modifiers;
}

} // namespace

X11HotKeys::X11HotKeys(QObject* parent)
    : HotKeyService(parent)
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display() || !x11->connection())
        return;
    display_ = x11->display();
    connection_ = x11->connection();
    root_ = static_cast<std::uint32_t>(XDefaultRootWindow(display_));
    // Num Lock is whichever modifier the keyboard map gives it (Mod2 on most servers).
    numLock_ = static_cast<std::uint16_t>(XkbKeysymToModifiers(display_, XK_Num_Lock));
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeys::~X11HotKeys()
{
    if (!connection_)
        return;
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    for (const Grab& each : grabs_)
        ungrab(each);
    xcb_flush(connection_);
}

// An atom of the X server: the same number for the same name for every client.
int X11HotKeys::GlobalAddAtom(const QString& name)
{
    if (!connection_)
        return 0;
    const QByteArray bytes = name.toUtf8();
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(bytes.size()), bytes.constData()),
        nullptr);
    if (!reply)
        return 0;
    const int atom = static_cast<int>(reply->atom);
    std::free(reply);
    return atom;
}

QList<std::uint16_t> X11HotKeys::lockVariants() const
{
    QList<std::uint16_t> variants { 0, LockMask };
    if (numLock_ && numLock_ != LockMask)
        variants << numLock_ << static_cast<std::uint16_t>(numLock_ | LockMask);
    return variants;
}

bool X11HotKeys::grab(std::uint8_t keycode, std::uint16_t state)
{
    // The events are reported to the root window even while one of our own windows has
    // the focus, so that the filter below sees every press of the key.
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(
        connection_, 0, root_, state, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    // The error is BadAccess when another client holds the key.
    xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
    if (!error)
        return true;
    std::free(error);
    return false;
}

void X11HotKeys::ungrab(const Grab& grab)
{
    for (const std::uint16_t lock : lockVariants())
        xcb_ungrab_key(connection_, grab.keycode, root_, static_cast<std::uint16_t>(grab.state | lock));
}

bool X11HotKeys::RegisterHotKey(QWidget& window, int id, int modifiers, int virtualKey)
{
    if (!connection_)
        return false;
    for (const Grab& each : grabs_)
        if (each.id == id && each.window == &window)
            return false;
    const KeySym keysym = keysymOf(virtualKey);
    const KeyCode keycode = keysym == NoSymbol ? 0 : XKeysymToKeycode(display_, keysym);
    if (keycode == 0)
        return false;

    const Grab wanted { &window, id, modifiers, virtualKey, static_cast<std::uint8_t>(keycode),
        xModifiersOf(modifiers) };
    for (const std::uint16_t lock : lockVariants()) {
        if (!grab(wanted.keycode, static_cast<std::uint16_t>(wanted.state | lock))) {
            // Half a key would work with some lock states only: give back what was had.
            ungrab(wanted);
            xcb_flush(connection_);
            return false;
        }
    }
    grabs_ << wanted;
    return true;
}

bool X11HotKeys::UnregisterHotKey(QWidget& window, int id)
{
    for (qsizetype i = 0; i < grabs_.size(); ++i) {
        if (grabs_[i].id != id || grabs_[i].window != &window)
            continue;
        ungrab(grabs_[i]);
        xcb_flush(connection_);
        grabs_.removeAt(i);
        return true;
    }
    return false;
}

bool X11HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || grabs_.isEmpty())
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (key->event != root_)
        return false;
    const std::uint16_t locks = static_cast<std::uint16_t>(LockMask | numLock_);
    const std::uint16_t state = xModifiersOf(modifiersOf(key->state & ~locks));
    for (const Grab& each : grabs_) {
        if (each.keycode != key->detail || each.state != state)
            continue;
        // The command runs from the event loop, not inside Qt's handling of X events: it
        // may open windows and dialogs of its own.
        if (type == XCB_KEY_PRESS) {
            QWidget* window = each.window;
            const int id = each.id;
            const int modifiers = modifiersOf(key->state);
            const int virtualKey = each.virtualKey;
            QMetaObject::invokeMethod(
                this,
                [this, window, id, modifiers, virtualKey] { emit HotKey(window, id, modifiers, virtualKey); },
                Qt::QueuedConnection);
        }
        return true;
    }
    return false;
}

} // namespace platform
