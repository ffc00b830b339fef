#include "SoundPacer.h"

#include <algorithm>

namespace swf::exporting {

SoundPacer::SoundPacer(FrameRate rate, int sampleRate)
    : rate_(rate)
    , sampleRate_(sampleRate)
{
}

int64_t SoundPacer::dueBy(int64_t frames) const
{
    // Rounded to the nearest sample: frames * rate * den / num.
    const int64_t scaled = frames * sampleRate_ * rate_.den;
    return (2 * scaled + rate_.num) / (2 * int64_t(rate_.num));
}

std::vector<int16_t> SoundPacer::frameShown(std::span<const int16_t> sound)
{
    held_.insert(held_.end(), sound.begin(), sound.end() - (sound.size() % 2));
    ++frames_;
    const int64_t wanted = std::max<int64_t>(0, dueBy(frames_) - given_);
    const int64_t out = std::min<int64_t>(wanted, int64_t(held_.size() / 2));
    std::vector<int16_t> due(held_.begin(), held_.begin() + out * 2);
    held_.erase(held_.begin(), held_.begin() + out * 2);
    given_ += out;
    // What ran past the frames shown so far waits for the next; a movie's sound never
    // runs far ahead of its frames.
    return due;
}

std::vector<int16_t> SoundPacer::end() const
{
    return std::vector<int16_t>(size_t(std::max<int64_t>(0, dueBy(frames_) - given_)) * 2, 0);
}

} // namespace swf::exporting
