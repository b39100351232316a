#pragma once

#include <chrono>

namespace vexa {

// Keeps the frame loop from spinning where presentation is not paced by vsync
// (SDL's dummy or offscreen drivers, the software renderer; SDL reports vsync
// there anyway). It measures each frame: a frame far shorter than a display
// refresh means nothing waited, so the loop sleeps until the next refresh.
// Refreshes are absolute deadlines one period apart, so oversleeping one frame
// shortens the next sleep and the average stays the display rate; after a stall
// of more than a period the deadlines start again from now rather than racing
// to catch up. While presentation is seen to wait for the display, it never sleeps.
class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // refreshRate in Hz; 0 or less means unknown and is taken as 60.
    explicit FramePacer(int refreshRate);

    // Called once per frame, after presenting.
    void FrameEnded();

    // For a frame whose work ended at `end`: the moment to sleep until (`end`
    // itself when there is nothing to wait for). Updates the measurements.
    Clock::time_point Next(Clock::time_point end);
    // When the sleep really ended: the next frame's work starts here.
    void Woke(Clock::time_point at);

    // Test seam: what the pacer has concluded so far.
    bool VsyncConfirmed() const { return m_vsyncConfirmed; }
    Clock::duration Period() const { return m_period; }

private:
    Clock::duration m_period;
    Clock::time_point m_deadline;
    Clock::time_point m_workStart;
    bool m_started = false;
    bool m_vsyncConfirmed = false;
    int m_pacedFrames = 0;
    int m_shortFrames = 0;
};

}  // namespace vexa
