#include "MediaProbe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace swf::test {
namespace {

struct Decoder {
    AVCodecContext* context = nullptr;
    int stream = -1;
    ~Decoder() { avcodec_free_context(&context); }

    bool open(AVFormatContext* file, AVMediaType type)
    {
        const AVCodec* codec = nullptr;
        stream = av_find_best_stream(file, type, -1, -1, &codec, 0);
        if (stream < 0 || !codec)
            return false;
        context = avcodec_alloc_context3(codec);
        return context && avcodec_parameters_to_context(context, file->streams[stream]->codecpar) >= 0
            && avcodec_open2(context, codec, nullptr) >= 0;
    }
};

QImage toImage(const AVFrame& frame)
{
    QImage image(frame.width, frame.height, QImage::Format_RGB32);
    SwsContext* scaler
        = sws_getContext(frame.width, frame.height, AVPixelFormat(frame.format), frame.width, frame.height,
            AV_PIX_FMT_RGB32, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
    const int space = frame.colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
    sws_setColorspaceDetails(scaler, sws_getCoefficients(space), frame.color_range == AVCOL_RANGE_JPEG,
        sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    uint8_t* out[1] = { image.bits() };
    const int stride[1] = { static_cast<int>(image.bytesPerLine()) };
    sws_scale(scaler, frame.data, frame.linesize, 0, frame.height, out, stride);
    sws_freeContext(scaler);
    return image;
}

void addSound(const AVFrame& frame, ProbedVideo& video)
{
    SwrContext* resampler = nullptr;
    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    // The left channel alone: a mix matrix that takes it and nothing else.
    swr_alloc_set_opts2(&resampler, &mono, AV_SAMPLE_FMT_DBL, frame.sample_rate,
        const_cast<AVChannelLayout*>(&frame.ch_layout), AVSampleFormat(frame.format), frame.sample_rate, 0,
        nullptr);
    const int channels = frame.ch_layout.nb_channels;
    std::vector<double> matrix(size_t(channels), 0.0);
    matrix[0] = 1.0;
    swr_set_matrix(resampler, matrix.data(), channels);
    swr_init(resampler);
    std::vector<double> out(size_t(frame.nb_samples) + 64);
    uint8_t* outData[1] = { reinterpret_cast<uint8_t*>(out.data()) };
    const int made = swr_convert(resampler, outData, static_cast<int>(out.size()),
        const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples);
    if (made > 0)
        video.left.insert(video.left.end(), out.begin(), out.begin() + made);
    swr_free(&resampler);
}

void receive(Decoder& decoder, AVFrame* frame, ProbedVideo& video, bool picture)
{
    while (avcodec_receive_frame(decoder.context, frame) >= 0) {
        if (picture)
            video.pictures.push_back(toImage(*frame));
        else
            addSound(*frame, video);
        av_frame_unref(frame);
    }
}

} // namespace

std::optional<ProbedVideo> probeVideo(const QString& path)
{
    // The decoders' notes on what the encoders left at the edges are no failures.
    av_log_set_level(AV_LOG_FATAL);
    AVFormatContext* file = nullptr;
    if (avformat_open_input(&file, path.toLocal8Bit().constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    const std::unique_ptr<AVFormatContext*, void (*)(AVFormatContext**)> closer(&file, avformat_close_input);
    if (avformat_find_stream_info(file, nullptr) < 0)
        return std::nullopt;
    ProbedVideo video;
    Decoder picture;
    if (!picture.open(file, AVMEDIA_TYPE_VIDEO))
        return std::nullopt;
    Decoder sound;
    const bool hasSound = sound.open(file, AVMEDIA_TYPE_AUDIO);
    video.videoCodec = QString::fromLatin1(avcodec_get_name(picture.context->codec_id));
    video.size = QSize(picture.context->width, picture.context->height);
    video.duration = file->duration > 0 ? file->duration / double(AV_TIME_BASE) : 0;
    video.frameRate = av_q2d(file->streams[picture.stream]->avg_frame_rate);
    if (hasSound) {
        video.audioCodec = QString::fromLatin1(avcodec_get_name(sound.context->codec_id));
        video.sampleRate = sound.context->sample_rate;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    while (av_read_frame(file, packet) >= 0) {
        if (packet->stream_index == picture.stream && avcodec_send_packet(picture.context, packet) >= 0)
            receive(picture, frame, video, true);
        else if (hasSound && packet->stream_index == sound.stream
            && avcodec_send_packet(sound.context, packet) >= 0)
            receive(sound, frame, video, false);
        av_packet_unref(packet);
    }
    avcodec_send_packet(picture.context, nullptr);
    receive(picture, frame, video, true);
    if (hasSound) {
        avcodec_send_packet(sound.context, nullptr);
        receive(sound, frame, video, false);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    return video;
}

} // namespace swf::test
