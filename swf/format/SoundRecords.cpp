#include "SoundRecords.h"

namespace swf {
namespace {

// Envelope points a SOUNDINFO can hold: its count is one byte.
constexpr size_t kMaxEnvelopePoints = 255;

} // namespace

double SoundFormat::sampleRate() const
{
    switch (coding()) {
    case SoundCodec::Nellymoser16k:
        return 16000;
    case SoundCodec::Nellymoser8k:
        return 8000;
    default:
        break;
    }
    static constexpr double kRates[4] = { 5512.5, 11025, 22050, 44100 };
    return kRates[rate & 3];
}

SoundFormat readSoundFormat(BitReader& in)
{
    SoundFormat format;
    format.codec = static_cast<uint8_t>(in.ub(4));
    format.rate = static_cast<uint8_t>(in.ub(2));
    format.sixteenBit = in.ub(1) != 0;
    format.stereo = in.ub(1) != 0;
    return format;
}

Result<SoundDefinition> readSoundDefinition(std::span<const uint8_t> body)
{
    BitReader in(body);
    SoundDefinition sound;
    sound.format = readSoundFormat(in);
    sound.sampleCount = in.u32();
    if (sound.format.coding() == SoundCodec::Mp3)
        sound.seekSamples = in.s16();
    if (in.overrun())
        return fail("DefineSound is too short for its format and sample count");
    sound.data = in.rest();
    return sound;
}

SoundInfo readSoundInfo(BitReader& in)
{
    SoundInfo info;
    in.ub(2); // reserved
    info.syncStop = in.ub(1) != 0;
    info.syncNoMultiple = in.ub(1) != 0;
    const bool hasEnvelope = in.ub(1) != 0;
    const bool hasLoops = in.ub(1) != 0;
    const bool hasOutPoint = in.ub(1) != 0;
    const bool hasInPoint = in.ub(1) != 0;
    if (hasInPoint)
        info.inPoint = in.u32();
    if (hasOutPoint)
        info.outPoint = in.u32();
    if (hasLoops)
        info.loopCount = in.u16();
    if (hasEnvelope) {
        const size_t count = in.u8();
        for (size_t i = 0; i < count && i < kMaxEnvelopePoints && !in.overrun(); ++i) {
            SoundEnvelopePoint point;
            point.position44 = in.u32();
            point.left = in.u16();
            point.right = in.u16();
            if (!in.overrun())
                info.envelope.push_back(point);
        }
    }
    return info;
}

Result<StartSoundRecord> readStartSound(std::span<const uint8_t> body)
{
    BitReader in(body);
    StartSoundRecord start;
    start.soundId = in.u16();
    start.info = readSoundInfo(in);
    if (in.overrun())
        return fail("StartSound ends inside its sound information");
    return start;
}

Result<StartSoundByName> readStartSound2(std::span<const uint8_t> body)
{
    BitReader in(body);
    StartSoundByName start;
    start.className = in.string();
    start.info = readSoundInfo(in);
    if (in.overrun())
        return fail("StartSound2 ends inside its class name or sound information");
    return start;
}

Result<StreamHead> readStreamHead(std::span<const uint8_t> body)
{
    BitReader in(body);
    StreamHead head;
    in.ub(4); // reserved
    const auto playbackRate = static_cast<uint8_t>(in.ub(2));
    head.playback.sixteenBit = in.ub(1) != 0;
    head.playback.stereo = in.ub(1) != 0;
    head.playback.rate = playbackRate;
    head.stream = readSoundFormat(in);
    head.playback.codec = head.stream.codec;
    head.sampleCount = in.u16();
    if (in.overrun())
        return fail("SoundStreamHead is too short for its formats and sample count");
    // Some writers leave the latency out of a head whose stream has no samples yet.
    if (head.stream.coding() == SoundCodec::Mp3 && in.remaining() >= 2)
        head.latencySeek = in.s16();
    return head;
}

Result<Mp3StreamBlock> readMp3StreamBlock(std::span<const uint8_t> body)
{
    BitReader in(body);
    Mp3StreamBlock block;
    block.sampleCount = in.u16();
    block.seekSamples = in.s16();
    if (in.overrun())
        return fail("SoundStreamBlock is too short for its MP3 sample counts");
    block.frames = in.rest();
    return block;
}

ButtonSounds readButtonSounds(std::span<const uint8_t> body)
{
    BitReader in(body);
    ButtonSounds sounds;
    for (auto& slot : sounds.byChange) {
        StartSoundRecord start;
        start.soundId = in.u16();
        if (in.overrun())
            break;
        if (start.soundId == 0)
            continue;
        start.info = readSoundInfo(in);
        if (in.overrun())
            break;
        slot = std::move(start);
    }
    return sounds;
}

std::vector<NamedCharacter> readCharacterNames(std::span<const uint8_t> body)
{
    BitReader in(body);
    const size_t count = in.u16();
    std::vector<NamedCharacter> names;
    for (size_t i = 0; i < count && !in.overrun(); ++i) {
        NamedCharacter named;
        named.id = in.u16();
        named.name = in.string();
        if (!in.overrun())
            names.push_back(std::move(named));
    }
    return names;
}

// ---- Writing -----------------------------------------------------------------------------------

void writeSoundFormat(BitWriter& out, const SoundFormat& format)
{
    out.ub(format.codec, 4);
    out.ub(format.rate, 2);
    out.ub(format.sixteenBit ? 1 : 0, 1);
    out.ub(format.stereo ? 1 : 0, 1);
}

void writeSoundInfo(BitWriter& out, const SoundInfo& info)
{
    out.ub(0, 2);
    out.ub(info.syncStop ? 1 : 0, 1);
    out.ub(info.syncNoMultiple ? 1 : 0, 1);
    out.ub(info.envelope.empty() ? 0 : 1, 1);
    out.ub(info.loopCount ? 1 : 0, 1);
    out.ub(info.outPoint ? 1 : 0, 1);
    out.ub(info.inPoint ? 1 : 0, 1);
    if (info.inPoint)
        out.u32(*info.inPoint);
    if (info.outPoint)
        out.u32(*info.outPoint);
    if (info.loopCount)
        out.u16(*info.loopCount);
    if (!info.envelope.empty()) {
        const size_t count = std::min(info.envelope.size(), kMaxEnvelopePoints);
        out.u8(static_cast<uint8_t>(count));
        for (size_t i = 0; i < count; ++i) {
            out.u32(info.envelope[i].position44);
            out.u16(info.envelope[i].left);
            out.u16(info.envelope[i].right);
        }
    }
}

std::vector<uint8_t> soundDefinitionBody(
    const SoundFormat& format, uint32_t sampleCount, std::span<const uint8_t> data, int16_t seekSamples)
{
    BitWriter out;
    writeSoundFormat(out, format);
    out.u32(sampleCount);
    if (format.coding() == SoundCodec::Mp3)
        out.u16(static_cast<uint16_t>(seekSamples));
    out.bytes(data);
    return out.take();
}

std::vector<uint8_t> startSoundBody(const StartSoundRecord& start)
{
    BitWriter out;
    out.u16(start.soundId);
    writeSoundInfo(out, start.info);
    return out.take();
}

std::vector<uint8_t> startSound2Body(std::string_view className, const SoundInfo& info)
{
    BitWriter out;
    out.string(className);
    writeSoundInfo(out, info);
    return out.take();
}

std::vector<uint8_t> streamHeadBody(const StreamHead& head)
{
    BitWriter out;
    out.ub(0, 4);
    out.ub(head.playback.rate, 2);
    out.ub(head.playback.sixteenBit ? 1 : 0, 1);
    out.ub(head.playback.stereo ? 1 : 0, 1);
    writeSoundFormat(out, head.stream);
    out.u16(head.sampleCount);
    if (head.stream.coding() == SoundCodec::Mp3)
        out.u16(static_cast<uint16_t>(head.latencySeek));
    return out.take();
}

std::vector<uint8_t> mp3StreamBlockBody(
    uint16_t sampleCount, int16_t seekSamples, std::span<const uint8_t> frames)
{
    BitWriter out;
    out.u16(sampleCount);
    out.u16(static_cast<uint16_t>(seekSamples));
    out.bytes(frames);
    return out.take();
}

std::vector<uint8_t> buttonSoundsBody(const ButtonSounds& sounds)
{
    BitWriter out;
    for (const auto& slot : sounds.byChange) {
        out.u16(slot ? slot->soundId : 0);
        if (slot && slot->soundId != 0)
            writeSoundInfo(out, slot->info);
    }
    return out.take();
}

std::vector<uint8_t> characterNamesBody(std::span<const NamedCharacter> names)
{
    BitWriter out;
    out.u16(static_cast<uint16_t>(names.size()));
    for (const NamedCharacter& named : names) {
        out.u16(named.id);
        out.string(named.name);
    }
    return out.take();
}

} // namespace swf
