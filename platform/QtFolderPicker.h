#pragma once

#include "FolderPicker.h"

namespace platform {

// The folder picker through QFileDialog.
class QtFolderPicker final : public FolderPicker {
public:
    QString browseForFolder(QWidget* owner, const QString& title) override;
};

} // namespace platform
