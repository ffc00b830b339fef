#include "SoundFixtures.h"

#include "swf/format/BitWriter.h"
#include "swf/format/Tags.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace swf::test {

std::vector<int16_t> sine(double frequency, double rate, size_t frames, double amplitude, int channels)
{
    std::vector<int16_t> out;
    out.reserve(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2 * std::numbers::pi * frequency * double(i) / rate);
        for (int c = 0; c < channels; ++c)
            out.push_back(static_cast<int16_t>(std::lround(value * 32767)));
    }
    return out;
}

std::vector<uint8_t> pcmBytes(std::span<const int16_t> samples, bool sixteenBit)
{
    std::vector<uint8_t> out;
    for (int16_t s : samples) {
        if (sixteenBit) {
            out.push_back(uint8_t(s & 0xff));
            out.push_back(uint8_t((s >> 8) & 0xff));
        } else {
            out.push_back(uint8_t(std::clamp((s >> 8) + 128, 0, 255)));
        }
    }
    return out;
}

namespace {

constexpr std::array<int, 89> kSteps = { 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37,
    41, 45, 50, 55, 60, 66, 73, 80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337,
    371, 408, 449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552, 1707, 1878, 2066,
    2272, 2499, 2749, 3024, 3327, 3660, 4026, 4428, 4871, 5358, 5894, 6484, 7132, 7845, 8630, 9493, 10442,
    11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767 };

const int* indexTable(int bits)
{
    static constexpr int k2[] = { -1, 2 };
    static constexpr int k3[] = { -1, -1, 2, 4 };
    static constexpr int k4[] = { -1, -1, -1, -1, 2, 4, 6, 8 };
    static constexpr int k5[] = { -1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16 };
    switch (bits) {
    case 2:
        return k2;
    case 3:
        return k3;
    case 4:
        return k4;
    default:
        return k5;
    }
}

struct AdpcmChannel {
    int predictor = 0;
    int index = 0;
};

// One code for `sample`, and the channel moved on as a decoder moves it.
uint32_t encodeSample(AdpcmChannel& ch, int sample, int bits)
{
    const int signBit = 1 << (bits - 1);
    int step = kSteps[ch.index];
    int diff = sample - ch.predictor;
    uint32_t code = 0;
    if (diff < 0) {
        code = signBit;
        diff = -diff;
    }
    int vpdiff = 0;
    for (int k = signBit >> 1; k; k >>= 1) {
        if (diff >= step) {
            code |= k;
            diff -= step;
            vpdiff += step;
        }
        step >>= 1;
    }
    vpdiff += step;
    ch.predictor = std::clamp(ch.predictor + ((code & signBit) ? -vpdiff : vpdiff), -32768, 32767);
    ch.index = std::clamp(ch.index + indexTable(bits)[code & (signBit - 1)], 0, 88);
    return code;
}

} // namespace

std::vector<uint8_t> encodeAdpcm(std::span<const int16_t> samples, int channels, int bits)
{
    BitWriter out;
    out.ub(uint32_t(bits - 2), 2);
    std::array<AdpcmChannel, 2> state;
    const size_t frames = samples.size() / channels;
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const int sample = samples[i * channels + c];
            if (i % 4096 == 0) {
                // A block says its step index in 6 bits: the steps above 63 wait a code.
                state[c].index = std::min(state[c].index, 63);
                state[c].predictor = sample;
                out.sb(sample, 16);
                out.ub(uint32_t(state[c].index), 6);
            } else {
                out.ub(encodeSample(state[c], sample, bits), unsigned(bits));
            }
        }
    }
    return out.take();
}

SoundFormat soundFormat(SoundCodec codec, int rateCode, bool sixteenBit, bool stereo)
{
    return SoundFormat { static_cast<uint8_t>(codec), static_cast<uint8_t>(rateCode), sixteenBit, stereo };
}

namespace {

std::optional<QByteArray> runFfmpeg(const QStringList& arguments, const QString& output)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(ffmpeg,
        QStringList { "-hide_banner", "-loglevel", "error", "-y" } + arguments + QStringList { output });
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return std::nullopt;
    QFile file(output);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QStringList sineInput(double frequency, int rate, double seconds, int channels, double amplitude)
{
    // lavfi's sine is an eighth of full scale; a copy of it goes to each channel (ffmpeg's
    // own upmix would lower the level).
    QString filter = QStringLiteral("volume=%1").arg(amplitude * 8);
    if (channels == 2)
        filter += QStringLiteral(",pan=stereo|c0=c0|c1=c0");
    return { "-f", "lavfi", "-i",
        QStringLiteral("sine=frequency=%1:sample_rate=%2:duration=%3").arg(frequency).arg(rate).arg(seconds),
        "-af", filter };
}

uint32_t be(const QByteArray& b, qsizetype at, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | uint8_t(b[at + i]);
    return v;
}

// The audio payloads of an FLV file, one after another.
std::vector<uint8_t> flvAudio(const QByteArray& flv)
{
    std::vector<uint8_t> out;
    qsizetype at = 9 + 4;
    while (at + 11 <= flv.size()) {
        const int type = uint8_t(flv[at]);
        const qsizetype size = be(flv, at + 1, 3);
        const qsizetype data = at + 11;
        if (data + size > flv.size())
            break;
        if (type == 8 && size > 1)
            out.insert(out.end(), flv.begin() + data + 1, flv.begin() + data + size);
        at = data + size + 4;
    }
    return out;
}

} // namespace

