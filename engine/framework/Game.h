#pragma once

#include "framework/Pause.h"

#include <memory>

namespace vexa {

class Renderer;
class Scene;

// The interface through which the frame loop drives a game: Initialize once,
// then Update and Draw every frame. Owns the game's scene.
class Game {
public:
    Game();
    virtual ~Game();

    // The frame loop does not look at the result.
    virtual bool Initialize() = 0;
    virtual void Shutdown() = 0;
    // dt: the frame's delta time in seconds.
    virtual void Update(float dt) = 0;
    virtual void Draw(Renderer& renderer) = 0;

    // True while a run is under way that the player would lose by looking
    // away: only then does the game pause.
    virtual bool CanPause() const { return false; }

    void AddPoints(int points) { m_score += points; }

    // Public by design: actors add to the scene through their game.
    std::unique_ptr<Scene> m_scene;
    int m_score = 0;
    // Set by the frame loop; the game reads it to draw itself standing still.
    Pause m_pause;
};

}  // namespace vexa
