#include "FakeMessageBoxes.h"

namespace platform {

MessageAnswer FakeMessageBoxes::show(
    QWidget*, MessageIcon icon, const QString& title, const QString& text, MessageButtons buttons)
{
    shown_ << Shown { icon, title, text, buttons };
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (answers_.empty())
        return MessageAnswer::No;
    const MessageAnswer next = answers_.front();
    answers_.pop_front();
    return next;
}

} // namespace platform
