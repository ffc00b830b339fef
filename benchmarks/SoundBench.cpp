// What mixing costs: seconds of sound made per second of CPU, for the codings movies use.
//   build/benchmarks/sound_bench
// Each benchmark mixes one second of sound (44.1 kHz stereo) in the output's steps of
// 1024 frames; "items" are frames, so items_per_second over 44100 is the real-time factor.
#include "swf/format/BitWriter.h"
#include "swf/sound/Mixer.h"
#include "swf/sound/Voice.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using namespace swf;

std::vector<uint8_t> pcmTone(double rate, double seconds)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < size_t(rate * seconds); ++i) {
        const auto s = static_cast<int16_t>(16000 * std::sin(i * 0.05));
        bytes.push_back(uint8_t(s & 0xff));
        bytes.push_back(uint8_t((s >> 8) & 0xff));
    }
    return bytes;
}

// Any bytes are ADPCM codes: 4-bit mono, made of a tone's bytes.
std::vector<uint8_t> adpcmBytes(double rate, double seconds)
{
    std::vector<uint8_t> bytes = pcmTone(rate, seconds / 4);
    bytes[0] = 0x80;
    return bytes;
}

void mix(
    benchmark::State& state, const SoundFormat& format, const std::vector<uint8_t>& data, uint32_t samples)
{
    const int voices = static_cast<int>(state.range(0));
    std::vector<int16_t> out(1024 * 2);
    for (auto _ : state) {
        Mixer mixer;
        for (int v = 0; v < voices; ++v)
            mixer.start(VoiceId(v + 1),
                std::make_unique<EventVoice>(SoundData { nullptr, format, samples, 0, data }, SoundInfo {}),
                {});
        for (int frames = 0; frames < 44100; frames += 1024)
            mixer.render(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 44100);
}

void PcmAt22kHz(benchmark::State& state)
{
    static const auto data = pcmTone(22050, 1.2);
    mix(state, SoundFormat { 3, 2, true, false }, data, uint32_t(data.size() / 2));
}
BENCHMARK(PcmAt22kHz)->Arg(1)->Arg(8);

void AdpcmAt11kHz(benchmark::State& state)
{
    static const auto data = adpcmBytes(11025, 1.2);
    mix(state, SoundFormat { 1, 1, true, false }, data, 0);
}
BENCHMARK(AdpcmAt11kHz)->Arg(1)->Arg(8);

void PcmAt44kHzNoResampling(benchmark::State& state)
{
    static const auto data = pcmTone(44100, 1.2);
    mix(state, SoundFormat { 3, 3, true, false }, data, uint32_t(data.size() / 2));
}
BENCHMARK(PcmAt44kHzNoResampling)->Arg(1)->Arg(8);

// Two seconds of a 128 kb/s stereo MP3 at 44.1 kHz, made by ffmpeg; empty without it.
std::vector<uint8_t> mp3Tone()
{
    const char* path = "/tmp/zorva_sound_bench.mp3";
    const std::string command
        = std::string("ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=2 ")
        + "-ac 2 -c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0 -f mp3 " + path;
    if (std::system(command.c_str()) != 0)
        return {};
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Mp3At44kHzStereo(benchmark::State& state)
{
    static const auto data = mp3Tone();
    if (data.empty()) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    mix(state, SoundFormat { 2, 3, true, true }, data, 0);
}
BENCHMARK(Mp3At44kHzStereo)->Arg(1)->Arg(8);

} // namespace
