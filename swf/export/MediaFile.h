#pragma once

#include "AudioTrack.h"
#include "ExportFormat.h"
#include "ExportSettings.h"
#include "FrameSink.h"
#include "SoundPacer.h"
#include "VideoTrack.h"

#include <QStringList>

#include <memory>
#include <optional>

struct AVFormatContext;

namespace swf::exporting {

// A video file written through libavformat: MP4, WebM or GIF, its picture track and, for
// the containers that carry it, its sound track.
class MediaFile final : public FrameSink {
public:
    ~MediaFile() override;

    // Opens `path` for writing (the container is given, not guessed from the name, which
    // may be a temporary one). Nothing, with `error` set, when it cannot be made.
    static std::unique_ptr<MediaFile> create(
        const QString& path, Container container, const ExportSettings& settings, QString& error);

    bool addFrame(const QImage& picture, std::span<const int16_t> sound) override;
    bool finish() override;
    QString error() const override { return error_; }

    // "H.264 + AAC", for the summary.
    QString codecs() const { return codecs_; }
    // Encoders that stand in for missing ones, for the person to read.
    QStringList notices() const { return notices_; }

private:
    explicit MediaFile(const ExportSettings& settings);
    bool fail(const QString& message);

    AVFormatContext* file_ = nullptr;
    VideoTrack video_;
    std::unique_ptr<AudioTrack> audio_;
    SoundPacer pacer_;
    QString codecs_;
    QStringList notices_;
    QString error_;
};

} // namespace swf::exporting
