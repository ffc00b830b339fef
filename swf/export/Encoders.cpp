#include "Encoders.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <span>
#include <string>

namespace swf::exporting {
namespace {

struct Candidate {
    const char* encoder; // FFmpeg's name of the encoder
    const char* name;
};

// The usual encoder of each track first, then what may stand in for it.
std::span<const Candidate> candidates(Container container, Medium medium)
{
    static constexpr Candidate mp4Picture[] = { { "libx264", "H.264" }, { "mpeg4", "MPEG-4 Part 2" } };
    static constexpr Candidate mp4Sound[] = { { "aac", "AAC" } };
    static constexpr Candidate webmPicture[] = { { "libvpx-vp9", "VP9" }, { "libvpx", "VP8" } };
    static constexpr Candidate webmSound[] = { { "libopus", "Opus" }, { "libvorbis", "Vorbis" } };
    static constexpr Candidate gifPicture[] = { { "gif", "GIF" } };
    const bool picture = medium == Medium::Picture;
    switch (container) {
    case Container::Mp4:
        return picture ? std::span<const Candidate>(mp4Picture) : std::span<const Candidate>(mp4Sound);
    case Container::WebM:
        return picture ? std::span<const Candidate>(webmPicture) : std::span<const Candidate>(webmSound);
    case Container::Gif:
        return picture ? std::span<const Candidate>(gifPicture) : std::span<const Candidate>();
    case Container::PngSequence:
        break;
    }
    return {};
}

// Quality 1..100 onto a range of an encoder's setting, `best` at 100.
int scale(int quality, int worst, int best)
{
    const double t = (std::clamp(quality, 1, 100) - 1) / 99.0;
    return static_cast<int>(std::lround(worst + (best - worst) * t));
}

} // namespace

std::expected<Encoder, QString> encoderFor(Container container, Medium medium)
{
    const auto list = candidates(container, medium);
    for (size_t i = 0; i < list.size(); ++i) {
        const AVCodec* codec = avcodec_find_encoder_by_name(list[i].encoder);
        if (!codec)
            continue;
        Encoder encoder { codec, QString::fromLatin1(list[i].name), {} };
        if (i > 0) {
            encoder.substitute = QStringLiteral("本机的 FFmpeg 没有 %1 编码器（%2），改用 %3")
                                     .arg(QString::fromLatin1(list[0].name),
                                         QString::fromLatin1(list[0].encoder), encoder.name);
        }
        return encoder;
    }
    if (list.empty())
        return std::unexpected(
            QStringLiteral("%1 不带%2")
                .arg(containerName(container),
                    medium == Medium::Picture ? QStringLiteral("画面") : QStringLiteral("声音")));
    return std::unexpected(QStringLiteral("本机的 FFmpeg 没有 %1 编码器（%2），无法导出 %3")
                               .arg(QString::fromLatin1(list[0].name), QString::fromLatin1(list[0].encoder),
                                   containerName(container)));
}

void tune(const Encoder& encoder, int quality, AVCodecContext& context, AVDictionary** options)
{
    const std::string name = encoder.codec->name;
    if (name == "libx264") {
        // Flat colours and sharp edges: the animation tuning keeps them clean, and a fast
        // preset keeps the encoder ahead of the drawing on a small machine.
        av_dict_set(options, "preset", "veryfast", 0);
        av_dict_set(options, "tune", "animation", 0);
        av_dict_set_int(options, "crf", scale(quality, 38, 16), 0);
    } else if (name == "libvpx-vp9" || name == "libvpx") {
        // Constant quality, and the speed settings meant for encoding as fast as it comes.
        context.bit_rate = 0;
        av_dict_set_int(options, "crf", scale(quality, 50, 18), 0);
        av_dict_set(options, "deadline", "realtime", 0);
        av_dict_set_int(options, "cpu-used", 8, 0);
        av_dict_set_int(options, "row-mt", 1, 0);
        av_dict_set_int(options, "lag-in-frames", 0, 0);
    } else if (name == "mpeg4") {
        context.flags |= AV_CODEC_FLAG_QSCALE;
        context.global_quality = FF_QP2LAMBDA * scale(quality, 20, 2);
    } else if (name == "aac" || name == "libopus" || name == "libvorbis") {
        context.bit_rate = int64_t(scale(quality, 64, 192)) * 1000;
    }
}

} // namespace swf::exporting
