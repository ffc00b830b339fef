#include "Decoders.h"

namespace swf {

std::unique_ptr<SoundDecoder> makeSoundDecoder(const SoundFormat& format, uint32_t unitSamples)
{
    switch (format.coding()) {
    case SoundCodec::PcmNative:
    case SoundCodec::PcmLittleEndian:
        return makePcmDecoder(format);
    case SoundCodec::Adpcm:
        return makeAdpcmDecoder(format, unitSamples);
    case SoundCodec::Mp3:
        return makeMp3Decoder(format);
    case SoundCodec::Nellymoser16k:
    case SoundCodec::Nellymoser8k:
    case SoundCodec::Nellymoser:
        return makeNellymoserDecoder(format);
    case SoundCodec::Aac:
        return makeAacDecoder();
    default:
        return nullptr;
    }
}

} // namespace swf
