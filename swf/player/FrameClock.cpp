#include "FrameClock.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

constexpr int64_t kNanosPerSecond = 1'000'000'000;

} // namespace

FrameClock::FrameClock(double framesPerSecond)
{
    reset(framesPerSecond);
}

void FrameClock::reset(double framesPerSecond)
{
    if (!(framesPerSecond > 0))
        framesPerSecond = kMaxRate;
    framesPerSecond = std::clamp(framesPerSecond, kMinRate, kMaxRate);
    rate256_ = std::max<int64_t>(1, std::llround(framesPerSecond * 256));
    elapsed_ = 0;
    frames_ = 0;
    dropped_ = 0;
}

double FrameClock::rate() const
{
    return rate256_ / 256.0;
}

int64_t FrameClock::dueAt(int64_t nanoseconds) const
{
    return static_cast<int64_t>(
        static_cast<__int128>(nanoseconds) * rate256_ / (__int128(256) * kNanosPerSecond));
}

int FrameClock::advance(Duration elapsed)
{
    if (elapsed.count() > 0)
        elapsed_ += elapsed.count();
    const int64_t behind = dueAt(elapsed_) - frames_;
    if (behind <= 0)
        return 0;
    const int64_t run = std::min<int64_t>(behind, kMaxCatchUp);
    dropped_ += behind - run;
    frames_ += behind;
    return static_cast<int>(run);
}

void FrameClock::follow(int64_t frames, Duration intoFrame)
{
    frames_ += std::max<int64_t>(0, frames);
    const __int128 start = (__int128(frames_) * 256 * kNanosPerSecond + rate256_ - 1) / rate256_;
    const int64_t into = std::clamp<int64_t>(intoFrame.count(), 0, framePeriod().count() - 1);
    elapsed_ = static_cast<int64_t>(start) + into;
}

FrameClock::Duration FrameClock::untilNextFrame() const
{
    // The first nanosecond at which frame frames_ + 1 is due.
    const __int128 numerator = __int128(frames_ + 1) * 256 * kNanosPerSecond;
    const int64_t at = static_cast<int64_t>((numerator + rate256_ - 1) / rate256_);
    return Duration(std::max<int64_t>(0, at - elapsed_));
}

FrameClock::Duration FrameClock::framePeriod() const
{
    return Duration(256 * kNanosPerSecond / rate256_);
}

} // namespace swf
