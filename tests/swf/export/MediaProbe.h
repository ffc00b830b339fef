#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace swf::test {

// A video file read back with libavformat and decoded whole: what a player of it sees.
struct ProbedVideo {
    QString videoCodec; // FFmpeg's names: "h264", "vp9", "gif"
    QString audioCodec; // empty without sound
    QSize size;
    double duration = 0; // seconds, as the container says
    std::vector<QImage> pictures; // every frame, in order
    double frameRate = 0; // of the picture track
    int sampleRate = 0;
    std::vector<double> left; // the sound's left channel, of full scale
};

// Nothing when the file cannot be read as a video.
std::optional<ProbedVideo> probeVideo(const QString& path);

} // namespace swf::test
