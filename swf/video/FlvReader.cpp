#include "FlvReader.h"

namespace swf {
namespace {

constexpr size_t kTagHeader = 11;
constexpr size_t kBackPointer = 4;

uint32_t big(std::span<const uint8_t> d, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | d[at + size_t(i)];
    return v;
}

void putBig(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(v >> (8 * i)));
}

} // namespace

std::optional<FlvHeader> readFlvHeader(std::span<const uint8_t> file)
{
    if (file.size() < 9 || file[0] != 'F' || file[1] != 'L' || file[2] != 'V')
        return std::nullopt;
    FlvHeader h;
    h.version = file[3];
    h.hasAudio = file[4] & 0x04;
    h.hasVideo = file[4] & 0x01;
    h.dataOffset = big(file, 5, 4);
    if (h.dataOffset < 9)
        return std::nullopt;
    return h;
}

FlvReader::FlvReader(const FlvHeader& header)
    : position_(size_t(header.dataOffset) + kBackPointer) // the first back pointer is always 0
{
}

std::optional<FlvTag> FlvReader::next(std::span<const uint8_t> file)
{
    if (position_ > file.size() || file.size() - position_ < kTagHeader)
        return std::nullopt;
    const size_t size = big(file, position_ + 1, 3);
    if (file.size() - position_ - kTagHeader < size)
        return std::nullopt;
    FlvTag tag;
    tag.offset = position_;
    // The top bits of the type byte mark filtered (encrypted) tags; the type is the rest.
    tag.type = file[position_] & 0x1F;
    tag.timeMs = big(file, position_ + 4, 3) | uint32_t(file[position_ + 7]) << 24;
    tag.data = file.subspan(position_ + kTagHeader, size);
    // The back pointer after the data may be missing at the very end.
    position_ += kTagHeader + size + kBackPointer;
    return tag;
}

std::optional<FlvVideoPacket> readFlvVideo(std::span<const uint8_t> data)
{
    if (data.empty())
        return std::nullopt;
    FlvVideoPacket p;
    p.frameType = data[0] >> 4;
    p.codec = data[0] & 0x0F;
    size_t start = 1;
    if (p.codec == 4 || p.codec == 5) {
        if (data.size() < 2)
            return std::nullopt;
        p.vp6Adjustment = data[1];
        start = 2;
    }
    p.packet = data.subspan(start);
    return p;
}

std::optional<FlvAudioPacket> readFlvAudio(std::span<const uint8_t> data)
{
    if (data.empty())
        return std::nullopt;
    FlvAudioPacket p;
    p.format = data[0] >> 4;
    p.rateIndex = (data[0] >> 2) & 0x03;
    p.sixteenBit = data[0] & 0x02;
    p.stereo = data[0] & 0x01;
    size_t start = 1;
    if (p.format == 10) {
        if (data.size() < 2)
            return std::nullopt;
        p.aacConfig = data[1] == 0;
        start = 2;
    }
    p.payload = data.subspan(start);
    return p;
}

std::vector<uint8_t> flvHeaderBytes(bool audio, bool video)
{
    std::vector<uint8_t> out { 'F', 'L', 'V', 1, uint8_t((audio ? 0x04 : 0) | (video ? 0x01 : 0)) };
    putBig(out, 9, 4);
    putBig(out, 0, 4);
    return out;
}

void appendFlvTag(std::vector<uint8_t>& out, uint8_t type, uint32_t timeMs, std::span<const uint8_t> data)
{
    out.push_back(type);
    putBig(out, uint32_t(data.size()), 3);
    putBig(out, timeMs & 0xFFFFFF, 3);
    out.push_back(uint8_t(timeMs >> 24));
    putBig(out, 0, 3);
    out.insert(out.end(), data.begin(), data.end());
    putBig(out, uint32_t(kTagHeader + data.size()), 4);
}

} // namespace swf
