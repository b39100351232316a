#pragma once

#include <chrono>

namespace vexa {

// The frame clock: the length of the last frame in seconds, capped at 0.25 s so
// a stall never advances the simulation by more than that.
class Time {
public:
    using Clock = std::chrono::steady_clock;
    using ReadClock = Clock::time_point (*)();

    // Tests pass their own clock reader; the game uses the steady clock.
    explicit Time(ReadClock readClock = &Clock::now);

    void Tick();
    float GetDeltaTime() const { return m_deltaTime; }

    static constexpr float kMaxDeltaTime = 0.25f;

private:
    float m_deltaTime = 0.0f;
    ReadClock m_readClock;
    Clock::time_point m_frameTime;
};

extern Time g_time;

}  // namespace vexa
