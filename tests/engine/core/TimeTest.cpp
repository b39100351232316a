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

namespace {

// Drives a pacer the way the frame loop does: each frame works for `work`,
// then sleeps until the pacer's answer and wakes `oversleep` late. Returns the
// moment the last frame woke.
Clock::time_point RunFrames(vexa::FramePacer& pacer, Clock::time_point now, int frames,
                            Clock::duration work, Clock::duration oversleep) {
    for (int i = 0; i < frames; ++i) {
        now += work;
        const auto until = pacer.Next(now);
        if (until > now) now = until + oversleep;
        pacer.Woke(now);
    }
    return now;
}

}  // namespace

TEST(FramePacer, UnpacedFramesKeepTheDisplayRateOnAverageDespiteOversleeping) {
    vexa::FramePacer pacer(50);  // 20 ms refresh
    const Clock::time_point start{};
    EXPECT_EQ(pacer.Next(start), start);
    pacer.Woke(start);

    // A 2 ms frame sleeps the other 18 ms.
    EXPECT_EQ(pacer.Next(start + 2ms), start + 20ms);
    pacer.Woke(start + 20ms + 700us);

    // Every sleep ends 0.7 ms late; 500 frames still take 500 refreshes.
    const auto end = RunFrames(pacer, start + 20ms + 700us, 499, 2ms, 700us);
    EXPECT_EQ(end - start, Clock::duration(500 * 20ms + 700us));
    EXPECT_FALSE(pacer.VsyncConfirmed());

    // One frame a little late sleeps not at all; the next sleeps less and the
    // loop is back on its deadlines.
    auto now = end + 25ms;
    EXPECT_EQ(pacer.Next(now), now);
    pacer.Woke(now);
    now += 2ms;
    EXPECT_EQ(pacer.Next(now), start + 502 * 20ms);
}

TEST(FramePacer, AStallRestartsTheDeadlinesInsteadOfRacingToCatchUp) {
    vexa::FramePacer pacer(50);
    Clock::time_point now = RunFrames(pacer, Clock::time_point{}, 10, 2ms, 0ms);

    now += 300ms;
    EXPECT_EQ(pacer.Next(now), now);
    pacer.Woke(now);
    const auto stallEnd = now;
    now += 2ms;
    EXPECT_EQ(pacer.Next(now), stallEnd + 20ms);
}

TEST(FramePacer, NeverSleepsWhileTheDisplayPacesTheLoop) {
    vexa::FramePacer pacer(50);
    // Frames that last a refresh on their own are paced by the display.
    Clock::time_point now = RunFrames(pacer, Clock::time_point{}, 40, 20ms, 0ms);
    EXPECT_TRUE(pacer.VsyncConfirmed());

    // With vsync seen working, an occasional short frame is left alone...
    now += 3ms;
    EXPECT_EQ(pacer.Next(now), now);
    pacer.Woke(now);

    // ...but a long run of short frames means the display stopped pacing, and
    // sleeping starts again a refresh after the last frame.
    now = RunFrames(pacer, now, 29, 1ms, 0ms);
    EXPECT_FALSE(pacer.VsyncConfirmed());
    now += 1ms;
    const auto until = pacer.Next(now);
    EXPECT_EQ(until, now - 1ms + 20ms);
}

TEST(FramePacer, UnknownRefreshRateMeansSixtyHertz) {
    vexa::FramePacer pacer(0);
    EXPECT_NEAR(std::chrono::duration<double>(pacer.Period()).count(), 1.0 / 60.0, 1e-9);
}
