#include "AudioTrack.h"

#include "Packets.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <memory>

namespace swf::exporting {
namespace {

// The rate the encoder takes: the mix's own when it can, else the nearest above it.
int rateFor(const AVCodec& codec)
{
    if (!codec.supported_samplerates)
        return AudioTrack::kInputRate;
    int best = 0;
    for (const int* rate = codec.supported_samplerates; *rate; ++rate) {
        if (*rate == AudioTrack::kInputRate)
            return *rate;
        if (*rate > AudioTrack::kInputRate && (best == 0 || *rate < best))
            best = *rate;
        if (best == 0 && rate[1] == 0)
            best = *rate;
    }
    return best;
}

using FramePtr = std::unique_ptr<AVFrame, void (*)(AVFrame*)>;

FramePtr newFrame()
{
    return FramePtr(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
}

} // namespace

AudioTrack::~AudioTrack()
{
    if (queue_)
        av_audio_fifo_free(queue_);
    swr_free(&resampler_);
    avcodec_free_context(&context_);
}

QString AudioTrack::open(AVFormatContext& file, const Encoder& encoder, int quality)
{
    file_ = &file;
    context_ = avcodec_alloc_context3(encoder.codec);
    if (!context_)
        return QStringLiteral("内存不足");
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&context_->ch_layout, &stereo);
    context_->sample_rate = rateFor(*encoder.codec);
    context_->sample_fmt = encoder.codec->sample_fmts ? encoder.codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    context_->time_base = AVRational { 1, context_->sample_rate };
    if (file.oformat->flags & AVFMT_GLOBALHEADER)
        context_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    tune(encoder, quality, *context_, &options);
    const int opened = avcodec_open2(context_, encoder.codec, &options);
    av_dict_free(&options);
    if (opened < 0)
        return QStringLiteral("无法启动 %1 编码器：%2").arg(encoder.name, avErrorText(opened));
    if (context_->frame_size > 0 && !(encoder.codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE))
        frameSize_ = context_->frame_size;

    stream_ = avformat_new_stream(&file, nullptr);
    if (!stream_ || avcodec_parameters_from_context(stream_->codecpar, context_) < 0)
        return QStringLiteral("内存不足");
    stream_->time_base = context_->time_base;

    if (swr_alloc_set_opts2(&resampler_, &context_->ch_layout, context_->sample_fmt, context_->sample_rate,
            &stereo, AV_SAMPLE_FMT_S16, kInputRate, 0, nullptr)
            < 0
        || swr_init(resampler_) < 0)
        return QStringLiteral("无法转换声音的采样率");
    queue_ = av_audio_fifo_alloc(context_->sample_fmt, 2, frameSize_ * 4);
    if (!queue_)
        return QStringLiteral("内存不足");
    return {};
}

QString AudioTrack::convert(const uint8_t** input, int frames)
{
    const int room = swr_get_out_samples(resampler_, frames);
    if (room <= 0)
        return {};
    uint8_t** output = nullptr;
    int lineSize = 0;
    if (av_samples_alloc_array_and_samples(&output, &lineSize, 2, room, context_->sample_fmt, 0) < 0)
        return QStringLiteral("内存不足");
    const int made = swr_convert(resampler_, output, room, input, frames);
    QString failed;
    if (made < 0)
        failed = QStringLiteral("无法转换声音的采样率：%1").arg(avErrorText(made));
    else if (made > 0 && av_audio_fifo_write(queue_, reinterpret_cast<void**>(output), made) < made)
        failed = QStringLiteral("内存不足");
    av_freep(&output[0]);
    av_freep(&output);
    return failed;
}

QString AudioTrack::add(std::span<const int16_t> stereo)
{
    if (stereo.size() < 2)
        return {};
    const uint8_t* input[1] = { reinterpret_cast<const uint8_t*>(stereo.data()) };
    if (QString failed = convert(input, static_cast<int>(stereo.size() / 2)); !failed.isEmpty())
        return failed;
    return encodeQueued(false);
}

QString AudioTrack::encodeQueued(bool all)
{
    const bool smallLast = context_->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
    while (av_audio_fifo_size(queue_) >= frameSize_ || (all && av_audio_fifo_size(queue_) > 0)) {
        const int available = std::min(av_audio_fifo_size(queue_), frameSize_);
        FramePtr frame = newFrame();
        if (!frame)
            return QStringLiteral("内存不足");
        // The last frame is filled with silence when the encoder takes only whole frames.
        frame->nb_samples = available < frameSize_ && !smallLast ? frameSize_ : available;
        frame->format = context_->sample_fmt;
        frame->sample_rate = context_->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &context_->ch_layout);
        if (av_frame_get_buffer(frame.get(), 0) < 0)
            return QStringLiteral("内存不足");
        av_samples_set_silence(frame->data, 0, frame->nb_samples, 2, context_->sample_fmt);
        av_audio_fifo_read(queue_, reinterpret_cast<void**>(frame->data), available);
        frame->pts = next_;
        next_ += frame->nb_samples;
        if (QString failed = encodeInto(*context_, frame.get(), *stream_, *file_); !failed.isEmpty())
            return failed;
    }
    return {};
}

QString AudioTrack::finish()
{
    if (QString failed = convert(nullptr, 0); !failed.isEmpty())
        return failed;
    if (QString failed = encodeQueued(true); !failed.isEmpty())
        return failed;
    return encodeInto(*context_, nullptr, *stream_, *file_);
}

} // namespace swf::exporting
