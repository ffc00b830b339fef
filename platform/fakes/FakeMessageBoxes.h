#pragma once

#include "platform/MessageBoxes.h"

#include <QList>

#include <deque>

namespace platform {

// Message boxes for tests: each box is recorded instead of shown; a Yes/No question takes
// the next scripted answer, or No when none is left.
class FakeMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        MessageIcon icon = MessageIcon::Information;
        QString title;
        QString text;
        MessageButtons buttons = MessageButtons::Ok;
        bool ownerVisible = false; // whether the owner window showed while the box did
    };

    MessageAnswer show(QWidget* owner, MessageIcon icon, const QString& title, const QString& text,
        MessageButtons buttons) override;

    void answer(MessageAnswer next) { answers_.push_back(next); }
    const QList<Shown>& shown() const { return shown_; }

private:
    std::deque<MessageAnswer> answers_;
    QList<Shown> shown_;
};

} // namespace platform
