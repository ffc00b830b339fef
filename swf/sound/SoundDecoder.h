#pragma once

#include "swf/format/SoundRecords.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace swf {

// Turns coded sound into samples: floats in [-1, 1], interleaved by channel, at the rate
// and channel count the decoder reports.
//
// The coded sound comes in units: the whole data of a DefineSound, or one block of a
// stream (each block of a stream stands on its own in every coding but MP3, whose decoder
// carries its state from block to block). A unit is given with push() once the decoder
// needsInput(); its bytes stay the caller's and must live until the decoder needs input
// again. Damaged data decodes to what can be made of it, never to a failure.
class SoundDecoder {
public:
    virtual ~SoundDecoder() = default;

    virtual void push(std::span<const uint8_t> unit) = 0;
    // Decodes about `frames` more frames (fewer when the input runs out, sometimes a few
    // more) and appends them to `out`; returns the frames added.
    virtual size_t decode(std::vector<float>& out, size_t frames) = 0;
    // All pushed input is decoded: the next unit may come.
    virtual bool needsInput() const = 0;

    // The rate and channels of the samples; a decoder that learns them from the data
    // (MP3) may change them as it goes, and says so before the first frame of the new kind.
    virtual double rate() const = 0;
    virtual int channels() const = 0;
};

// A decoder for `format`, or null for a coding this engine does not play (Speex, and
// values no coding has). `unitSamples`, when not 0, is the number of samples a unit is
// meant to hold (a DefineSound's count, a stream's samples per block): where a unit's
// length leaves its count open, the decoder keeps to the one nearest it.
std::unique_ptr<SoundDecoder> makeSoundDecoder(const SoundFormat& format, uint32_t unitSamples = 0);

// The samples per channel an ADPCM unit of `bytes` bytes holds, as far as its length
// says: the bits left over in its last byte may be codes or padding.
struct AdpcmSpan {
    uint32_t fewest = 0;
    uint32_t most = 0;
};
AdpcmSpan adpcmSampleCount(std::span<const uint8_t> unit, int channels);

} // namespace swf
