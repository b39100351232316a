#include "Time.h"

#include "GlobalOrder.h"

#include <algorithm>
#include <utility>

namespace vexa {

VEXA_GLOBAL_ORDER(3) Time g_time;

namespace {

// A frame within a millisecond of a whole number of steps counts as exactly
// that many: a 60 Hz display's frames jitter by a fraction of a millisecond,
// and without this a short frame would run no step and the next one two.
// What the snap takes or adds is carried to the next snapped frame, so a
// display a little off 60 Hz (57 Hz, 63 Hz) still runs 60 steps a second: now
// and then a frame runs one step more or one fewer, and the picture never
// falls between two steps. Frames too far from whole steps to be snapped go
// into the lag as measured and leave the carry alone.
constexpr std::int64_t kSnapUnits = std::int64_t{1000000} * Time::kStepsPerSecond;

}  // namespace

Time::Time(ReadClock readClock) : m_readClock{std::move(readClock)}, m_frameStart{m_readClock()} {}

Time::Units Time::Snapped(Units elapsed) {
    const Units nearest = std::max<Units>(1, (elapsed + kStepUnits / 2) / kStepUnits);
    const Units whole = nearest * kStepUnits;
    if (elapsed <= whole - kSnapUnits || elapsed >= whole + kSnapUnits) return elapsed;
    Units carry = m_snapCarry + (elapsed - whole);
    Units counted = whole;
    if (carry >= kStepUnits / 2) {
        counted += kStepUnits;
        carry -= kStepUnits;
    } else if (carry < -kStepUnits / 2) {
        counted -= kStepUnits;
        carry += kStepUnits;
    }
    m_snapCarry = carry;
    return counted;
}

void Time::Tick() {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(m_readClock() - m_frameStart);
    const float seconds = static_cast<float>(elapsed.count()) / 1000000000.0f;
    m_frameTime = std::min(seconds, kMaxDeltaTime);
    // A second reading: the moment between the two belongs to no frame.
    m_frameStart = m_readClock();
    m_deltaTime = kStep;

    const auto maxUnits =
        static_cast<Units>(kMaxDeltaTime * static_cast<float>(kStepsPerSecond)) * kStepUnits;
    Units gathered = std::min<Units>(elapsed.count() * kStepsPerSecond, maxUnits);
    // The first frame measures the start-up, which is no play: it runs one step.
    if (!m_ticked) gathered = kStepUnits;
    m_ticked = true;

    m_lagBefore = m_lag;
    m_snapCarryBefore = m_snapCarry;
    m_interpolationBefore = m_interpolation;
    // Steps run as soon as any of their time has gathered, so a frame always
    // shows a step at or after its own moment, drawn partway back towards the
    // step before.
    Units counted = Snapped(std::max<Units>(gathered, 0));
    // A slower game takes its share of the frame after the snap, so the
    // frames of a steady display stay alike and its steps fall evenly among
    // them (at half speed, every other frame).
    if (m_speedPercent != kFullSpeedPercent) counted = counted * m_speedPercent / kFullSpeedPercent;
    Units lag = m_lag + counted;
    m_stepsDue = 0;
    while (lag > 0) {
        lag -= kStepUnits;
        ++m_stepsDue;
    }
    m_lag = lag;
    m_interpolation = 1.0f + static_cast<float>(lag) / static_cast<float>(kStepUnits);
}

void Time::SetSpeedPercent(int percent) {
    percent = std::clamp(percent, kMinSpeedPercent, kFullSpeedPercent);
    if (percent == m_speedPercent) return;
    m_speedPercent = percent;
    // Steps run ahead of the clock by part of one; forgiving it lets the next
    // frame's steps fall on whole frames again.
    m_lag = 0;
    m_lagBefore = 0;
    m_interpolation = 1.0f;
    m_interpolationBefore = 1.0f;
}

void Time::Hold() {
    m_lag = m_lagBefore;
    m_snapCarry = m_snapCarryBefore;
    m_interpolation = m_interpolationBefore;
    m_stepsDue = 0;
}

void ManualClock::Advance(double seconds) {
    Advance(
        std::chrono::duration_cast<Time::Clock::duration>(std::chrono::duration<double>(seconds)));
}

}  // namespace vexa
