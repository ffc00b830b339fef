#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace platform {

// The modifier bits of a hot key, with the values the system-wide hot keys have always
// had (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
enum HotKeyModifier : int {
    ModAlt = 0x1,
    ModControl = 0x2,
    ModShift = 0x4,
    ModWin = 0x8,
};

// System-wide hot keys: a key registered here reaches the program while another program
// has the focus or the program is minimised. Keys are named by their virtual-key codes
// (a letter is the code of its capital, 'O' is 79) and a registration is known by an
// identifier of the caller's choice, usually a global atom.
//
// Implementations: X11HotKeys (grabs on the root window), WinHotKeys (RegisterHotKey),
// FakeHotKeys (tests). A key another program holds cannot be registered; the others are
// not affected by it.
class HotKeyService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // A number for `name`, the same for the same name for as long as the session lasts.
    virtual int GlobalAddAtom(const QString& name) = 0;
    // Registers `virtualKey` with exactly `modifiers` for `window` under `id`. False when
    // the key is held by another program or cannot be had at all.
    virtual bool RegisterHotKey(QWidget& window, int id, int modifiers, int virtualKey) = 0;
    // Gives the key registered under `id` back. False when there was none.
    virtual bool UnregisterHotKey(QWidget& window, int id) = 0;

signals:
    // A registered key was pressed: the window it was registered for, its identifier, the
    // modifiers held (HotKeyModifier bits) and its virtual-key code.
    void HotKey(QWidget* window, int id, int modifiers, int virtualKey);
};

} // namespace platform
