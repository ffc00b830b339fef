#pragma once

#include "BitReader.h"
#include "BitWriter.h"
#include "Error.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace swf {

// The codings of sound samples, by the 4-bit format field of the sound tags.
enum class SoundCodec : uint8_t {
    PcmNative
    = 0, // uncompressed in the writer's byte order: little-endian on every machine that wrote movies
    Adpcm = 1,
    Mp3 = 2,
    PcmLittleEndian = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    Aac = 10, // in video files only: the first unit configures the decoder
    Speex = 11,
};

// The fields every sound tag carries about its samples: coding, rate, size and channels.
struct SoundFormat {
    uint8_t codec = 0; // a SoundCodec, or a value no coding has
    uint8_t rate = 3; // 0: 5.5 kHz, 1: 11 kHz, 2: 22 kHz, 3: 44 kHz
    bool sixteenBit = true;
    bool stereo = false;

    SoundCodec coding() const { return SoundCodec(codec); }
    // Samples per second: 5512.5, 11025, 22050 or 44100, except for the two Nellymoser
    // codings that fix their own rate (16000 and 8000).
    double sampleRate() const;
    int channels() const { return stereo ? 2 : 1; }
    friend bool operator==(const SoundFormat&, const SoundFormat&) = default;
};

// DefineSound (14), the body after the character id.
struct SoundDefinition {
    SoundFormat format;
    uint32_t sampleCount = 0; // per channel, as declared
    int16_t seekSamples = 0; // MP3 only: samples of the decoded sound to skip at its start
    std::span<const uint8_t> data; // the coded samples (for MP3, the frames after the seek count)
};

// One point of a sound's volume envelope: from `position44` (samples at 44 kHz from the
// start of the sound) on, the levels of the two channels, 0..32768 for silent..full.
struct SoundEnvelopePoint {
    uint32_t position44 = 0;
    uint16_t left = 32768;
    uint16_t right = 32768;
    friend bool operator==(const SoundEnvelopePoint&, const SoundEnvelopePoint&) = default;
};

// SOUNDINFO: how StartSound and the button sounds play a sound.
struct SoundInfo {
    bool syncStop = false; // stop the sound instead of starting it
    bool syncNoMultiple = false; // do not start it while it already plays
    std::optional<uint32_t> inPoint; // in samples at 44 kHz
    std::optional<uint32_t> outPoint;
    std::optional<uint16_t> loopCount; // times played; 0 plays once too
    std::vector<SoundEnvelopePoint> envelope;

    uint32_t plays() const { return loopCount && *loopCount > 1 ? *loopCount : 1; }
    friend bool operator==(const SoundInfo&, const SoundInfo&) = default;
};

// StartSound (15): a sound of the dictionary with its SOUNDINFO.
struct StartSoundRecord {
    uint16_t soundId = 0;
    SoundInfo info;
    friend bool operator==(const StartSoundRecord&, const StartSoundRecord&) = default;
};

// StartSound2 (89): a sound named by its class (an exported name), with its SOUNDINFO.
struct StartSoundByName {
    std::string className;
    SoundInfo info;
};

// SoundStreamHead (18) and SoundStreamHead2 (45): the format of a timeline's stream.
struct StreamHead {
    SoundFormat playback; // what the author asked the player to play at; advisory
    SoundFormat stream;
    uint16_t sampleCount = 0; // samples per frame, on average
    int16_t latencySeek = 0; // MP3 only
    friend bool operator==(const StreamHead&, const StreamHead&) = default;
};

// The body of an MP3 SoundStreamBlock (19). Blocks of other codings are their samples.
struct Mp3StreamBlock {
    uint16_t sampleCount = 0; // samples in the block's MP3 frames
    int16_t seekSamples = 0; // samples of this block to skip when the stream starts here
    std::span<const uint8_t> frames;
};

// DefineButtonSound (17), the body after the button id: a sound for each of the four
// changes of a button's state. Slot 0 is over to up, 1 up to over, 2 over to down, 3
// down to over.
struct ButtonSounds {
    std::array<std::optional<StartSoundRecord>, 4> byChange;
};

// A name given to a character by ExportAssets (56) or SymbolClass (76).
struct NamedCharacter {
    uint16_t id = 0;
    std::string name;
};

// ---- Reading -------------------------------------------------------------------------------

Result<SoundDefinition> readSoundDefinition(std::span<const uint8_t> body);
SoundFormat readSoundFormat(BitReader& in);
SoundInfo readSoundInfo(BitReader& in); // check in.overrun() afterwards
Result<StartSoundRecord> readStartSound(std::span<const uint8_t> body);
Result<StartSoundByName> readStartSound2(std::span<const uint8_t> body);
Result<StreamHead> readStreamHead(std::span<const uint8_t> body);
Result<Mp3StreamBlock> readMp3StreamBlock(std::span<const uint8_t> body);
// The byChange that read in full; a damaged tag keeps those before the damage.
ButtonSounds readButtonSounds(std::span<const uint8_t> body);
// As many names as the body holds in full.
std::vector<NamedCharacter> readCharacterNames(std::span<const uint8_t> body);

// ---- Writing, for the writer's fixtures -------------------------------------------------------

void writeSoundFormat(BitWriter& out, const SoundFormat& format);
void writeSoundInfo(BitWriter& out, const SoundInfo& info);
// The DefineSound body after the id; MP3 data gets `seekSamples` in front.
std::vector<uint8_t> soundDefinitionBody(
    const SoundFormat& format, uint32_t sampleCount, std::span<const uint8_t> data, int16_t seekSamples = 0);
std::vector<uint8_t> startSoundBody(const StartSoundRecord& start);
std::vector<uint8_t> startSound2Body(std::string_view className, const SoundInfo& info);
std::vector<uint8_t> streamHeadBody(const StreamHead& head);
std::vector<uint8_t> mp3StreamBlockBody(
    uint16_t sampleCount, int16_t seekSamples, std::span<const uint8_t> frames);
std::vector<uint8_t> buttonSoundsBody(const ButtonSounds& sounds);
std::vector<uint8_t> characterNamesBody(std::span<const NamedCharacter> names);

} // namespace swf
