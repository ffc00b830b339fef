#include "MediaFile.h"

#include "Packets.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace swf::exporting {
namespace {

const char* muxerName(Container container)
{
    switch (container) {
    case Container::Mp4:
        return "mp4";
    case Container::WebM:
        return "webm";
    case Container::Gif:
        return "gif";
    case Container::PngSequence:
        break;
    }
    return nullptr;
}

} // namespace

MediaFile::MediaFile(const ExportSettings& settings)
    : pacer_(settings.rate, AudioTrack::kInputRate)
{
}

MediaFile::~MediaFile()
{
    // An export that stopped half-way leaves its file to be thrown away: no trailer.
    if (file_ && !(file_->oformat->flags & AVFMT_NOFILE))
        avio_closep(&file_->pb);
    avformat_free_context(file_);
}

std::unique_ptr<MediaFile> MediaFile::create(
    const QString& path, Container container, const ExportSettings& settings, QString& error)
{
    // FFmpeg's own chatter (encoder statistics, muxer notes) is not for the person
    // exporting; its errors come back as codes and are told in our words, and only what
    // it calls an error of its own is let through.
    av_log_set_level(AV_LOG_ERROR);
    std::unique_ptr<MediaFile> media(new MediaFile(settings));
    const QByteArray name = path.toLocal8Bit();
    if (const int made
        = avformat_alloc_output_context2(&media->file_, nullptr, muxerName(container), name.constData());
        made < 0 || !media->file_) {
        error = QStringLiteral("本机的 FFmpeg 不能写 %1 文件").arg(containerName(container));
        return nullptr;
    }
    const auto picture = encoderFor(container, Medium::Picture);
    if (!picture) {
        error = picture.error();
        return nullptr;
    }
    if (!picture->substitute.isEmpty())
        media->notices_ << picture->substitute;
    media->codecs_ = picture->name;
    if (QString failed
        = media->video_.open(*media->file_, *picture, settings.size, settings.rate, settings.quality);
        !failed.isEmpty()) {
        error = failed;
        return nullptr;
    }
    if (carriesSound(container)) {
        const auto sound = encoderFor(container, Medium::Sound);
        if (!sound) {
            error = sound.error();
            return nullptr;
        }
        if (!sound->substitute.isEmpty())
            media->notices_ << sound->substitute;
        media->codecs_ += QStringLiteral(" + ") + sound->name;
        media->audio_ = std::make_unique<AudioTrack>();
        if (QString failed = media->audio_->open(*media->file_, *sound, settings.quality);
            !failed.isEmpty()) {
            error = failed;
            return nullptr;
        }
    }
    if (const int opened = avio_open(&media->file_->pb, name.constData(), AVIO_FLAG_WRITE); opened < 0) {
        error = QStringLiteral("无法写入 %1：%2").arg(path, avErrorText(opened));
        return nullptr;
    }
    AVDictionary* options = nullptr;
    // The index at the front of an MP4, so that phones and the web play it while it arrives.
    if (container == Container::Mp4)
        av_dict_set(&options, "movflags", "+faststart", 0);
    const int written = avformat_write_header(media->file_, &options);
    av_dict_free(&options);
    if (written < 0) {
        error = QStringLiteral("无法写入 %1：%2").arg(path, avErrorText(written));
        return nullptr;
    }
    return media;
}

bool MediaFile::fail(const QString& message)
{
    error_ = message;
    return false;
}

bool MediaFile::addFrame(const QImage& picture, std::span<const int16_t> sound)
{
    if (QString failed = video_.add(picture); !failed.isEmpty())
        return fail(failed);
    if (!audio_)
        return true;
    const std::vector<int16_t> due = pacer_.frameShown(sound);
    if (QString failed = audio_->add(due); !failed.isEmpty())
        return fail(failed);
    return true;
}

bool MediaFile::finish()
{
    if (QString failed = video_.finish(); !failed.isEmpty())
        return fail(failed);
    if (audio_) {
        if (QString failed = audio_->add(pacer_.end()); !failed.isEmpty())
            return fail(failed);
        if (QString failed = audio_->finish(); !failed.isEmpty())
            return fail(failed);
    }
    if (const int written = av_write_trailer(file_); written < 0)
        return fail(QStringLiteral("写入失败：%1").arg(avErrorText(written)));
    if (const int closed = avio_closep(&file_->pb); closed < 0)
        return fail(QStringLiteral("写入失败：%1").arg(avErrorText(closed)));
    return true;
}

} // namespace swf::exporting
