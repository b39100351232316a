#include "Pause.h"

namespace vexa {

Pause::Change Pause::Update(bool allowed, bool toggle, bool awayFromGame) {
    if (m_paused) {
        // A press in the very frame the player went away would resume a game
        // nobody is watching.
        if (!toggle || awayFromGame) return Change::None;
        m_paused = false;
        return Change::Resumed;
    }
    if (!allowed || !(toggle || awayFromGame)) return Change::None;
    m_paused = true;
    return Change::Paused;
}

}  // namespace vexa
