#include "Clips.h"

#include "../runtime/Fixtures.h"

#include "swf/format/Tags.h"
#include "swf/video/VideoDecoder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace swf::test {

namespace {

// Runs ffmpeg with `args` and the FLV file it writes; none when there is no ffmpeg or it fails.
std::optional<std::vector<uint8_t>> ffmpegFlv(QStringList args)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    QTemporaryDir dir;
    if (ffmpeg.isEmpty() || !dir.isValid())
        return std::nullopt;
    const QString out = dir.filePath(QStringLiteral("clip.flv"));
    args.prepend(QStringLiteral("error"));
    args.prepend(QStringLiteral("-v"));
    args << "-f"
         << "flv" << out;
    QProcess process;
    process.start(ffmpeg, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return std::nullopt;
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

} // namespace

std::optional<Clip> encodeClip(
    const QString& source, const QString& codec, int keyInterval, const QStringList& extra)
{
    QStringList args { "-f", "lavfi", "-i", source, "-c:v", codec, "-g", QString::number(keyInterval) };
    args << extra << "-an";
    auto flv = ffmpegFlv(args);
    if (!flv)
        return std::nullopt;
    Clip clip;
    clip.flv = std::move(*flv);
    const auto header = readFlvHeader(clip.flv);
    if (!header)
        return std::nullopt;
    FlvReader reader(*header);
    while (const auto tag = reader.next(clip.flv)) {
        if (tag->type != uint8_t(FlvTagType::Video))
            continue;
        const auto video = readFlvVideo(tag->data);
        if (!video)
            continue;
        clip.frames.push_back({ { video->packet.begin(), video->packet.end() }, video->key(), tag->timeMs });
    }
    return clip;
}

std::vector<std::shared_ptr<const QImage>> decodeInOrder(const Clip& clip, VideoCodec codec)
{
    std::vector<std::shared_ptr<const QImage>> pictures;
    VideoDecoder::Options options;
    options.codec = codec;
    const auto decoder = VideoDecoder::open(options);
    for (const auto& frame : clip.frames) {
        if (decoder)
            decoder->decode(frame.packet);
        pictures.push_back(decoder ? decoder->picture() : nullptr);
    }
    return pictures;
}

std::optional<std::vector<uint8_t>> encodeSound(const QString& source, const QString& codec)
{
    return ffmpegFlv({ "-f", "lavfi", "-i", source, "-c:a", codec, "-ar", "22050", "-ac", "1" });
}

QString twoColours(const QString& first, const QString& second, int half, int width, int height)
{
    // In RGB from the start, so that lossless codecs keep the colours exactly.
    const QString size
        = QStringLiteral("s=%1x%2:r=10:d=%3,format=bgr24").arg(width).arg(height).arg(half / 10.0);
    return QStringLiteral("color=c=%1:%3[a];color=c=%2:%3[b];[a][b]concat=n=2:v=1").arg(first, second, size);
}

Writer embeddedMovie(const Clip& clip, VideoCodec codec, bool ratios, uint8_t flags)
{
    Writer w(stageHeader(64, 64, 10));
    w.setBackground({ 255, 255, 255, 255 });
    VideoStreamDefinition d;
    d.frameCount = uint16_t(clip.frames.size());
    d.width = 32;
    d.height = 32;
    d.deblocking = (flags >> 1) & 7;
    d.smoothing = flags & 1;
    d.codec = uint8_t(codec);
    w.define(toCode(TagCode::DefineVideoStream), 1, videoStreamBody(d));
    for (size_t n = 0; n < clip.frames.size(); ++n) {
        PlaceObject place = placeAt(1, 1);
        if (n > 0) {
            place.move = true;
            place.characterId.reset();
            place.matrix.reset();
        }
        if (ratios)
            place.ratio = uint16_t(n);
        if (n == 0 || ratios)
            w.place(place);
        w.rawTag(toCode(TagCode::VideoFrame), videoFrameBody(1, uint16_t(n), clip.frames[n].packet));
        w.showFrame();
    }
    return w;
}

} // namespace swf::test
