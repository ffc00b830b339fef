#pragma once

#include "swf/format/Movie.h"
#include "swf/format/SoundRecords.h"
#include "swf/format/Writer.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf::test {

// A sine of `frequency` Hz at `amplitude` (0..1 of full scale), `frames` frames at `rate`,
// the same on every channel, as 16-bit samples (interleaved).
std::vector<int16_t> sine(
    double frequency, double rate, size_t frames, double amplitude = 0.5, int channels = 1);

// The samples as the format's uncompressed coding holds them: 16-bit little-endian, or
// 8-bit unsigned.
std::vector<uint8_t> pcmBytes(std::span<const int16_t> samples, bool sixteenBit);

// The format's ADPCM at 2 to 5 bits a code, for fixtures: samples in, coded bytes out.
std::vector<uint8_t> encodeAdpcm(std::span<const int16_t> samples, int channels, int bits);

SoundFormat soundFormat(SoundCodec codec, int rateCode, bool sixteenBit, bool stereo);

// Runs an encoder of Debian's ffmpeg on a sine; nothing when ffmpeg is not there.
// `codec` is an ffmpeg encoder ("libmp3lame", "nellymoser"), the result the raw coded
// stream: MP3 frames without tags, or Nellymoser's 64-byte blocks.
std::optional<std::vector<uint8_t>> ffmpegSine(const std::string& codec, double frequency, int rate,
    double seconds, int channels, double amplitude = 0.5);
// ffmpeg writes an MP3 file of a sine with ID3 tags (title, artist); nothing without it.
std::optional<std::vector<uint8_t>> ffmpegMp3File(
    double frequency, int rate, double seconds, const std::string& title, const std::string& artist);

// ---- Measuring sound ------------------------------------------------------------------------

// One channel (0 left, 1 right) of interleaved stereo, as floats of full scale.
std::vector<double> channel(
    std::span<const int16_t> stereo, int which, size_t from = 0, size_t count = SIZE_MAX);
std::vector<double> toDoubles(std::span<const float> samples, int channels, int which);
// The frequency of a tone, from the time between its rising zero crossings.
double toneFrequency(std::span<const double> samples, double rate);
double rms(std::span<const double> samples);
// The first frame whose magnitude passes `threshold`, or SIZE_MAX.
size_t firstSound(std::span<const double> samples, double threshold = 0.02);

// ---- Movies with sound ----------------------------------------------------------------------

// A writer for a movie at `rate` fps on a 100x100 stage.
Writer soundMovie(double rate = 12, uint8_t version = 8);
// Puts a DefineSound into the writer as character `id`.
void defineSound(Writer& writer, uint16_t id, const SoundFormat& format, std::span<const uint8_t> data,
    uint32_t sampleCount, int16_t seekSamples = 0);
void startSound(Writer& writer, uint16_t id, const SoundInfo& info = {});
void streamHead(Writer& writer, const SoundFormat& format, uint16_t samplesPerFrame, int16_t latencySeek = 0);
void streamBlock(Writer& writer, std::span<const uint8_t> data);
void streamBlockFrame(Writer& writer, std::span<const uint8_t> data); // a block, then showFrame()
// Places character `id` at `depth`, untransformed.
void placeCharacter(Writer& writer, uint16_t id, uint16_t depth);

} // namespace swf::test
