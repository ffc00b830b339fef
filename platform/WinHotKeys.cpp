#include "WinHotKeys.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>

namespace platform {

WinHotKeys::WinHotKeys(QObject* parent)
    : HotKeyService(parent)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WinHotKeys::~WinHotKeys()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

int WinHotKeys::GlobalAddAtom(const QString& name)
{
    const ATOM atom = ::GlobalAddAtomW(reinterpret_cast<LPCWSTR>(name.utf16()));
    return static_cast<int>(static_cast<qint16>(atom));
}

bool WinHotKeys::RegisterHotKey(QWidget& window, int id, int modifiers, int virtualKey)
{
    return ::RegisterHotKey(reinterpret_cast<HWND>(window.winId()), id, static_cast<UINT>(modifiers),
               static_cast<UINT>(virtualKey))
        != 0;
}

bool WinHotKeys::UnregisterHotKey(QWidget& window, int id)
{
    return ::UnregisterHotKey(reinterpret_cast<HWND>(window.winId()), id) != 0;
}

bool WinHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result)
{
    if (eventType != "windows_generic_MSG")
        return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_HOTKEY)
        return false;
    QWidget* window = QWidget::find(reinterpret_cast<WId>(msg->hwnd));
    const int id = static_cast<int>(msg->wParam);
    const int modifiers = LOWORD(msg->lParam);
    const int virtualKey = HIWORD(msg->lParam);
    // The command runs from the event loop: it may open windows and dialogs of its own.
    QMetaObject::invokeMethod(
        this, [this, window, id, modifiers, virtualKey] { emit HotKey(window, id, modifiers, virtualKey); },
        Qt::QueuedConnection);
    if (result)
        *result = 0;
    return true;
}

} // namespace platform

#endif
