#pragma once

#include "SoundDecoder.h"

namespace swf {

// The decoder of each coding; makeSoundDecoder() picks among them. `unitSamples`, when
// not 0, is the sample count a unit is expected to hold, which settles the count where
// the unit's length leaves it open (ADPCM's last byte).
std::unique_ptr<SoundDecoder> makePcmDecoder(const SoundFormat& format);
std::unique_ptr<SoundDecoder> makeAdpcmDecoder(const SoundFormat& format, uint32_t unitSamples);
std::unique_ptr<SoundDecoder> makeMp3Decoder(const SoundFormat& format);
std::unique_ptr<SoundDecoder> makeNellymoserDecoder(const SoundFormat& format);
std::unique_ptr<SoundDecoder> makeAacDecoder();

} // namespace swf
