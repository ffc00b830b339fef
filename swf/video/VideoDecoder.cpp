#include "VideoDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <cstring>

namespace swf {
namespace {

AVCodecID codecId(VideoCodec codec)
{
    switch (codec) {
    case VideoCodec::SorensonH263:
        return AV_CODEC_ID_FLV1;
    case VideoCodec::ScreenVideo:
        return AV_CODEC_ID_FLASHSV;
    case VideoCodec::ScreenVideo2:
        return AV_CODEC_ID_FLASHSV2;
    case VideoCodec::Vp6:
        return AV_CODEC_ID_VP6F;
    case VideoCodec::Vp6Alpha:
        return AV_CODEC_ID_VP6A;
    }
    return AV_CODEC_ID_NONE;
}

bool hasAlpha(int format)
{
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(format));
    return d && (d->flags & AV_PIX_FMT_FLAG_ALPHA);
}

} // namespace

std::unique_ptr<VideoDecoder> VideoDecoder::open(const Options& options)
{
    const AVCodec* codec = avcodec_find_decoder(codecId(options.codec));
    if (!codec)
        return nullptr;
    std::unique_ptr<VideoDecoder> d(new VideoDecoder);
    d->context_ = avcodec_alloc_context3(codec);
    d->packet_ = av_packet_alloc();
    d->frame_ = av_frame_alloc();
    d->last_ = av_frame_alloc();
    if (!d->context_ || !d->packet_ || !d->frame_ || !d->last_)
        return nullptr;
    AVCodecContext* c = d->context_;
    // One thread: frames come out as their packets go in, in the caller's order.
    c->thread_count = 1;
    c->max_pixels = kMaxVideoPixels;
    // The stream's deblocking word: off, or on whatever the frames say.
    if (options.deblocking == 1)
        c->skip_loop_filter = AVDISCARD_ALL;
    else if (options.deblocking >= 2)
        c->flags |= AV_CODEC_FLAG_LOOP_FILTER;
    if (avcodec_open2(c, codec, nullptr) < 0)
        return nullptr;
    d->cropRight_ = options.cropRight;
    d->cropBottom_ = options.cropBottom;
    return d;
}

VideoDecoder::~VideoDecoder()
{
    sws_freeContext(scaler_);
    av_frame_free(&frame_);
    av_frame_free(&last_);
    av_packet_free(&packet_);
    avcodec_free_context(&context_);
}

void VideoDecoder::reset()
{
    avcodec_flush_buffers(context_);
    av_frame_unref(last_);
    haveLast_ = false;
    converted_.reset();
}

bool VideoDecoder::decode(std::span<const uint8_t> data)
{
    if (data.empty() || data.size() > size_t(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE))
        return false;
    // libavcodec reads a little past the end of a packet: give it padded bytes of its own.
    if (av_new_packet(packet_, int(data.size())) < 0)
        return false;
    std::memcpy(packet_->data, data.data(), data.size());
    const int sent = avcodec_send_packet(context_, packet_);
    av_packet_unref(packet_);
    if (sent < 0)
        return false;
    bool gave = false;
    while (avcodec_receive_frame(context_, frame_) == 0) {
        av_frame_unref(last_);
        av_frame_move_ref(last_, frame_);
        haveLast_ = true;
        converted_.reset();
        gave = true;
    }
    return gave;
}

std::shared_ptr<const QImage> VideoDecoder::picture()
{
    if (haveLast_ && !converted_)
        converted_ = convert(*last_);
    return converted_;
}

std::shared_ptr<const QImage> VideoDecoder::convert(const AVFrame& frame)
{
    const int w = frame.width;
    const int h = frame.height;
    if (w <= 0 || h <= 0 || w > kMaxVideoSide || h > kMaxVideoSide || int64_t(w) * h > kMaxVideoPixels)
        return nullptr;
    const bool alpha = hasAlpha(frame.format);
    scaler_ = sws_getCachedContext(scaler_, w, h, AVPixelFormat(frame.format), w, h, AV_PIX_FMT_RGB32,
        SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler_)
        return nullptr;
    // libswscale's vector code may write a little past a row's end: it gets rows rounded
    // up to 16 pixels and a spare row, and the picture is cut from them.
    QImage image((w + 15) & ~15, h + 1, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return nullptr;
    uint8_t* planes[4] = { image.bits(), nullptr, nullptr, nullptr };
    int strides[4] = { int(image.bytesPerLine()), 0, 0, 0 };
    if (sws_scale(scaler_, frame.data, frame.linesize, 0, h, planes, strides) != h)
        return nullptr;
    if (w <= cropRight_ || h <= cropBottom_)
        return nullptr;
    image = image.copy(0, 0, w - cropRight_, h - cropBottom_);
    return std::make_shared<const QImage>(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

} // namespace swf
