#include "Pause.h"

#include "audio/AudioSystem.h"
#include "platform/Platform.h"

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

Pause::Change Pause::Follow(bool allowed, bool toggle, bool awayFromGame) {
    const Change change = Update(allowed, toggle, awayFromGame);
    if (change == Change::None) return change;
    const bool paused = change == Change::Paused;
    g_audioSystem.SetPaused(paused);
    platform::PauseChanged(paused);
    return change;
}

}  // namespace vexa
