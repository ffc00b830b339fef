#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace swf {

// FLV: a 9-byte header ("FLV", version, which streams are there, where the tags start),
// then tags, each an 11-byte header (type, size, time, stream) with its data and the size
// of the tag before the next one.
struct FlvHeader {
    uint8_t version = 1;
    bool hasAudio = false;
    bool hasVideo = false;
    uint32_t dataOffset = 9;
};

enum class FlvTagType : uint8_t { Audio = 8, Video = 9, Script = 18 };

struct FlvTag {
    uint8_t type = 0; // FlvTagType, or another value the reader passes on
    uint32_t timeMs = 0;
    std::span<const uint8_t> data;
    size_t offset = 0; // of the tag header in the file
};

// The header, or none when the bytes are no FLV file (or too few yet).
std::optional<FlvHeader> readFlvHeader(std::span<const uint8_t> file);

// Reads the tags of a file that may still be arriving: each call gives the next whole tag
// of the bytes so far. A tag that claims more than is there waits for more bytes; a file
// that `complete` says has ended stops there.
class FlvReader {
public:
    explicit FlvReader(const FlvHeader& header);
    // The next tag in `file` (the whole file so far, from its first byte); none when no
    // whole tag follows yet.
    std::optional<FlvTag> next(std::span<const uint8_t> file);
    size_t position() const { return position_; }
    // Continues from a tag's offset (a seek within the bytes read).
    void seekTo(size_t offset) { position_ = offset; }

private:
    size_t position_;
};

// A video tag's data: the frame type (1 key, 2 inter, 3 disposable, 5 information), the
// codec, and the packet as the codec reads it; VP6 streams give the pixels cut off their
// right and bottom edges in a byte of their own.
struct FlvVideoPacket {
    uint8_t frameType = 0;
    uint8_t codec = 0;
    std::optional<uint8_t> vp6Adjustment;
    std::span<const uint8_t> packet;
    bool key() const { return frameType == 1 || frameType == 4; }
};
std::optional<FlvVideoPacket> readFlvVideo(std::span<const uint8_t> data);

// An audio tag's data: the format (0 and 3 PCM, 1 ADPCM, 2 MP3, 4-6 Nellymoser, 10 AAC),
// rate index, sample size and channels, and the codec's bytes.
struct FlvAudioPacket {
    uint8_t format = 0;
    uint8_t rateIndex = 0; // 5.5, 11, 22, 44 kHz
    bool sixteenBit = false;
    bool stereo = false;
    bool aacConfig = false; // AAC: the decoder's configuration rather than samples
    std::span<const uint8_t> payload;
};
std::optional<FlvAudioPacket> readFlvAudio(std::span<const uint8_t> data);

// Writing, for test streams and fixtures.
std::vector<uint8_t> flvHeaderBytes(bool audio, bool video);
void appendFlvTag(std::vector<uint8_t>& out, uint8_t type, uint32_t timeMs, std::span<const uint8_t> data);

} // namespace swf
