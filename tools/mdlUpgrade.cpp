#include "mdlUpgrade.h"

#include "core/AppVersion.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "platform/Downloader.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>

namespace mdlUpgrade {

namespace {

const QString MakerSite = QStringLiteral("http://zorvaplay.org");
const QString VersionFileName = QStringLiteral("version.txt");
// The message boxes of the check carry the program's title.
const QString Title = QStringLiteral("Zorvaplay");
// A version file is a few dozen bytes; anything much larger is not one.
constexpr qint64 MaxVersionFileSize = 64 * 1024;

std::optional<VersionFile> readVersionFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseVersionFile(file.read(MaxVersionFileSize));
}

// Only web addresses are handed to the desktop: a version file must not make the player
// open a local program or file.
bool isWebAddress(const QUrl& url)
{
    return url.isValid() && !url.host().isEmpty()
        && (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https"));
}

void showError(platform::MessageBoxes& messages, QWidget* owner)
{
    messages.information(owner, Title, errorMessage());
    QCoreApplication::processEvents();
}

} // namespace

UpdateSettings UpdateSettings::ofThisProgram()
{
    return UpdateSettings { QUrl(MakerSite + QStringLiteral("/update/") + VersionFileName),
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation),
        { App::Major, App::Minor, App::Revision } };
}

QString errorMessage()
{
    return QStringLiteral("更新过程中遇到错误，可能是服务器未打开，或者升级信息文件损坏。请联系") + MakerSite;
}

QString versionFilePath(const UpdateSettings& settings)
{
    const QFileInfo program(settings.programFolder);
    if (program.isDir() && program.isWritable())
        return QDir(settings.programFolder).filePath(VersionFileName);
    QDir().mkpath(settings.cacheFolder);
    return QDir(settings.cacheFolder).filePath(VersionFileName);
}

platform::DownloadStatus DownloadFile(
    platform::Downloader& downloader, const QUrl& url, const QString& path, std::chrono::milliseconds timeout)
{
    return downloader.downloadToFile(url, path, timeout, MaxVersionFileSize);
}

void CheckUpdate(platform::Platform& platform, QWidget* owner, const UpdateSettings& settings)
{
    platform::MessageBoxes& messages = platform.messageBoxes();
    const QString path = versionFilePath(settings);
    // A file left by an earlier check that failed must not be taken for today's answer.
    QFile::remove(path);
    DownloadFile(platform.downloader(), settings.versionUrl, path, settings.downloadTimeout);

    const std::optional<VersionFile> remote = readVersionFile(path);
    if (!remote) {
        showError(messages, owner); // the file stays, for whoever wants to see what came
        return;
    }
    QFile::remove(path);

    if (remote->version <= settings.own) {
        messages.information(owner, Title, QStringLiteral("您的播放器已经是最新版本了。"));
        return;
    }
    if (!messages.askYesNo(owner, Title, QStringLiteral("发现新版本，下载吗？")))
        return;
    const QUrl address(remote->address, QUrl::StrictMode);
    if (!isWebAddress(address) || !platform.shell().openUrl(address))
        showError(messages, owner);
}

void Upgrade(frmMain& main, const UpdateSettings& settings)
{
    main.hide();
    const auto showAgain = qScopeGuard([&main] { main.show(); });
    platform::Platform& platform = main.forms().platform();
    platform.messageBoxes().information(
        &main, QStringLiteral("提示"), QStringLiteral("点击确定后开始检查是否有更新，请稍候。"));
    CheckUpdate(platform, &main, settings);
}

} // namespace mdlUpgrade
