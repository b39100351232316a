#pragma once

#include "Palette.h"

#include "core/Replay.h"
#include "core/Transform.h"
#include "core/Vector2.h"
#include "framework/Game.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
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

    // The version of the rules a replay was recorded under: raise it with any
    // change that makes the same inputs play out differently.
    static constexpr std::uint32_t kRulesVersion = 1;

    // How a replay is being played: watched in the window, or verified.
    enum class Replaying { No, Watch, Verify };

    // The end of the last run: its score and the digest of its final state.
    struct RunResult {
        bool ended = false;
        int score = 0;
        std::uint64_t digest = 0;
        // The slowest the run was played at, in percent: below full speed it
        // was an assisted run, and its best is kept apart from the record.
        int speedPercent = vexa::Replay::kFullSpeedPercent;
    };

    // A background star; its velocity is applied once per step.
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

    // The input the rules read in this step (Controls' step bits): whatever
    // the frame loop fed it, the player's or a replay's; none when nothing was.
    std::uint8_t GetStepInput() const { return m_stepInput; }
    // The next step reads `bits`.
    void FeedStepInput(std::uint8_t bits) { m_fedInput = bits; }
    // Starts the run `replay` recorded, from its first step; the caller feeds
    // its steps. False, with `reason`, when its starting state makes no sense.
    bool BeginReplay(const vexa::Replay& replay, Replaying how, std::string& reason);
    // Leaves a replay for the title screen, wherever it had got to.
    void EndReplay();
    Replaying GetReplaying() const { return m_replaying; }
    const RunResult& GetLastRun() const { return m_lastRun; }
    // A fingerprint of everything the rules decide: the score, the state and
    // its timers, the generator, every actor, the stars and the particles.
    std::uint64_t StateDigest();
    // What a run starts from besides the seed: the wave timer carried over
    // from the last run and the stars, as bytes a replay keeps.
    std::string RunStart() const;

    // Asked, as a run sets a new record, for the replay to keep beside it: the
    // bytes of the run just ended, or none.
    using ReplayOfRun = std::function<std::string(const RunResult& run)>;
    void SetReplayOfRun(ReplayOfRun replayOfRun) { m_replayOfRun = std::move(replayOfRun); }
    // The font of the game's texts, for words drawn over the game.
    const std::shared_ptr<vexa::Font>& GetFont() const { return m_font; }

    // How the game is drawn, as the player chose: the palette's colours and
    // line width, the size of the score's and the record's words (percent),
    // and reduced motion (still stars, rings for explosions). Only the
    // picture changes; what the rules decide is the same under every look.
    void SetLook(PaletteName palette, int textSizePercent, bool reducedMotion);
    const Palette& GetPaletteInUse() const { return GetPalette(m_palette); }
    int GetTextSize() const { return m_textSize; }
    bool GetReducedMotion() const { return m_reducedMotion; }
    // Draws `actor`'s model in its part of the palette in use; outside the
    // game, in the model's own colour.
    static void DrawInPalette(vexa::Actor& actor, vexa::Renderer& renderer,
                              vexa::Color Palette::*part);

    // Public by design: the ship raises it from inside the collision pass.
    bool m_powerupActive = false;

private:
    void UpdatePlaying(float dt);
    void UpdatePlayerDead(float dt);
    // Stores the run just ended where it beats the best of its kind.
    void KeepBest();
    // The best shown at the top: the record, or on the title while the game
    // is slowed, the assisted best.
    std::string BestWords();
    void UpdateGameOver();
    void MoveStars();
    bool RestoreRunStart(const std::string& bytes);
    void AddShip();
    void AddAsteroid();
    void AddPowerup();
    void AddTitle();
    // Asteroids and power-ups come in at the right edge at a random height.
    vexa::Transform EntryAtRightEdge() const;
    void Add(std::unique_ptr<vexa::Actor> actor, const char* tag);
    void DrawStars(vexa::Renderer& renderer);
    // The words drawn in the palette's colours, again as the palette changes.
    void CreateFixedTexts();

    eState m_state = TitleScreen;
    float m_spawnTimer = 0.0f;
    float m_spawnTime = 4.0f;
    float m_stateTimer = 0.0f;
    float m_powerupTimer = 32.0f;
    float m_bonusTimer = 5.0f;
    float m_scoreTimer = 0.0f;
    // The music loops for the rest of the run once the first game has started it.
    bool m_musicStarted = false;

    std::uint8_t m_stepInput = 0;
    std::uint8_t m_fedInput = 0;
    Replaying m_replaying = Replaying::No;
    RunResult m_lastRun;
    int m_runSpeedPercent = vexa::Replay::kFullSpeedPercent;
    ReplayOfRun m_replayOfRun;

    std::vector<Star> m_stars;
    PaletteName m_palette = PaletteName::Standard;
    int m_textSize = 100;
    bool m_reducedMotion = false;
    // Where the stars are drawn with reduced motion: where they stood as it
    // began. Empty until the first such frame.
    std::vector<vexa::Vector2> m_stillStars;
    std::shared_ptr<vexa::Font> m_font;
    std::unique_ptr<vexa::Text> m_scoreText;
    std::unique_ptr<vexa::Text> m_highScoreText;
    std::unique_ptr<vexa::Text> m_titleText;
    std::unique_ptr<vexa::Text> m_promptText;
    std::unique_ptr<vexa::Text> m_gameOverText;
};
