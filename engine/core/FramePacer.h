#pragma once

#include <chrono>

namespace vexa {

// Keeps the frame loop from spinning where presentation is not paced by vsync
// (SDL's dummy or offscreen drivers, the software renderer; SDL reports vsync
// there anyway). It measures each frame: a frame far shorter than a display
// refresh means nothing waited, so the rest of the refresh is slept out. While
// presentation is seen to wait for the display, it never sleeps.
class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // refreshRate in Hz; 0 or less means unknown and is taken as 60.
    explicit FramePacer(int refreshRate);

    // Called once per frame, after presenting.
    void FrameEnded();

    // How long to sleep after a frame that ended at `now`; updates the
    // measurements. Separate from FrameEnded so it can be tested without sleeping.
    Clock::duration Measure(Clock::time_point now);

    bool VsyncConfirmed() const { return m_vsyncConfirmed; }
    Clock::duration Period() const { return m_period; }

private:
    Clock::duration m_period;
    Clock::time_point m_lastFrameEnd;
    bool m_started = false;
    bool m_vsyncConfirmed = false;
    int m_pacedFrames = 0;
    int m_shortFrames = 0;
};

}  // namespace vexa
