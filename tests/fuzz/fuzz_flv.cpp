// Fuzzes FLV files: the header and tag reader over the whole file and over its first
// bytes as they would arrive, the AMF0 script data of every script tag, and the video
// packets through the decoders in order and after jumps back and forth, and the whole file
// played as a NetStream plays it (arriving in two pieces, its video decoded on the
// playback's thread, its sound decoded as the mix would). Beyond "never crash, never
// hang", every tag lies inside the file.
#include "swf/sound/SoundFeed.h"
#include "swf/sound/SoundPipeline.h"
#include "swf/video/Amf0.h"
#include "swf/video/FlvPlayback.h"
#include "swf/video/FlvReader.h"
#include "swf/video/VideoPump.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <span>
#include <vector>

namespace {

// Packets decoded per input at most, so that a file of many tiny frames stays quick.
constexpr size_t kMaxPackets = 48;
constexpr size_t kFramesAhead = 4;

[[noreturn]] void broken(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void readTags(std::span<const uint8_t> file, const swf::FlvHeader& header, std::vector<swf::FlvTag>& tags)
{
    swf::FlvReader reader(header);
    while (const auto tag = reader.next(file)) {
        if (tag->data.data() < file.data() || tag->data.data() + tag->data.size() > file.data() + file.size())
            broken("a tag reaches outside the file");
        tags.push_back(*tag);
    }
}

// One stream's packets, as the file gives them.
class PacketList final : public swf::VideoPackets {
public:
    std::vector<swf::VideoPacket> packets;
    int count() const override { return int(packets.size()); }
    std::optional<swf::VideoPacket> packet(int frame) const override
    {
        if (frame < 0 || frame >= count())
            return std::nullopt;
        return packets[size_t(frame)];
    }
};

// A feed that decodes what it is given at once, a little of each unit, as the mixer would.
class DecodingFeed final : public swf::SoundFeed {
public:
    void start(const swf::SoundFormat& format) override
    {
        pipeline_ = std::make_unique<swf::SoundPipeline>(format, 0);
    }
    void push(std::vector<uint8_t> unit) override
    {
        if (!pipeline_)
            return;
        auto bytes = std::make_shared<const std::vector<uint8_t>>(std::move(unit));
        pipeline_->push({ bytes, *bytes, 0 });
        pipeline_->pull(out_, kFrames);
    }
    void finish() override
    {
        if (pipeline_)
            pipeline_->finish();
    }
    void stop() override { pipeline_.reset(); }
    bool playing() const override { return pipeline_ && !pipeline_->ended(); }
    bool held() const override { return false; }

private:
    static constexpr size_t kFrames = 512;
    std::unique_ptr<swf::SoundPipeline> pipeline_;
    float out_[kFrames * 2];
};

void play(std::span<const uint8_t> file)
{
    swf::FlvPlayback playback;
    playback.setWaitForPictures(false);
    playback.setSoundFeed(std::make_unique<DecodingFeed>());
    playback.append(file.first(file.size() / 2));
    playback.advance(100);
    (void)playback.picture();
    playback.append(file.subspan(file.size() / 2));
    playback.finish();
    for (double ms : { 40.0, 500.0 }) {
        playback.advance(ms);
        (void)playback.picture();
    }
    playback.seek(0.2);
    (void)playback.picture();
    playback.setPaused(true);
    playback.setPaused(false);
    playback.advance(1e6);
    (void)playback.picture();
    (void)playback.takeEvents();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> file(data, size);
    const auto header = swf::readFlvHeader(file);
    if (!header)
        return 0;
    std::vector<swf::FlvTag> partial;
    readTags(file.first(size / 2), *header, partial);
    std::vector<swf::FlvTag> tags;
    readTags(file, *header, tags);
    if (partial.size() > tags.size())
        broken("half the file gave more tags than all of it");

    // Video packets by codec, each stream decoded as the player would.
    std::map<uint8_t, PacketList> streams;
    std::map<uint8_t, uint8_t> adjustments;
    for (const swf::FlvTag& tag : tags) {
        if (tag.type == uint8_t(swf::FlvTagType::Script)) {
            (void)swf::readAmfCall(tag.data);
        } else if (tag.type == uint8_t(swf::FlvTagType::Audio)) {
            (void)swf::readFlvAudio(tag.data);
        } else if (tag.type == uint8_t(swf::FlvTagType::Video)) {
            const auto video = swf::readFlvVideo(tag.data);
            if (!video || !swf::isKnownVideoCodec(video->codec)
                || streams[video->codec].packets.size() >= kMaxPackets)
                continue;
            if (video->vp6Adjustment)
                adjustments[video->codec] = *video->vp6Adjustment;
            streams[video->codec].packets.push_back({ video->packet, video->key() });
        }
    }
    size_t decoded = 0;
    for (const auto& [codec, packets] : streams) {
        swf::VideoDecoder::Options options;
        options.codec = swf::VideoCodec(codec);
        if (adjustments.contains(codec)) {
            options.cropRight = adjustments[codec] >> 4;
            options.cropBottom = adjustments[codec] & 0x0F;
        }
        auto pump = swf::VideoPump::start(swf::VideoDecoder::open(options), kFramesAhead);
        if (!pump)
            continue;
        const int last = packets.count() - 1;
        for (int n : { last, last / 2, last / 3, last })
            (void)pump->picture(n, packets, true);
        decoded += size_t(pump->decodedCount());
    }
    if (decoded > 4 * (kMaxPackets + kFramesAhead) * streams.size())
        broken("a packet went through a decoder more often than the jumps need");
    play(file);
    return 0;
}
