#include "Pause.h"

namespace vexa {

Pause::Change Pause::Update(bool allowed, bool toggle, bool awayFromGame) {
    if (m_paused) {
        if (!toggle) return Change::None;
        m_paused = false;
        return Change::Resumed;
    }
    if (!allowed || !(toggle || awayFromGame)) return Change::None;
    m_paused = true;
    return Change::Paused;
}

}  // namespace vexa
