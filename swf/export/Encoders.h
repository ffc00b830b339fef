#pragma once

#include "ExportFormat.h"

#include <QString>

#include <expected>

struct AVCodec;
struct AVCodecContext;
struct AVDictionary;

namespace swf::exporting {

enum class Medium { Picture, Sound };

// An encoder of this machine's FFmpeg for one track of a container.
struct Encoder {
    const AVCodec* codec = nullptr;
    QString name; // how a person knows it: "H.264", "AAC", "VP9" ...
    // Set when the usual encoder is missing and this one stands in, for the person to read.
    QString substitute;
};

// The encoder for the picture or the sound of `container`: the usual one (H.264 and AAC
// for MP4, VP9 and Opus for WebM, GIF's own), or the next best this FFmpeg has. An error
// text when it has none that fits.
std::expected<Encoder, QString> encoderFor(Container container, Medium medium);

// Sets the encoder's quality and speed from the export's quality, 1 (smallest file) to
// 100 (best picture). Codec-private settings go into `options`, for avcodec_open2.
void tune(const Encoder& encoder, int quality, AVCodecContext& context, AVDictionary** options);

} // namespace swf::exporting
