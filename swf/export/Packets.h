#pragma once

#include <QString>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVStream;

namespace swf::exporting {

// FFmpeg's words for an error code.
QString avErrorText(int code);

// Gives `frame` to the encoder (null: no more frames) and moves every packet it has ready
// into the file, on `stream`'s clock. An error text, empty when all went well.
QString encodeInto(AVCodecContext& encoder, const AVFrame* frame, AVStream& stream, AVFormatContext& file);

} // namespace swf::exporting
