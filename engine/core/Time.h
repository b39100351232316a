#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace vexa {

// The frame clock. The rules advance in fixed steps of exactly 1/60 s of play,
// whatever the display's rate: each tick measures the frame just ended (capped
// at 0.25 s, so a stall never advances play by more than that) and gathers it
// into whole steps; what a rule reads as the delta time is the step's length.
// A frame drawn between two steps knows where it falls, so motion can be drawn
// smoothly on displays faster than 60 Hz.
class Time {
public:
    using Clock = std::chrono::steady_clock;
    using ReadClock = std::function<Clock::time_point()>;

    static constexpr float kMaxDeltaTime = 0.25f;
    static constexpr int kStepsPerSecond = 60;
    static constexpr float kStep = 1.0f / static_cast<float>(kStepsPerSecond);

    // The game reads the steady clock; a run that must not depend on the real
    // time (verifying a replay, tests, tools) reads a ManualClock.
    explicit Time(ReadClock readClock = &Clock::now);

    void Tick();
    // The length of a step, in seconds: 0 before the first tick.
    float GetDeltaTime() const { return m_deltaTime; }
    // The real length of the last frame in seconds, at most kMaxDeltaTime.
    float GetFrameTime() const { return m_frameTime; }
    // Whole steps the last frame's time pays for: exactly one on a 60 Hz
    // display, none or one above it, several below it.
    int GetStepsDue() const { return m_stepsDue; }
    // Where the frame falls between the last two steps: 1 on the last step
    // (always so at 60 Hz), less when the frame comes before the step is due.
    float GetInterpolation() const { return m_interpolation; }
    // For a frame that runs no step (the game is paused): its time is not
    // gathered, and the picture stays where it was drawn last.
    void Hold();

    // Game speed as an assist: the rules run at this share of real time, in
    // percent. A step stays kStep of play; fewer of them run each real second.
    static constexpr int kMinSpeedPercent = 50;
    static constexpr int kFullSpeedPercent = 100;
    // Bounded to kMinSpeedPercent..kFullSpeedPercent. A change starts the
    // steps afresh from the next frame, so a return to full speed runs
    // exactly as a clock that never left it.
    void SetSpeedPercent(int percent);
    int GetSpeedPercent() const { return m_speedPercent; }

private:
    // Time is gathered in sixtieths of a nanosecond, so a step is exactly one
    // billion of them and nothing is lost to rounding over a long run.
    using Units = std::int64_t;
    static constexpr Units kStepUnits = 1000000000;

    Units Snapped(Units elapsed);

    float m_deltaTime = 0.0f;
    float m_frameTime = 0.0f;
    int m_stepsDue = 0;
    float m_interpolation = 1.0f;
    // Time gathered beyond the last step due: at most 0, above -kStepUnits.
    Units m_lag = 0;
    Units m_lagBefore = 0;
    // What snapping has taken from or added to the snapped frames so far,
    // within half a step either way; paid back as a whole step once it reaches
    // half of one.
    Units m_snapCarry = 0;
    Units m_snapCarryBefore = 0;
    float m_interpolationBefore = 1.0f;
    int m_speedPercent = kFullSpeedPercent;
    bool m_ticked = false;
    ReadClock m_readClock;
    Clock::time_point m_frameStart;
};

// A clock that moves only when it is told to, so that every frame lasts
// exactly what the caller says however fast the machine runs them.
class ManualClock {
public:
    Time::Clock::time_point Now() const { return m_now; }
    void Advance(Time::Clock::duration by) { m_now += by; }
    // By `seconds`, cut to the clock's tick.
    void Advance(double seconds);
    // For Time; the clock must outlive what reads it.
    Time::ReadClock Reader() const {
        return [this] { return m_now; };
    }

private:
    Time::Clock::time_point m_now{};
};

extern Time g_time;

}  // namespace vexa
