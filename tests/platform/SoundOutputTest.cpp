// The sound-level control sets the output volume; the real output plays whatever the
// machine has, a device or none, without ever holding the caller.
#include "platform/QtSoundOutput.h"
#include "platform/Tonwell.h"
#include "platform/fakes/FakeAudioOutput.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <atomic>

namespace platform {
namespace {

TEST(Tonwell, StartsAtItsStoredLevelAndSetsTheOutputVolume)
{
    FakeAudioOutput output;
    Tonwell tonwell(output);
    tonwell.resize(42, 25);
    EXPECT_EQ(tonwell.level(), 900);
    EXPECT_DOUBLE_EQ(output.volume(), 0.9);

    // A click at the wedge's right end is full, at its left end silence.
    QTest::mouseClick(&tonwell, Qt::LeftButton, {}, QPoint(41, 12));
    EXPECT_EQ(tonwell.level(), 1000);
    EXPECT_DOUBLE_EQ(output.volume(), 1.0);
    QTest::mouseClick(&tonwell, Qt::LeftButton, {}, QPoint(0, 12));
    EXPECT_EQ(tonwell.level(), 0);
    EXPECT_DOUBLE_EQ(output.volume(), 0.0);

    // Two notches of the wheel up.
    QWheelEvent wheel(QPointF(20, 12), QPointF(20, 12), QPoint(), QPoint(0, 240), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&tonwell, &wheel);
    EXPECT_EQ(tonwell.level(), 100);
    EXPECT_DOUBLE_EQ(output.volume(), 0.1);
}

// A source that counts what it was asked for.
class CountingSource final : public swf::SoundSource {
public:
    void render(std::span<int16_t> out) override
    {
        std::fill(out.begin(), out.end(), int16_t(1000));
        frames += out.size() / 2;
    }
    std::atomic<uint64_t> frames { 0 };
};

bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QTest::qWait(10);
    return done();
}

TEST(QtSoundOutput, PlaysASourceWithOrWithoutADeviceAndLetsItGo)
{
    QtSoundOutput output;
    EXPECT_TRUE(output.pulls());
    auto source = std::make_shared<CountingSource>();
    QElapsedTimer call;
    call.start();
    output.start(source);
    EXPECT_LT(call.elapsed(), 100); // the device is opened on the sound thread
    // Taken at the pace of real time, by the device or, without one, by its stand-in.
    ASSERT_TRUE(waitFor([&] { return source->frames > 44100 / 5; }, 5000));
    EXPECT_LT(output.latencyFrames(), 44100 / 2);
    // What the machine had, for the record (--gtest_output=xml).
    RecordProperty("device", output.hasDevice() ? "yes" : "no");
    RecordProperty("latency_frames", std::to_string(output.latencyFrames()));

    call.restart();
    output.stop(*source);
    EXPECT_LT(call.elapsed(), 100);
    QTest::qWait(200);
    const uint64_t after = source->frames;
    QTest::qWait(300);
    EXPECT_EQ(source->frames, after);

    // Stopping another source leaves the one playing alone.
    auto second = std::make_shared<CountingSource>();
    output.start(second);
    output.stop(*source);
    ASSERT_TRUE(waitFor([&] { return second->frames > 4410; }, 5000));
}

} // namespace
} // namespace platform
