#include "core/FramePacer.h"
#include "core/Time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Clock readings fed to the frame clock, in order.
std::deque<Clock::time_point> g_readings;

Clock::time_point nextReading() {
    const auto reading = g_readings.front();
    g_readings.pop_front();
    return reading;
}

}  // namespace

TEST(Time, DeltaIsTheFrameLengthCappedAtAQuarterSecond) {
    const Clock::time_point start{};
    g_readings = {start};
    vexa::Time time(&nextReading);
    EXPECT_EQ(time.GetDeltaTime(), 0.0f);

    // A 10 ms frame, then the second reading of the tick 1 ms later.
    g_readings = {start + 10ms, start + 11ms};
    time.Tick();
    EXPECT_FLOAT_EQ(time.GetDeltaTime(), 0.010f);
    EXPECT_FLOAT_EQ(time.GetDeltaTime(), 0.010f);

    // A 0.4 s stall counts as 0.25 s; the next frame is measured from the
    // tick's second reading, not its first.
    g_readings = {start + 411ms, start + 412ms, start + 432ms, start + 433ms};
    time.Tick();
    EXPECT_FLOAT_EQ(time.GetDeltaTime(), 0.25f);
    time.Tick();
    EXPECT_FLOAT_EQ(time.GetDeltaTime(), 0.020f);
    EXPECT_TRUE(g_readings.empty());
}

TEST(FramePacer, SleepsOutUnpacedFramesButNeverVsyncedOnes) {
    vexa::FramePacer pacer(50);  // 20 ms refresh
    Clock::time_point now{};
    EXPECT_EQ(pacer.Measure(now), Clock::duration::zero());

    // A 2 ms frame: nothing waited for the display, so sleep the other 18 ms.
    now += 2ms;
    EXPECT_EQ(pacer.Measure(now), Clock::duration(18ms));

    // Frames that last a refresh on their own are paced by the display.
    for (int i = 0; i < 40; ++i) {
        now += 20ms;
        EXPECT_EQ(pacer.Measure(now), Clock::duration::zero());
    }
    EXPECT_TRUE(pacer.VsyncConfirmed());

    // With vsync seen working, an occasional short frame is left alone...
    now += 3ms;
    EXPECT_EQ(pacer.Measure(now), Clock::duration::zero());

    // ...but a long run of short frames means the display stopped pacing.
    for (int i = 0; i < 40; ++i) {
        now += 1ms;
        pacer.Measure(now);
    }
    EXPECT_FALSE(pacer.VsyncConfirmed());
    now += 1ms;
    EXPECT_EQ(pacer.Measure(now), Clock::duration(19ms));
}

TEST(FramePacer, UnknownRefreshRateMeansSixtyHertz) {
    vexa::FramePacer pacer(0);
    EXPECT_NEAR(std::chrono::duration<double>(pacer.Period()).count(), 1.0 / 60.0, 1e-9);
}
