#pragma once

#include <QString>

class QWidget;

namespace platform {

// The folder picker: the user chooses one folder of the file system.
class FolderPicker {
public:
    virtual ~FolderPicker() = default;

    // Shows the picker modally over `owner` with `title`. The chosen folder's full path,
    // without a trailing separator except for the root; empty text when the user cancelled.
    virtual QString browseForFolder(QWidget* owner, const QString& title) = 0;
};

} // namespace platform
