#include "mdlCollectAnimations.h"

#include "ListBox.h"
#include "platform/FolderPicker.h"
#include "platform/MessageBoxes.h"

#include <QDir>

namespace mdlCollectAnimations {

QString BrowseFolder(
    platform::FolderPicker& picker, platform::MessageBoxes& messages, const QString& title, QWidget* owner)
{
    const QString folder = picker.browseForFolder(owner, title);
    if (folder.size() > MaxFolderLength) {
        messages.information(owner, QStringLiteral("提示"),
            QStringLiteral("文件夹的路径超过%1个字符，无法在其中搜集Flash动画。").arg(MaxFolderLength));
        return {};
    }
    return folder;
}

QStringList FindSwfFiles(const QString& folder)
{
    // Every kind of entry whose name matches is taken, as the system's own search did.
    const QDir dir(folder);
    return dir.entryList({ QStringLiteral("*.swf") },
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
}

int AddSwfFiles(const QString& folder, playlist::ListBox& list)
{
    if (folder.isEmpty())
        return 0;
    QStringList paths;
    for (const QString& name : FindSwfFiles(folder))
        paths << joinPath(folder, name);
    return static_cast<int>(paths.size()) - list.AddItems(paths);
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.endsWith(QDir::separator()) || folder.endsWith(u'/'))
        return folder + name;
    return folder + QDir::separator() + name;
}

} // namespace mdlCollectAnimations
