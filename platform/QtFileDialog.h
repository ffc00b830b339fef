#pragma once

#include "FileDialog.h"

#include <QPointer>
#include <QWidget>

namespace platform {

// The real file dialog: a modal QFileDialog over the owner window.
class QtFileDialog final : public FileDialog {
public:
    explicit QtFileDialog(QWidget* owner);

protected:
    std::optional<QStringList> ask(Mode mode) override;

private:
    QPointer<QWidget> owner_;
};

} // namespace platform
