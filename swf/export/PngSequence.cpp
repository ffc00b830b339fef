#include "PngSequence.h"

#include <QFileInfo>
#include <QSaveFile>

namespace swf::exporting {

QString soundPathOf(const QString& path)
{
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".wav"));
}

PngSequence::PngSequence(const QString& path, const QString& soundPath, FrameRate rate)
    : folder_(QFileInfo(path).dir())
    , stem_(QFileInfo(path).completeBaseName())
    , soundPath_(soundPath)
    , pacer_(rate, 44100)
{
    if (!soundPath_.isEmpty() && !sound_.open(soundPath_.toLocal8Bit().toStdString()))
        error_ = QStringLiteral("无法写入 %1").arg(soundPath_);
}

QString PngSequence::framePath(int64_t number) const
{
    return folder_.filePath(QStringLiteral("%1_%2.png").arg(stem_).arg(number, 4, 10, QLatin1Char('0')));
}

bool PngSequence::addFrame(const QImage& picture, std::span<const int16_t> sound)
{
    if (!error_.isEmpty())
        return false;
    const QString path = framePath(++frames_);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
        error_ = QStringLiteral("无法写入 %1").arg(path);
        return false;
    }
    written_ << path;
    if (!soundPath_.isEmpty())
        sound_.write(pacer_.frameShown(sound));
    return true;
}

bool PngSequence::finish()
{
    if (!soundPath_.isEmpty())
        sound_.write(pacer_.end());
    if (!soundPath_.isEmpty() && !sound_.close())
        error_ = QStringLiteral("无法写入 %1").arg(soundPath_);
    return error_.isEmpty();
}

} // namespace swf::exporting
