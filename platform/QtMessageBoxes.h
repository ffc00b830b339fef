#pragma once

#include "MessageBoxes.h"

namespace platform {

// Message boxes on QMessageBox; the standard buttons read 确定 / 是 / 否 once the Qt
// Chinese translation is installed at start-up.
class QtMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(QWidget* owner, MessageIcon icon, const QString& title, const QString& text,
        MessageButtons buttons) override;
};

} // namespace platform
