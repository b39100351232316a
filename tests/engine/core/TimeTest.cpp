#include "core/FramePacer.h"
#include "core/Time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <numeric>
#include <vector>

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

TEST(Time, FramesAreMeasuredAndCappedButRulesSeeTheStep) {
    const Clock::time_point start{};
    g_readings = {start};
    vexa::Time time(&nextReading);
    EXPECT_EQ(time.GetDeltaTime(), 0.0f);

    // The first frame measures the start-up: one step, whatever it took.
    g_readings = {start + 900ms, start + 901ms};
    time.Tick();
    EXPECT_FLOAT_EQ(time.GetFrameTime(), 0.25f);
    EXPECT_EQ(time.GetStepsDue(), 1);
    EXPECT_EQ(time.GetDeltaTime(), vexa::Time::kStep);

    // A 0.4 s stall counts as 0.25 s: 15 steps, never more. The next frame is
    // measured from the tick's second reading, not its first.
    g_readings = {start + 1301ms, start + 1302ms, start + 1322ms, start + 1323ms};
    time.Tick();
    EXPECT_FLOAT_EQ(time.GetFrameTime(), 0.25f);
    EXPECT_EQ(time.GetStepsDue(), 15);
    EXPECT_EQ(time.GetInterpolation(), 1.0f);
    time.Tick();
    EXPECT_FLOAT_EQ(time.GetFrameTime(), 0.020f);
    EXPECT_EQ(time.GetDeltaTime(), vexa::Time::kStep);
    EXPECT_TRUE(g_readings.empty());
}

namespace {

// Ticks `time` through frames of the given lengths (one reading per tick,
// as a fed clock gives) and returns the steps each frame ran.
vexa::ManualClock g_fed;

std::vector<int> stepsOf(vexa::Time& time, const std::vector<Clock::duration>& frames) {
    std::vector<int> steps;
    for (const auto frame : frames) {
        g_fed.Advance(frame);
        time.Tick();
        steps.push_back(time.GetStepsDue());
    }
    return steps;
}

}  // namespace

TEST(Time, ASixtyHertzDisplayRunsOneStepAFrameDespiteJitter) {
    vexa::Time time(g_fed.Reader());
    time.Tick();
    // Frames that come early and late by nearly a millisecond, 60 a second.
    std::vector<Clock::duration> frames;
    for (int i = 0; i < 600; ++i) frames.push_back(i % 2 ? 15800000ns : 17533333ns);
    for (const int steps : stepsOf(time, frames)) ASSERT_EQ(steps, 1);
    EXPECT_EQ(time.GetInterpolation(), 1.0f);

    // A dropped frame is two steps, and the display is back in step at once.
    EXPECT_EQ(stepsOf(time, {33400us, 16600us}), (std::vector<int>{2, 1}));
    EXPECT_EQ(time.GetInterpolation(), 1.0f);
}

TEST(Time, OtherRatesSpendTheSameStepsInASecond) {
    for (const int hertz : {30, 50, 75, 120, 144, 240}) {
        vexa::Time time(g_fed.Reader());
        time.Tick();
        const auto period =
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hertz));
        const std::vector<int> steps =
            stepsOf(time, std::vector<Clock::duration>(static_cast<std::size_t>(hertz), period));
        int total = 0;
        for (const int n : steps) {
            total += n;
            // Faster than the rules: never two steps in one frame.
            if (hertz > 60) {
                EXPECT_LE(n, 1) << hertz << " Hz";
            }
        }
        EXPECT_NEAR(total, 60, 1) << hertz << " Hz";
        const float lastAlong = time.GetInterpolation();
        EXPECT_GT(lastAlong, 0.0f);
        EXPECT_LE(lastAlong, 1.0f);
    }
}

TEST(Time, ADisplayJustOffSixtyHertzStillRunsSixtyStepsASecond) {
    for (const int hertz : {57, 63}) {
        vexa::Time time(g_fed.Reader());
        time.Tick();
        const auto period =
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hertz));
        const std::vector<int> steps = stepsOf(
            time, std::vector<Clock::duration>(static_cast<std::size_t>(hertz * 30), period));
        EXPECT_NEAR(std::accumulate(steps.begin(), steps.end(), 0), 60 * 30, 1) << hertz << " Hz";
        // Frames still show whole steps: three a second run one more or one fewer.
        const auto ones = static_cast<int>(std::count(steps.begin(), steps.end(), 1));
        EXPECT_NEAR(ones, (hertz - 3) * 30, 1) << hertz << " Hz";
        EXPECT_EQ(time.GetInterpolation(), 1.0f) << hertz << " Hz";
    }
}

TEST(Time, AHeldFrameGathersNoTimeAndKeepsThePicture) {
    vexa::Time time(g_fed.Reader());
    time.Tick();
    stepsOf(time, {7ms});
    const float along = time.GetInterpolation();
    ASSERT_LT(along, 1.0f);
    stepsOf(time, {7ms});
    time.Hold();
    EXPECT_EQ(time.GetStepsDue(), 0);
    EXPECT_EQ(time.GetInterpolation(), along);
    // Resumed, the frame after the hold goes on from where the picture stood.
    EXPECT_EQ(stepsOf(time, {7ms}), (std::vector<int>{0}));
}

TEST(Time, AnAssistedSpeedRunsItsShareOfTheStepsEvenly) {
    // Ten seconds of a 60 Hz display whose frames jitter.
    std::vector<Clock::duration> frames;
    for (int i = 0; i < 600; ++i) frames.push_back(i % 2 ? 15800000ns : 17533333ns);
    vexa::Time time(g_fed.Reader());
    time.SetSpeedPercent(50);
    time.Tick();
    const std::vector<int> half = stepsOf(time, frames);
    EXPECT_NEAR(std::accumulate(half.begin(), half.end(), 0), 300, 1);
    // Every other frame: never two steps at once, never two frames without one.
    for (std::size_t i = 1; i < half.size(); ++i) ASSERT_EQ(half[i] + half[i - 1], 1) << i;

    // Back at full speed (the share is bounded) as a clock that never left it.
    time.SetSpeedPercent(250);
    for (const int steps : stepsOf(time, frames)) ASSERT_EQ(steps, 1);
    EXPECT_EQ(time.GetInterpolation(), 1.0f);
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
