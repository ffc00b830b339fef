// Fuzzes the sound records and the decoders: the input is a format byte, a SOUNDINFO and
// coded sound. The records' readers take it whole; the format's decoder (PCM, ADPCM,
// MP3, Nellymoser) decodes the rest through the pipeline to 44.1 kHz, as an event sound
// with the sound information read, and as a stream in three blocks. Beyond "never crash,
// never hang", the sound made stays within what the input could hold.
#include "swf/format/SoundRecords.h"
#include "swf/sound/SoundDecoder.h"
#include "swf/sound/Voice.h"

#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

// Frames rendered of one sound at most: a loop of 65535 passes would otherwise run long.
constexpr size_t kMaxFrames = 44100 * 4;

[[noreturn]] void broken(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

size_t drain(swf::Voice& voice)
{
    std::vector<float> out(2 * 4096);
    size_t total = 0;
    while (total < kMaxFrames && !voice.ended()) {
        const size_t got = voice.render(out.data(), 4096);
        for (float sample : std::span(out).first(got * 2)) {
            if (!(sample >= -64.0f && sample <= 64.0f))
                broken("a decoder made a sample out of all range");
        }
        total += got;
        if (got == 0)
            break;
    }
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> input(data, size);
    // The readers of every sound record over the whole input.
    (void)swf::readSoundDefinition(input);
    (void)swf::readStartSound(input);
    (void)swf::readStartSound2(input);
    (void)swf::readStreamHead(input);
    (void)swf::readMp3StreamBlock(input);
    (void)swf::readButtonSounds(input);
    (void)swf::readCharacterNames(input);
    if (size < 2)
        return 0;

    swf::BitReader in(input);
    const swf::SoundFormat format = swf::readSoundFormat(in);
    swf::SoundInfo info = swf::readSoundInfo(in);
    const std::span<const uint8_t> sound = in.overrun() ? input.subspan(1) : in.rest();
    const uint32_t declared = static_cast<uint32_t>(sound.size() * 3);

    swf::EventVoice event(swf::SoundData { nullptr, format, declared, 0, sound }, info);
    drain(event);

    // A stream: three blocks, a frame of silence between two of them.
    swf::StreamVoice stream(format, 100, sound.empty() ? 0 : sound[0]);
    const size_t third = sound.size() / 3;
    stream.push({ nullptr, sound.first(third), 0 });
    stream.push({ nullptr, {}, 50 });
    stream.push({ nullptr, sound.subspan(third, third), 0 });
    stream.push({ nullptr, sound.subspan(2 * third), 0 });
    stream.finish();
    drain(stream);
    return 0;
}
