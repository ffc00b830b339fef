#include "VideoTrack.h"

#include "Packets.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

namespace swf::exporting {

VideoTrack::~VideoTrack()
{
    sws_freeContext(scaler_);
    av_frame_free(&frame_);
    avcodec_free_context(&context_);
}

QString VideoTrack::open(
    AVFormatContext& file, const Encoder& encoder, QSize size, FrameRate rate, int quality)
{
    file_ = &file;
    context_ = avcodec_alloc_context3(encoder.codec);
    frame_ = av_frame_alloc();
    if (!context_ || !frame_)
        return QStringLiteral("内存不足");
    const bool indexed = encoder.codec->id == AV_CODEC_ID_GIF;
    context_->width = size.width();
    context_->height = size.height();
    context_->time_base = AVRational { rate.den, rate.num };
    context_->framerate = AVRational { rate.num, rate.den };
    context_->pix_fmt = indexed ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_YUV420P;
    context_->sample_aspect_ratio = AVRational { 1, 1 };
    if (!indexed) {
        // The picture is converted with the HD coefficients and said to be so, so that
        // players show the colours of the movie.
        context_->colorspace = AVCOL_SPC_BT709;
        context_->color_primaries = AVCOL_PRI_BT709;
        context_->color_trc = AVCOL_TRC_BT709;
        context_->color_range = AVCOL_RANGE_MPEG;
        // A key frame every few seconds, so that players can seek.
        context_->gop_size = std::max(1, static_cast<int>(rate.value() * 5));
    }
    if (file.oformat->flags & AVFMT_GLOBALHEADER)
        context_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    tune(encoder, quality, *context_, &options);
    const int opened = avcodec_open2(context_, encoder.codec, &options);
    av_dict_free(&options);
    if (opened < 0)
        return QStringLiteral("无法启动 %1 编码器：%2").arg(encoder.name, avErrorText(opened));

    stream_ = avformat_new_stream(&file, nullptr);
    if (!stream_ || avcodec_parameters_from_context(stream_->codecpar, context_) < 0)
        return QStringLiteral("内存不足");
    stream_->time_base = context_->time_base;
    stream_->avg_frame_rate = context_->framerate;

    frame_->format = context_->pix_fmt;
    frame_->width = size.width();
    frame_->height = size.height();
    if (av_frame_get_buffer(frame_, 0) < 0)
        return QStringLiteral("内存不足");
    dither_ = quality >= 50;
    if (!indexed) {
        scaler_ = sws_getContext(size.width(), size.height(), AV_PIX_FMT_RGB32, size.width(), size.height(),
            AV_PIX_FMT_YUV420P, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr,
            nullptr);
        if (!scaler_)
            return QStringLiteral("无法转换画面的像素格式");
        sws_setColorspaceDetails(scaler_, sws_getCoefficients(SWS_CS_DEFAULT), 1,
            sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
    }
    return {};
}

QString VideoTrack::fill(const QImage& picture)
{
    if (av_frame_make_writable(frame_) < 0)
        return QStringLiteral("内存不足");
    if (scaler_) {
        const uint8_t* source[1] = { picture.constBits() };
        const int stride[1] = { static_cast<int>(picture.bytesPerLine()) };
        sws_scale(scaler_, source, stride, 0, picture.height(), frame_->data, frame_->linesize);
        return {};
    }
    // GIF takes at most 256 colours a frame: Qt picks them, dithered unless a small file
    // was asked for.
    const QImage indexed = picture.convertToFormat(
        QImage::Format_Indexed8, Qt::ColorOnly | (dither_ ? Qt::DiffuseDither : Qt::ThresholdDither));
    for (int y = 0; y < indexed.height(); ++y)
        std::memcpy(frame_->data[0] + ptrdiff_t(y) * frame_->linesize[0], indexed.constScanLine(y),
            size_t(indexed.width()));
    const QList<QRgb> colours = indexed.colorTable();
    auto* palette = reinterpret_cast<uint32_t*>(frame_->data[1]);
    std::fill_n(palette, 256, 0xFF000000u);
    std::copy_n(colours.begin(), std::min<qsizetype>(colours.size(), 256), palette);
    return {};
}

QString VideoTrack::add(const QImage& picture)
{
    const QImage pixels
        = picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    if (pixels.size() != QSize(context_->width, context_->height))
        return QStringLiteral("画面大小不对");
    if (QString failed = fill(pixels); !failed.isEmpty())
        return failed;
    frame_->pts = next_++;
    return encodeInto(*context_, frame_, *stream_, *file_);
}

QString VideoTrack::finish()
{
    return encodeInto(*context_, nullptr, *stream_, *file_);
}

} // namespace swf::exporting
