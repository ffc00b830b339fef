#pragma once

#include "HotKeyService.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <cstdint>

struct _XDisplay;
struct xcb_connection_t;

namespace platform {

// Hot keys on X11: each key is grabbed on the root window of Qt's own connection, once
// for every state of Num Lock and Caps Lock, so that it reaches the player whichever
// window has the focus. The key events of the grabs come through Qt's native event
// filter; every other event goes on to Qt. A key that another client has grabbed
// (BadAccess) cannot be registered, and none of its grabs is kept.
//
// Off X11 (Wayland, offscreen) nothing can be registered.
class X11HotKeys final : public HotKeyService, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit X11HotKeys(QObject* parent = nullptr);
    ~X11HotKeys() override;

    int GlobalAddAtom(const QString& name) override;
    bool RegisterHotKey(QWidget& window, int id, int modifiers, int virtualKey) override;
    bool UnregisterHotKey(QWidget& window, int id) override;

private:
    struct Grab {
        QPointer<QWidget> window;
        int id;
        int modifiers;
        int virtualKey;
        std::uint8_t keycode;
        std::uint16_t state; // the X modifier mask that the grab asks for, locks aside
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    bool grab(std::uint8_t keycode, std::uint16_t state);
    void ungrab(const Grab& grab);
    // The X modifier masks of each lock combination: none, Caps Lock, Num Lock, both.
    QList<std::uint16_t> lockVariants() const;

    _XDisplay* display_ = nullptr;
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint16_t numLock_ = 0;
    QList<Grab> grabs_;
};

} // namespace platform
