#pragma once

#include "HotKeyService.h"

#include <QAbstractNativeEventFilter>

namespace platform {

// Hot keys on Windows: RegisterHotKey on the window, and the WM_HOTKEY messages taken
// from Qt's native event filter.
class WinHotKeys final : public HotKeyService, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit WinHotKeys(QObject* parent = nullptr);
    ~WinHotKeys() override;

    // A global atom; its 16-bit number is read as signed, as the identifiers always were.
    int GlobalAddAtom(const QString& name) override;
    bool RegisterHotKey(QWidget& window, int id, int modifiers, int virtualKey) override;
    bool UnregisterHotKey(QWidget& window, int id) override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
};

} // namespace platform
