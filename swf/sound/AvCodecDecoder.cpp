#include "AvCodecDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
}

#include <algorithm>

namespace swf {

AvCodecDecoder::AvCodecDecoder(int codecId, int sampleRate, int channels, std::span<const uint8_t> config)
{
    const AVCodec* codec = avcodec_find_decoder(AVCodecID(codecId));
    if (!codec)
        return;
    context_ = avcodec_alloc_context3(codec);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!context_ || !frame_ || !packet_) {
        avcodec_free_context(&context_);
        return;
    }
    context_->sample_rate = sampleRate;
    av_channel_layout_default(&context_->ch_layout, channels);
    if (!config.empty()) {
        context_->extradata = static_cast<uint8_t*>(av_mallocz(config.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (context_->extradata) {
            std::copy(config.begin(), config.end(), context_->extradata);
            context_->extradata_size = static_cast<int>(config.size());
        }
    }
    if (avcodec_open2(context_, codec, nullptr) < 0)
        avcodec_free_context(&context_);
}

int AvCodecDecoder::rate() const
{
    return context_ ? context_->sample_rate : 0;
}

int AvCodecDecoder::channels() const
{
    return context_ ? context_->ch_layout.nb_channels : 0;
}

AvCodecDecoder::~AvCodecDecoder()
{
    avcodec_free_context(&context_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
}

size_t AvCodecDecoder::decode(std::span<const uint8_t> packet, std::vector<float>& out)
{
    if (!context_ || packet.empty())
        return 0;
    // FFmpeg's bit readers may look a little past the end of a packet: it wants padding.
    padded_.assign(packet.begin(), packet.end());
    padded_.resize(packet.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    packet_->data = padded_.data();
    packet_->size = static_cast<int>(packet.size());
    if (avcodec_send_packet(context_, packet_) < 0)
        return 0;
    size_t frames = 0;
    while (avcodec_receive_frame(context_, frame_) == 0) {
        frames += take(out);
        av_frame_unref(frame_);
    }
    return frames;
}

size_t AvCodecDecoder::take(std::vector<float>& out)
{
    const int channels = frame_->ch_layout.nb_channels;
    const int frames = frame_->nb_samples;
    if (channels <= 0 || frames <= 0)
        return 0;
    const auto format = AVSampleFormat(frame_->format);
    const bool planar = av_sample_fmt_is_planar(format);
    const size_t first = out.size();
    out.resize(first + size_t(frames) * channels);
    float* dest = out.data() + first;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const int plane = planar ? c : 0;
            const int index = planar ? i : i * channels + c;
            float value = 0;
            switch (format) {
            case AV_SAMPLE_FMT_S16:
            case AV_SAMPLE_FMT_S16P:
                value = reinterpret_cast<const int16_t*>(frame_->extended_data[plane])[index] / 32768.0f;
                break;
            case AV_SAMPLE_FMT_FLT:
            case AV_SAMPLE_FMT_FLTP:
                value = reinterpret_cast<const float*>(frame_->extended_data[plane])[index];
                break;
            default:
                break;
            }
            *dest++ = value;
        }
    }
    return size_t(frames);
}

} // namespace swf
