#include "QtFolderPicker.h"

#include <QDir>
#include <QFileDialog>

namespace platform {

QString QtFolderPicker::browseForFolder(QWidget* owner, const QString& title)
{
    const QString folder
        = QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(folder));
}

} // namespace platform
