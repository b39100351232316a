#include "FramePacer.h"

#include <algorithm>
#include <thread>

namespace vexa {
namespace {

// Frames in a row that decide whether the display paces the loop.
constexpr int kFramesToDecide = 30;

}  // namespace

FramePacer::FramePacer(int refreshRate)
    : m_period{std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(1.0 / (refreshRate > 0 ? refreshRate : 60)))} {}

void FramePacer::FrameEnded() {
    const auto sleep = Measure(Clock::now());
    if (sleep <= Clock::duration::zero()) return;
    std::this_thread::sleep_for(sleep);
    m_lastFrameEnd = Clock::now();
}

FramePacer::Clock::duration FramePacer::Measure(Clock::time_point now) {
    if (!m_started) {
        m_started = true;
        m_lastFrameEnd = now;
        return Clock::duration::zero();
    }
    const auto elapsed = now - m_lastFrameEnd;
    m_lastFrameEnd = now;

    // A run of frames of at least half a refresh without sleeping means the
    // display paces the loop; a run of short ones means it does not.
    if (elapsed >= m_period / 2) {
        m_shortFrames = 0;
        m_pacedFrames = std::min(m_pacedFrames + 1, kFramesToDecide);
        if (m_pacedFrames == kFramesToDecide) m_vsyncConfirmed = true;
    } else {
        m_pacedFrames = 0;
        m_shortFrames = std::min(m_shortFrames + 1, kFramesToDecide);
        if (m_shortFrames == kFramesToDecide) m_vsyncConfirmed = false;
    }
    if (m_vsyncConfirmed || elapsed >= m_period) return Clock::duration::zero();
    return m_period - elapsed;
}

}  // namespace vexa
