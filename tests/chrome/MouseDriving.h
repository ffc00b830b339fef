#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Mouse events sent straight to a control, as the window system delivers them to the
// control that holds the mouse: a release reaches the pressed control wherever it is.
namespace mouse {

inline void send(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, held, modifiers);
    QApplication::sendEvent(&widget, &event);
}

inline void press(QWidget& widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = { 5, 5 })
{
    send(widget, QEvent::MouseButtonPress, at, button, button);
}

inline void release(QWidget& widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = { 5, 5 })
{
    send(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

inline void click(QWidget& widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = { 5, 5 })
{
    press(widget, button, at);
    release(widget, button, at);
}

inline void doubleClick(QWidget& widget, QPoint at = { 5, 5 })
{
    click(widget, Qt::LeftButton, at);
    send(widget, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    release(widget, Qt::LeftButton, at);
}

inline void move(QWidget& widget, QPoint at, Qt::MouseButtons held = Qt::NoButton)
{
    send(widget, QEvent::MouseMove, at, Qt::NoButton, held);
}

} // namespace mouse
