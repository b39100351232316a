#pragma once

#include "framework/Game.h"

// The asteroid-field game.
class K_AsteroidField : public vexa::Game {
public:
    enum eState : int {
        TitleScreen = 0,
        StartGame = 1,
        StartLevel = 2,
        Playing = 3,
        PlayerDeadStart = 4,
        PlayerDead = 5,
        GameOver = 6,
    };

    bool Initialize() override;
    void Shutdown() override;
    void Update(float dt) override;
    void Draw(vexa::Renderer& renderer) override;

    void SetState(eState state) { m_state = state; }
    eState GetState() const { return m_state; }

    bool m_powerupActive = false;

private:
    eState m_state = TitleScreen;
};
