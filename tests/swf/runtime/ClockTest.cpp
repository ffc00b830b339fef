#include "Fixtures.h"

#include "swf/player/FrameClock.h"

#include <gtest/gtest.h>

#include <random>

namespace swf::test {
namespace {

using namespace std::chrono_literals;
using Duration = FrameClock::Duration;

TEST(FrameClock, TenSecondsAt24FpsAreExactly240Frames)
{
    // Time arrives in uneven steps, as a timer's ticks do; none is late enough to drop.
    std::mt19937 random(5);
    FrameClock clock(24);
    int frames = 0;
    Duration passed {};
    while (passed < 10s) {
        const Duration step = std::min<Duration>(10s - passed, Duration(1'000'000 + random() % 60'000'000));
        passed += step;
        frames += clock.advance(step);
    }
    EXPECT_EQ(frames, 240);
    EXPECT_EQ(clock.framesDropped(), 0);
}

TEST(FrameClock, FramesFallDueOnTheirOwnNanosecond)
{
    FrameClock clock(24);
    EXPECT_EQ(clock.untilNextFrame(), Duration(41'666'667));
    EXPECT_EQ(clock.advance(Duration(41'666'666)), 0);
    EXPECT_EQ(clock.untilNextFrame(), 1ns);
    EXPECT_EQ(clock.advance(1ns), 1);
    // A rate of 8.8 fixed point that is not a whole number keeps its fraction.
    clock.reset(12.5);
    int frames = 0;
    for (int step = 0; step < 200; ++step)
        frames += clock.advance(10ms);
    EXPECT_EQ(frames, 25);
}

TEST(FrameClock, AStallIsCaughtUpAFewFramesThenDropped)
{
    FrameClock clock(24);
    EXPECT_EQ(clock.advance(1s), FrameClock::kMaxCatchUp);
    EXPECT_EQ(clock.framesDropped(), 24 - FrameClock::kMaxCatchUp);
    // Then on at the usual pace, not in a burst.
    EXPECT_EQ(clock.advance(Duration(41'666'667)), 1);
    EXPECT_EQ(clock.advance(Duration(41'666'667)), 1);
    EXPECT_EQ(clock.frames(), 26);
}

TEST(FrameClock, RatesOutsideTheRangeAreClamped)
{
    FrameClock clock(0); // as fast as the player goes
    EXPECT_DOUBLE_EQ(clock.rate(), FrameClock::kMaxRate);
    clock.reset(0.01);
    EXPECT_DOUBLE_EQ(clock.rate(), FrameClock::kMinRate);
    clock.reset(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(clock.rate(), FrameClock::kMaxRate);
    EXPECT_EQ(clock.advance(Duration(-5)), 0) << "time never runs back";
}

} // namespace
} // namespace swf::test
