#include "TemporaryOutput.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace swf::exporting {

TemporaryOutput::TemporaryOutput(const QString& finalPath)
    : finalPath_(finalPath)
{
    const QFileInfo info(finalPath);
    temporary_.setFileTemplate(info.dir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(info.fileName())));
    ok_ = temporary_.open();
    if (!ok_) {
        error_ = QStringLiteral("无法写入 %1：%2").arg(finalPath, temporary_.errorString());
        return;
    }
    // Only its name is wanted: the encoder opens the file itself.
    temporary_.close();
}

bool TemporaryOutput::commit()
{
    const std::filesystem::path temporary(temporary_.fileName().toStdU16String());
    // A temporary file is the owner's alone; the finished one gets the permissions any
    // new file of the user gets.
    const mode_t mask = umask(0);
    umask(mask);
    std::error_code failed;
    std::filesystem::permissions(temporary, std::filesystem::perms(0666 & ~mask), failed);
    // Replaces a file of the final name in one step.
    std::filesystem::rename(temporary, std::filesystem::path(finalPath_.toStdU16String()), failed);
    if (failed) {
        error_ = QStringLiteral("无法写入 %1：%2")
                     .arg(finalPath_, QString::fromLocal8Bit(failed.message().c_str()));
        return false;
    }
    temporary_.setAutoRemove(false);
    return true;
}

} // namespace swf::exporting
