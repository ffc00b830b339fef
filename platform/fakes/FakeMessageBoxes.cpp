#include "FakeMessageBoxes.h"

#include <QWidget>

namespace platform {

MessageAnswer FakeMessageBoxes::show(
    QWidget* owner, MessageIcon icon, const QString& title, const QString& text, MessageButtons buttons)
{
    shown_ << Shown { icon, title, text, buttons, owner && owner->isVisible() };
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (answers_.empty())
        return MessageAnswer::No;
    const MessageAnswer next = answers_.front();
    answers_.pop_front();
    return next;
}

} // namespace platform
