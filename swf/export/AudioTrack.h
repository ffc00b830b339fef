#pragma once

#include "Encoders.h"

#include <QString>

#include <cstdint>
#include <span>

struct AVAudioFifo;
struct AVCodecContext;
struct AVFormatContext;
struct AVStream;
struct SwrContext;

namespace swf::exporting {

// The sound track of a video file: takes the engine's mix (16-bit stereo at 44.1 kHz),
// resamples it to what the encoder takes (libswresample) and encodes it in the encoder's
// frames.
class AudioTrack {
public:
    static constexpr int kInputRate = 44100;

    AudioTrack() = default;
    ~AudioTrack();
    AudioTrack(const AudioTrack&) = delete;
    AudioTrack& operator=(const AudioTrack&) = delete;

    QString open(AVFormatContext& file, const Encoder& encoder, int quality);
    QString add(std::span<const int16_t> stereo);
    QString finish();

private:
    QString convert(const uint8_t** input, int frames);
    // Encodes whole frames of the encoder from the queue; with `all`, the rest too.
    QString encodeQueued(bool all);

    AVFormatContext* file_ = nullptr;
    AVStream* stream_ = nullptr;
    AVCodecContext* context_ = nullptr;
    SwrContext* resampler_ = nullptr;
    AVAudioFifo* queue_ = nullptr;
    int frameSize_ = 1024;
    int64_t next_ = 0; // in samples at the encoder's rate
};

} // namespace swf::exporting
