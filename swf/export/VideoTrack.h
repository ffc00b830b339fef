#pragma once

#include "Encoders.h"
#include "ExportSettings.h"

#include <QImage>
#include <QSize>
#include <QString>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVStream;
struct SwsContext;

namespace swf::exporting {

// The picture track of a video file: turns drawn frames into the encoder's pixels
// (libswscale, or an indexed palette for GIF) and encodes them into the file.
class VideoTrack {
public:
    VideoTrack() = default;
    ~VideoTrack();
    VideoTrack(const VideoTrack&) = delete;
    VideoTrack& operator=(const VideoTrack&) = delete;

    // Adds the track to `file` (before its header is written). An error text on failure.
    QString open(AVFormatContext& file, const Encoder& encoder, QSize size, FrameRate rate, int quality);
    // The next frame; `picture` has the track's size.
    QString add(const QImage& picture);
    // Encodes what the encoder still holds.
    QString finish();

private:
    QString fill(const QImage& picture);

    AVFormatContext* file_ = nullptr;
    AVStream* stream_ = nullptr;
    AVCodecContext* context_ = nullptr;
    SwsContext* scaler_ = nullptr;
    AVFrame* frame_ = nullptr;
    int64_t next_ = 0;
    bool dither_ = true;
};

} // namespace swf::exporting
