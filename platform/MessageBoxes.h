#pragma once

#include <QString>

class QWidget;

namespace platform {

enum class MessageIcon { Information, Warning };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Modal message boxes over an owner window. The player tells the user things only this
// way: notices with the information icon, file errors with the warning icon, and one
// question with Yes and No.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    virtual MessageAnswer show(
        QWidget* owner, MessageIcon icon, const QString& title, const QString& text, MessageButtons buttons)
        = 0;

    void information(QWidget* owner, const QString& title, const QString& text)
    {
        show(owner, MessageIcon::Information, title, text, MessageButtons::Ok);
    }
    void warning(QWidget* owner, const QString& title, const QString& text)
    {
        show(owner, MessageIcon::Warning, title, text, MessageButtons::Ok);
    }
    bool askYesNo(QWidget* owner, const QString& title, const QString& text)
    {
        return show(owner, MessageIcon::Information, title, text, MessageButtons::YesNo)
            == MessageAnswer::Yes;
    }
};

} // namespace platform
