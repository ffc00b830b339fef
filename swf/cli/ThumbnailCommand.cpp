#include "ThumbnailCommand.h"

#include "Options.h"
#include "Session.h"

#include "swf/export/Thumbnail.h"

#include <QSaveFile>

#include <cstdio>

namespace cli {
namespace {

// The first seconds of a movie are searched for a picture, for no longer than this.
constexpr double kSearchSeconds = 5.0;
constexpr std::chrono::milliseconds kSearchBudget { 1500 };
constexpr int kDefaultSize = 256;
constexpr int kMaxSize = 2048;

int fail(const QString& message, int code)
{
    std::fprintf(stderr, "zorvaplay-swf thumbnail: %s\n", message.toLocal8Bit().constData());
    return code;
}

} // namespace

int commandThumbnail(const Options& options)
{
    if (options.positional().size() != 2)
        return fail(QStringLiteral("需要一个动画文件和一个输出的 PNG 文件"), kUsage);
    bool ok = true;
    const auto size = options.number("--size", ok);
    if (!ok || (size && (*size < 1 || *size > kMaxSize)))
        return fail(QStringLiteral("--size 需要 1 到 %1 之间的像素数").arg(kMaxSize), kUsage);
    const QString movie = QString::fromLocal8Bit(options.positional()[0].c_str());
    const QString out = QString::fromLocal8Bit(options.positional()[1].c_str());

    Session session(swf::Player::ClockMode::Manual);
    session.start(options.positional()[0]);
    if (!session.waitForMovie())
        return fail(
            QStringLiteral("无法读取 %1：%2").arg(movie, session.player().errorString()), kUnreadable);

    const QSize pictureSize
        = swf::exporting::thumbnailSize(session.pictureSize(), static_cast<int>(size.value_or(kDefaultSize)));
    const QImage picture
        = swf::exporting::representativeFrame(session.player(), pictureSize, kSearchSeconds, kSearchBudget);
    // Written whole under another name and renamed: a file manager never reads half a file.
    QSaveFile file(out);
    if (picture.isNull() || !file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
        return fail(QStringLiteral("无法写入 %1").arg(out), kCannotWrite);
    return kOk;
}

} // namespace cli
