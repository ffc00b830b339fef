#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {
class FolderPicker;
class MessageBoxes;
} // namespace platform

namespace playlist {
class ListBox;
}

// Collecting the movies of one folder into the play list.
namespace mdlCollectAnimations {

// The longest folder path taken from the picker.
inline constexpr int MaxFolderLength = 255;

// Asks for a folder over `owner`. Empty text when the user cancelled, or chose a folder
// whose path is longer than MaxFolderLength (then the user is told).
QString BrowseFolder(
    platform::FolderPicker& picker, platform::MessageBoxes& messages, const QString& title, QWidget* owner);

// The names in `folder` (not in its subfolders) that end in ".swf" in any case, hidden
// ones included, in the order the system lists them.
QStringList FindSwfFiles(const QString& folder);

// Appends folder, separator and name for every match of FindSwfFiles to `list`; nothing
// for an empty folder text. Returns how many matches did not fit into a full list.
int AddSwfFiles(const QString& folder, playlist::ListBox& list);

// `folder` and `name` joined by one separator.
QString joinPath(const QString& folder, const QString& name);

} // namespace mdlCollectAnimations
