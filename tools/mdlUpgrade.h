#pragma once

#include "tools/VersionFile.h"

#include <QString>
#include <QUrl>

#include <chrono>

class QWidget;
class frmMain;

namespace platform {
class Platform;
enum class DownloadStatus;
class Downloader;
} // namespace platform

// The check for a newer version of the player on the maker's web site.
namespace mdlUpgrade {

// Where the check looks and what it compares with. ofThisProgram() gives the player's own.
struct UpdateSettings {
    QUrl versionUrl; // the version file on the web
    QString programFolder; // where the version file is kept during the check...
    QString cacheFolder; // ...or here, when the program's folder cannot be written
    ProgramVersion own;
    std::chrono::milliseconds downloadTimeout { std::chrono::seconds(20) };

    static UpdateSettings ofThisProgram();
};

// The one message of every failure of the check.
QString errorMessage();

// Where the version file is stored: "version.txt" in the program's folder, or in the
// cache folder when the program's folder cannot be written.
QString versionFilePath(const UpdateSettings& settings);

// Fetches `url` into the file `path`. The caller goes on whatever it returns.
platform::DownloadStatus DownloadFile(platform::Downloader& downloader, const QUrl& url, const QString& path,
    std::chrono::milliseconds timeout);

// The whole check with all its messages, over `owner`: fetch the version file, read it,
// and when it names a newer version than ours, offer to open its download address in the
// web browser.
void CheckUpdate(platform::Platform& platform, QWidget* owner, const UpdateSettings& settings);

// What the menu item "自动下载新版播放器" does: the check, announced first, with the main
// window hidden until it is over.
void Upgrade(frmMain& main, const UpdateSettings& settings = UpdateSettings::ofThisProgram());

} // namespace mdlUpgrade
