#include "Time.h"

#include "GlobalOrder.h"

#include <algorithm>

namespace vexa {

VEXA_GLOBAL_ORDER(3) Time g_time;

Time::Time(ReadClock readClock) : m_readClock{readClock}, m_frameTime{readClock()} {}

void Time::Tick() {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(m_readClock() - m_frameTime);
    const float seconds = static_cast<float>(elapsed.count()) / 1000000000.0f;
    m_deltaTime = std::min(seconds, kMaxDeltaTime);
    // A second reading: the moment between the two belongs to no frame.
    m_frameTime = m_readClock();
}

}  // namespace vexa
