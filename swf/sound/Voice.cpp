#include "Voice.h"

#include <algorithm>
#include <cstring>

namespace swf {

uint64_t SoundData::frames44() const
{
    const double rate = this->rate > 0 ? this->rate : format.sampleRate();
    return rate > 0 ? static_cast<uint64_t>(double(sampleCount) * kMixRate / rate + 0.5) : 0;
}

EventVoice::EventVoice(SoundData sound, SoundInfo info)
    : sound_(std::move(sound))
    , info_(std::move(info))
    , playsLeft_(info_.plays())
    , caching_(playsLeft_ > 1)
{
    if (info_.outPoint && *info_.outPoint <= info_.inPoint.value_or(0))
        playsLeft_ = 0; // nothing between the points
}

void EventVoice::startPass()
{
    intoPass_ = 0;
    if (cacheComplete_)
        return;
    const bool mp3 = sound_.format.coding() == SoundCodec::Mp3;
    pass_ = std::make_unique<SoundPipeline>(sound_.format, mp3 ? 0 : sound_.sampleCount);
    pass_->push({ sound_.owner, sound_.bytes, 0 });
    pass_->finish();
    if (mp3) {
        pass_->skipSource(static_cast<uint32_t>(std::max<int>(0, sound_.seekSamples)));
        if (sound_.sampleCount > 0)
            pass_->limitSource(sound_.sampleCount);
    }
    skipLeft_ = info_.inPoint.value_or(0);
}

bool EventVoice::skipToInPoint()
{
    // Frames before the in point are made and dropped, a few seconds' worth per render at
    // most: a start far into a long sound begins a little late rather than hold the mixer.
    uint64_t budget = kMaxSkipPerRender;
    scratch_.resize(2048 * 2);
    while (skipLeft_ > 0 && budget > 0) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>({ skipLeft_, budget, 2048 }));
        const size_t got = pass_->pull(scratch_.data(), want);
        if (got == 0) {
            skipLeft_ = 0; // the sound ends before its in point
            break;
        }
        skipLeft_ -= got;
        budget -= got;
    }
    return skipLeft_ == 0;
}

void EventVoice::endPass()
{
    // A first pass kept whole serves every pass after it.
    if (caching_ && !cache_.empty())
        cacheComplete_ = true;
    caching_ = false;
    pass_.reset();
    --playsLeft_;
    if (playsLeft_ > 0)
        startPass();
}

size_t EventVoice::render(float* out, size_t frames)
{
    if (playsLeft_ > 0 && !pass_ && !cacheComplete_)
        startPass();
    const uint64_t length = info_.outPoint ? *info_.outPoint - info_.inPoint.value_or(0) : UINT64_MAX;
    size_t made = 0;
    int emptyPasses = 0;
    while (made < frames && playsLeft_ > 0) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(frames - made, length - intoPass_));
        float* into = out + made * 2;
        size_t got = 0;
        bool passOver = false;
        if (!cacheComplete_ && skipLeft_ > 0 && !skipToInPoint())
            break;
        if (cacheComplete_) {
            const uint64_t cached = cache_.size() / 2;
            got = static_cast<size_t>(std::min<uint64_t>(want, cached - std::min(cached, intoPass_)));
            std::memcpy(into, cache_.data() + intoPass_ * 2, got * 2 * sizeof(float));
            passOver = intoPass_ + got >= cached;
        } else {
            got = pass_->pull(into, want);
            passOver = pass_->ended();
            if (caching_) {
                cache_.insert(cache_.end(), into, into + got * 2);
                if (cache_.size() / 2 > kLoopCacheFrames) {
                    caching_ = false;
                    cache_ = {};
                }
            }
        }
        intoPass_ += got;
        made += got;
        if (passOver || intoPass_ >= length) {
            // A sound with nothing in it ends rather than loop without end.
            if (intoPass_ == 0 && ++emptyPasses > 1) {
                playsLeft_ = 0;
                break;
            }
            endPass();
        } else if (got < want) {
            break; // nothing more now
        }
    }
    if (!info_.envelope.empty())
        applyEnvelope(out, made);
    envelopeAt_ += made;
    return made;
}

void EventVoice::applyEnvelope(float* out, size_t frames) const
{
    const auto& points = info_.envelope;
    size_t next = 0;
    for (size_t i = 0; i < frames; ++i) {
        const uint64_t at = envelopeAt_ + i;
        while (next < points.size() && points[next].position44 <= at)
            ++next;
        float left;
        float right;
        if (next == 0) {
            left = points.front().left;
            right = points.front().right;
        } else if (next == points.size()) {
            left = points.back().left;
            right = points.back().right;
        } else {
            const SoundEnvelopePoint& a = points[next - 1];
            const SoundEnvelopePoint& b = points[next];
            const double t = double(at - a.position44) / double(b.position44 - a.position44);
            left = static_cast<float>(a.left + (b.left - a.left) * t);
            right = static_cast<float>(a.right + (b.right - a.right) * t);
        }
        out[i * 2] *= left / 32768.0f;
        out[i * 2 + 1] *= right / 32768.0f;
    }
}

StreamVoice::StreamVoice(const SoundFormat& format, uint32_t samplesPerBlock, uint32_t skip)
    : pipeline_(format, samplesPerBlock)
{
    pipeline_.skipSource(skip);
}

} // namespace swf
