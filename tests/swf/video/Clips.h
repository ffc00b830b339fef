#pragma once

#include "swf/format/Writer.h"
#include "swf/video/FlvReader.h"
#include "swf/video/VideoRecords.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace swf::test {

// A short clip that FFmpeg's command-line encoder makes at test time into an FLV file,
// and its video packets as our FLV reader finds them.
struct Clip {
    std::vector<uint8_t> flv;
    struct Frame {
        std::vector<uint8_t> packet;
        bool key = false; // as the FLV tag says
        uint32_t timeMs = 0;
    };
    std::vector<Frame> frames;
    int width = 0;
    int height = 0;
};

// Encodes `source` (an FFmpeg filter graph such as "color=c=red:s=32x32:r=10:d=1") with
// `codec` ("flv", "flashsv", "flashsv2"), a key frame every `keyInterval` frames. None
// when there is no ffmpeg command or no such encoder.
std::optional<Clip> encodeClip(
    const QString& source, const QString& codec, int keyInterval = 3, const QStringList& extra = {});

// The picture of each frame of the clip, decoded in order from the first on the caller's
// thread: what any right way of reaching a frame shows.
std::vector<std::shared_ptr<const QImage>> decodeInOrder(const Clip& clip, VideoCodec codec);

// A file of sound alone: `source` an FFmpeg audio source ("sine=f=440:d=0.5") coded with
// `codec` ("pcm_s16le", "adpcm_swf", "libmp3lame" ...), mono at 22 kHz. None when there is
// no ffmpeg or no such encoder.
std::optional<std::vector<uint8_t>> encodeSound(const QString& source, const QString& codec);

// Two colours one after the other, `half` frames each, at 10 frames a second.
QString twoColours(const QString& first, const QString& second, int half, int width = 32, int height = 32);

// A movie of the clip as embedded video: DefineVideoStream 1, placed at depth 1 in frame 1,
// one VideoFrame per frame, and (with `ratios`) the placement's ratio set to the frame
// number on each frame as the authoring tool does.
Writer embeddedMovie(const Clip& clip, VideoCodec codec, bool ratios = true, uint8_t flags = 0);

} // namespace swf::test
