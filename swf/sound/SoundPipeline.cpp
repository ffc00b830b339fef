#include "SoundPipeline.h"

#include <algorithm>
#include <cstring>

namespace swf {
namespace {

// Frames decoded in one step, at the sound's own rate.
constexpr size_t kChunkFrames = 1024;
// Steps one pull may take; a decoder that keeps making nothing cannot hold the mixer.
constexpr int kMaxStepsPerPull = 512;
constexpr int kMaxIdleDecodes = 4;

} // namespace

SoundPipeline::SoundPipeline(const SoundFormat& format, uint32_t unitSamples)
    : format_(format)
    , unitSamples_(unitSamples)
    , decoder_(makeSoundDecoder(format, unitSamples))
{
}

SoundPipeline::~SoundPipeline() = default;

void SoundPipeline::push(SoundUnit unit)
{
    units_.push_back(std::move(unit));
}

void SoundPipeline::finish()
{
    finished_ = true;
}

bool SoundPipeline::ended() const
{
    return finished_ && flushed_ && available() == 0;
}

size_t SoundPipeline::pull(float* out, size_t frames)
{
    for (int step = 0; available() < frames && step < kMaxStepsPerPull; ++step) {
        if (!produce(frames - available()))
            break;
    }
    const size_t count = std::min(frames, available());
    if (count == 0)
        return 0;
    std::memcpy(out, ready_.data() + readPos_, count * 2 * sizeof(float));
    readPos_ += count * 2;
    if (readPos_ == ready_.size()) {
        ready_.clear();
        readPos_ = 0;
    } else if (readPos_ > 65536) {
        ready_.erase(ready_.begin(), ready_.begin() + static_cast<std::ptrdiff_t>(readPos_));
        readPos_ = 0;
    }
    return count;
}

bool SoundPipeline::produce(size_t)
{
    if (silenceLeft_ == 0 && decoderIdle()) {
        current_ = {};
        if (units_.empty()) {
            if (!finished_ || flushed_)
                return false;
            if (resampler_) {
                resampled_.clear();
                resampler_->flush(resampled_);
                keepResampled(resampler_->channels());
            }
            flushed_ = true;
            return true;
        }
        current_ = std::move(units_.front());
        units_.pop_front();
        if (current_.silence > 0)
            silenceLeft_ = current_.silence;
        else if (decoder_)
            decoder_->push(current_.bytes);
        else
            silenceLeft_ = unitSamples_; // a coding we cannot play lasts its time in silence
        return true;
    }

    source_.clear();
    double rate = decoder_ ? decoder_->rate() : format_.sampleRate();
    int channels = decoder_ ? decoder_->channels() : format_.channels();
    size_t frames = 0;
    if (silenceLeft_ > 0) {
        frames = std::min<size_t>(silenceLeft_, kChunkFrames);
        source_.assign(frames * channels, 0.0f);
        silenceLeft_ -= static_cast<uint32_t>(frames);
    } else {
        frames = decoder_->decode(source_, kChunkFrames);
        rate = decoder_->rate();
        channels = decoder_->channels();
        if (frames == 0) {
            if (!decoder_->needsInput() && ++idleDecodes_ >= kMaxIdleDecodes)
                decoder_.reset(); // stuck on what it was given: the rest is given up
            return true;
        }
        idleDecodes_ = 0;
    }
    deliver(frames, rate, channels);
    return true;
}

void SoundPipeline::deliver(size_t frames, double rate, int channels)
{
    const float* first = source_.data();
    if (skip_ > 0) {
        const size_t dropped = static_cast<size_t>(std::min<uint64_t>(skip_, frames));
        skip_ -= dropped;
        frames -= dropped;
        first += dropped * channels;
    }
    if (sourceFrames_ + frames >= limit_) {
        frames = static_cast<size_t>(limit_ - std::min(limit_, sourceFrames_));
        // The rest of the sound is past its end.
        units_.clear();
        decoder_.reset();
        silenceLeft_ = 0;
    }
    sourceFrames_ += frames;
    if (frames == 0)
        return;
    if (!resampler_ || resampler_->fromRate() != rate || resampler_->channels() != channels) {
        if (resampler_) {
            resampled_.clear();
            resampler_->flush(resampled_);
            keepResampled(resampler_->channels());
        }
        resampler_ = std::make_unique<Resampler>(rate, channels, kMixRate);
    }
    resampled_.clear();
    resampler_->process(first, frames, resampled_);
    keepResampled(channels);
}

void SoundPipeline::keepResampled(int channels)
{
    if (channels == 2) {
        ready_.insert(ready_.end(), resampled_.begin(), resampled_.end());
        return;
    }
    ready_.reserve(ready_.size() + resampled_.size() * 2);
    for (float sample : resampled_) {
        ready_.push_back(sample);
        ready_.push_back(sample);
    }
}

} // namespace swf
