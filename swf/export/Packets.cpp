#include "Packets.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <memory>

namespace swf::exporting {

QString avErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

QString encodeInto(AVCodecContext& encoder, const AVFrame* frame, AVStream& stream, AVFormatContext& file)
{
    if (const int sent = avcodec_send_frame(&encoder, frame); sent < 0)
        return QStringLiteral("编码失败：%1").arg(avErrorText(sent));
    const std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(
        av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
    if (!packet)
        return QStringLiteral("内存不足");
    for (;;) {
        const int received = avcodec_receive_packet(&encoder, packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return {};
        if (received < 0)
            return QStringLiteral("编码失败：%1").arg(avErrorText(received));
        av_packet_rescale_ts(packet.get(), encoder.time_base, stream.time_base);
        packet->stream_index = stream.index;
        // The muxer takes the packet's data and leaves it blank for the next one.
        if (const int written = av_interleaved_write_frame(&file, packet.get()); written < 0)
            return QStringLiteral("写入失败：%1").arg(avErrorText(written));
    }
}

} // namespace swf::exporting
