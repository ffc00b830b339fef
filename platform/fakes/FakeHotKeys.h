#pragma once

#include "platform/HotKeyService.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace platform {

// Hot keys for tests. Registrations are kept as the system keeps them; a key the test
// says another program holds cannot be registered. `press` stands for the user pressing
// keys anywhere on the desktop: a registered key with exactly these modifiers is
// delivered, as the system delivers it (at once, where the system goes through the event
// loop).
class FakeHotKeys final : public HotKeyService {
    Q_OBJECT
public:
    struct Registration {
        QPointer<QWidget> window;
        int id = 0;
        int modifiers = 0;
        int virtualKey = 0;
    };

    // String atoms count from 0xC000 upward; the 16-bit number is read as signed.
    int GlobalAddAtom(const QString& name) override;
    bool RegisterHotKey(QWidget& window, int id, int modifiers, int virtualKey) override;
    bool UnregisterHotKey(QWidget& window, int id) override;

    // ---- the test's side
    const QList<Registration>& registered() const { return registered_; }
    void holdElsewhere(int modifiers, int virtualKey) { heldElsewhere_ << Key { modifiers, virtualKey }; }
    // True when a registration took the keys.
    bool press(int modifiers, int virtualKey);
    // A hot-key message for `window` as it stands, for keys and identifiers no
    // registration has.
    void deliver(QWidget* window, int id, int modifiers, int virtualKey)
    {
        emit HotKey(window, id, modifiers, virtualKey);
    }

private:
    struct Key {
        int modifiers;
        int virtualKey;
        bool operator==(const Key&) const = default;
    };
    QStringList atoms_;
    QList<Registration> registered_;
    QList<Key> heldElsewhere_;
};

} // namespace platform
