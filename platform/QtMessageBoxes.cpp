#include "QtMessageBoxes.h"

#include <QMessageBox>

namespace platform {

MessageAnswer QtMessageBoxes::show(
    QWidget* owner, MessageIcon icon, const QString& title, const QString& text, MessageButtons buttons)
{
    const auto standardButtons
        = buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information, title,
        text, standardButtons, owner);
    const int pressed = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace platform
