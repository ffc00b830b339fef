#include "VideoRecords.h"

#include "swf/format/BitReader.h"

namespace swf {
namespace {

void putU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t(v >> 8));
}

// Sorenson H.263: after the 17-bit start code, the version, the temporal reference and
// the picture size (with its own width and height for sizes 0 and 1) comes the picture
// type: 0 intra, 1 inter, 2 disposable inter.
bool h263Key(std::span<const uint8_t> packet)
{
    BitReader r(packet);
    if (r.ub(17) != 1)
        return false;
    const uint32_t version = r.ub(5);
    if (version > 1)
        return false;
    r.ub(8); // temporal reference
    const uint32_t size = r.ub(3);
    if (size == 0)
        r.ub(16);
    else if (size == 1)
        r.ub(32);
    const uint32_t type = r.ub(2);
    return !r.overrun() && type == 0;
}

// Screen video (both versions): a grid of blocks, each a 16-bit size and that many bytes.
// A frame whose every block is there, none of them drawn from the previous frame, stands
// on its own.
bool screenKey(std::span<const uint8_t> packet, bool version2)
{
    BitReader r(packet);
    const uint32_t blockWidth = (r.ub(4) + 1) * 16;
    const uint32_t width = r.ub(12);
    const uint32_t blockHeight = (r.ub(4) + 1) * 16;
    const uint32_t height = r.ub(12);
    if (r.overrun() || width == 0 || height == 0)
        return false;
    if (version2) {
        const uint32_t flags = r.u8();
        if (flags & 0x02) // an interframe image follows
            return false;
        if (flags & 0x01) // palette
            r.skip(r.ub(16));
    }
    const uint32_t blocks
        = ((width + blockWidth - 1) / blockWidth) * ((height + blockHeight - 1) / blockHeight);
    for (uint32_t i = 0; i < blocks; ++i) {
        const uint32_t size = r.ub(16);
        if (size == 0 || r.overrun())
            return false;
        const std::span<const uint8_t> block = r.bytes(size);
        // The block's format byte: differences from, or a dictionary primed by, the
        // previous frame.
        if (version2 && !block.empty() && (block[0] & 0x05))
            return false;
    }
    return !r.overrun();
}

} // namespace

bool isKnownVideoCodec(uint8_t codec)
{
    return codec >= uint8_t(VideoCodec::SorensonH263) && codec <= uint8_t(VideoCodec::ScreenVideo2);
}

std::optional<VideoStreamDefinition> readVideoStream(std::span<const uint8_t> body)
{
    BitReader r(body);
    VideoStreamDefinition d;
    d.frameCount = r.u16();
    d.width = r.u16();
    d.height = r.u16();
    const uint8_t flags = r.u8();
    d.deblocking = (flags >> 1) & 0x07;
    d.smoothing = flags & 0x01;
    d.codec = r.u8();
    if (r.overrun())
        return std::nullopt;
    return d;
}

std::vector<uint8_t> videoStreamBody(const VideoStreamDefinition& d)
{
    std::vector<uint8_t> out;
    putU16(out, d.frameCount);
    putU16(out, d.width);
    putU16(out, d.height);
    out.push_back(uint8_t(((d.deblocking & 0x07) << 1) | (d.smoothing ? 1 : 0)));
    out.push_back(d.codec);
    return out;
}

std::optional<VideoFrameRecord> readVideoFrame(std::span<const uint8_t> body)
{
    if (body.size() < 4)
        return std::nullopt;
    VideoFrameRecord f;
    f.streamId = uint16_t(body[0] | body[1] << 8);
    f.frameNumber = uint16_t(body[2] | body[3] << 8);
    f.packet = body.subspan(4);
    return f;
}

std::vector<uint8_t> videoFrameBody(uint16_t streamId, uint16_t frameNumber, std::span<const uint8_t> packet)
{
    std::vector<uint8_t> out;
    putU16(out, streamId);
    putU16(out, frameNumber);
    out.insert(out.end(), packet.begin(), packet.end());
    return out;
}

bool isKeyFrame(VideoCodec codec, std::span<const uint8_t> packet)
{
    switch (codec) {
    case VideoCodec::SorensonH263:
        return h263Key(packet);
    case VideoCodec::ScreenVideo:
        return screenKey(packet, false);
    case VideoCodec::ScreenVideo2:
        return screenKey(packet, true);
    case VideoCodec::Vp6:
        // The first bit of a VP6 frame is 0 for an intra frame.
        return !packet.empty() && !(packet[0] & 0x80);
    case VideoCodec::Vp6Alpha:
        // The offset of the alpha plane (24 bits) comes first.
        return packet.size() > 3 && !(packet[3] & 0x80);
    }
    return false;
}

} // namespace swf
