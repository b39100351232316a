#pragma once

#include "core/Transform.h"
#include "core/Vector2.h"
#include "framework/Game.h"

#include <memory>
#include <vector>

namespace vexa {
class Actor;
class Font;
class Text;
}  // namespace vexa

// The asteroid-field game: title screen, play, the ship's death, game over.
// Timers are in seconds; the ship reports to it through SetState and
// m_powerupActive from inside the scene's collision pass.
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

    // A background star; its velocity is applied once per drawn frame.
    struct Star {
        vexa::Vector2 position;
        vexa::Vector2 velocity;
    };

    K_AsteroidField();
    ~K_AsteroidField() override;

    // Always true: a missing asset shows as missing output, not as a failure.
    bool Initialize() override;
    void Shutdown() override;
    void Update(float dt) override;
    void Draw(vexa::Renderer& renderer) override;
    bool CanPause() const override { return m_state == Playing; }

    // Acted on in the next Update.
    void SetState(eState state) { m_state = state; }
    // For tests, tools and benchmarks that watch the game.
    eState GetState() const { return m_state; }
    const std::vector<Star>& GetStars() const { return m_stars; }

    // Public by design: the ship raises it from inside the collision pass.
    bool m_powerupActive = false;

private:
    void UpdatePlaying(float dt);
    void UpdatePlayerDead(float dt);
    void UpdateGameOver();
    void AddShip();
    void AddAsteroid();
    void AddPowerup();
    void AddTitle();
    // Asteroids and power-ups come in at the right edge at a random height.
    vexa::Transform EntryAtRightEdge() const;
    void Add(std::unique_ptr<vexa::Actor> actor, const char* tag);
    void DrawStars(vexa::Renderer& renderer);
    void DrawPauseCaption(vexa::Renderer& renderer);

    eState m_state = TitleScreen;
    float m_spawnTimer = 0.0f;
    float m_spawnTime = 4.0f;
    float m_stateTimer = 0.0f;
    float m_powerupTimer = 32.0f;
    float m_bonusTimer = 5.0f;
    float m_scoreTimer = 0.0f;
    // The music loops for the rest of the run once the first game has started it.
    bool m_musicStarted = false;

    std::vector<Star> m_stars;
    std::shared_ptr<vexa::Font> m_font;
    std::unique_ptr<vexa::Text> m_scoreText;
    std::unique_ptr<vexa::Text> m_highScoreText;
    std::unique_ptr<vexa::Text> m_titleText;
    std::unique_ptr<vexa::Text> m_promptText;
    std::unique_ptr<vexa::Text> m_gameOverText;
    std::unique_ptr<vexa::Text> m_pausedText;
    std::unique_ptr<vexa::Text> m_resumeText;
};