std::optional<std::vector<uint8_t>> ffmpegSine(
    const std::string& codec, double frequency, int rate, double seconds, int channels, double amplitude)
{
    QTemporaryDir dir;
    const bool mp3 = codec == "libmp3lame";
    QStringList args = sineInput(frequency, rate, seconds, channels, amplitude);
    args << "-c:a" << QString::fromStdString(codec);
    if (mp3)
        args << "-b:a"
             << "128k"
             << "-write_xing"
             << "0"
             << "-id3v2_version"
             << "0"
             << "-write_id3v1"
             << "0"
             << "-f"
             << "mp3";
    else
        args << "-f"
             << "flv";
    const auto bytes = runFfmpeg(args, dir.filePath(mp3 ? "out.mp3" : "out.flv"));
    if (!bytes)
        return std::nullopt;
    if (mp3)
        return std::vector<uint8_t>(bytes->begin(), bytes->end());
    return flvAudio(*bytes);
}

std::optional<std::vector<uint8_t>> ffmpegMp3File(
    double frequency, int rate, double seconds, const std::string& title, const std::string& artist)
{
    QTemporaryDir dir;
    QStringList args = sineInput(frequency, rate, seconds, 2, 0.5);
    args << "-c:a"
         << "libmp3lame"
         << "-b:a"
         << "128k"
         << "-metadata" << QString::fromStdString("title=" + title) << "-metadata"
         << QString::fromStdString("artist=" + artist) << "-id3v2_version"
         << "3"
         << "-f"
         << "mp3";
    const auto bytes = runFfmpeg(args, dir.filePath("tagged.mp3"));
    if (!bytes)
        return std::nullopt;
    return std::vector<uint8_t>(bytes->begin(), bytes->end());
}

// ---- Measuring -------------------------------------------------------------------------------

std::vector<double> channel(std::span<const int16_t> stereo, int which, size_t from, size_t count)
{
    std::vector<double> out;
    const size_t frames = stereo.size() / 2;
    for (size_t i = from; i < frames && i - from < count; ++i)
        out.push_back(stereo[i * 2 + which] / 32768.0);
    return out;
}

std::vector<double> toDoubles(std::span<const float> samples, int channels, int which)
{
    std::vector<double> out;
    for (size_t i = which; i < samples.size(); i += channels)
        out.push_back(samples[i]);
    return out;
}

double toneFrequency(std::span<const double> samples, double rate)
{
    std::vector<double> crossings;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            const double t = samples[i - 1] / (samples[i - 1] - samples[i]);
            crossings.push_back(double(i - 1) + t);
        }
    }
    if (crossings.size() < 3)
        return 0;
    return rate * double(crossings.size() - 1) / (crossings.back() - crossings.front());
}

double rms(std::span<const double> samples)
{
    if (samples.empty())
        return 0;
    double sum = 0;
    for (double s : samples)
        sum += s * s;
    return std::sqrt(sum / double(samples.size()));
}

size_t firstSound(std::span<const double> samples, double threshold)
{
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > threshold)
            return i;
    }
    return SIZE_MAX;
}

// ---- Movies ------------------------------------------------------------------------------------

Writer soundMovie(double rate, uint8_t version)
{
    Header header;
    header.version = version;
    header.frameSize = Rect { 0, 2000, 0, 2000 };
    header.frameRate = rate;
    return Writer(header);
}

void defineSound(Writer& writer, uint16_t id, const SoundFormat& format, std::span<const uint8_t> data,
    uint32_t sampleCount, int16_t seekSamples)
{
    writer.define(
        toCode(TagCode::DefineSound), id, soundDefinitionBody(format, sampleCount, data, seekSamples));
}

void startSound(Writer& writer, uint16_t id, const SoundInfo& info)
{
    writer.rawTag(toCode(TagCode::StartSound), startSoundBody({ id, info }));
}

void streamHead(Writer& writer, const SoundFormat& format, uint16_t samplesPerFrame, int16_t latencySeek)
{
    writer.rawTag(
        toCode(TagCode::SoundStreamHead2), streamHeadBody({ format, format, samplesPerFrame, latencySeek }));
}

void streamBlock(Writer& writer, std::span<const uint8_t> data)
{
    writer.rawTag(toCode(TagCode::SoundStreamBlock), data);
}

void streamBlockFrame(Writer& writer, std::span<const uint8_t> data)
{
    streamBlock(writer, data);
    writer.showFrame();
}

void placeCharacter(Writer& writer, uint16_t id, uint16_t depth)
{
    PlaceObject place;
    place.characterId = id;
    place.depth = depth;
    place.matrix = Matrix {};
    writer.place(place);
}

} // namespace swf::test
