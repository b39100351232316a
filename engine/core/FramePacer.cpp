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
    const auto end = Clock::now();
    const auto until = Next(end);
    if (until > end) std::this_thread::sleep_until(until);
    Woke(until > end ? Clock::now() : end);
}

FramePacer::Clock::time_point FramePacer::Next(Clock::time_point end) {
    if (!m_started) {
        m_started = true;
        m_deadline = end;
        m_workStart = end;
        return end;
    }
    const auto work = end - m_workStart;

    // A run of frames of at least half a refresh without sleeping means the
    // display paces the loop; a run of short ones means it does not.
    if (work >= m_period / 2) {
        m_shortFrames = 0;
        m_pacedFrames = std::min(m_pacedFrames + 1, kFramesToDecide);
        if (m_pacedFrames == kFramesToDecide) m_vsyncConfirmed = true;
    } else {
        m_pacedFrames = 0;
        m_shortFrames = std::min(m_shortFrames + 1, kFramesToDecide);
        if (m_shortFrames == kFramesToDecide) m_vsyncConfirmed = false;
    }

    m_deadline += m_period;
    // Paced by the display, or stalled past a whole refresh: start the
    // deadlines again from here.
    if (m_vsyncConfirmed || end - m_deadline > m_period) {
        m_deadline = end;
        return end;
    }
    // A little late: no sleep, and the next deadline stays where it was so
    // the next frame makes up for it.
    return std::max(end, m_deadline);
}

void FramePacer::Woke(Clock::time_point at) {
    m_workStart = at;
}

}  // namespace vexa
