#include "K_AsteroidField.h"

#include "Controls.h"
#include "Enemy.h"
#include "HighScoreStore.h"
#include "Player.h"
#include "Powerup.h"
#include "Title.h"

#include "audio/AudioSystem.h"
#include "core/Random.h"
#include "core/Time.h"
#include "framework/Scene.h"
#include "input/InputSystem.h"
#include "renderer/Font.h"
#include "renderer/ModelManager.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"
#include "renderer/Text.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

const vexa::Color kWhite(1.0f, 1.0f, 1.0f, 1.0f);
constexpr int kStarCount = 100;
constexpr int kAsteroidsPerWave = 5;
constexpr float kPowerupInterval = 32.0f;
constexpr float kBonusTime = 5.0f;
constexpr float kDeathDelay = 1.0f;
// Points per second of play.
constexpr double kScoreRate = 2.5;

}  // namespace

K_AsteroidField::K_AsteroidField() = default;
K_AsteroidField::~K_AsteroidField() = default;

bool K_AsteroidField::Initialize() {
    using vexa::g_renderer;

    vexa::g_inputSystem.Initialize();

    m_font = std::make_shared<vexa::Font>("font.ttf", 28);
    m_scoreText = std::make_unique<vexa::Text>(m_font);
    m_scoreText->Create(g_renderer, "SCORE 000000", kWhite);
    m_highScoreText = std::make_unique<vexa::Text>(m_font);
    m_titleText = std::make_unique<vexa::Text>(m_font);
    m_titleText->Create(g_renderer, "KELD ASTEROID FIELD", kWhite);
    m_promptText = std::make_unique<vexa::Text>(m_font);
    m_promptText->Create(g_renderer, "PRESS SPACE TO PLAY", kWhite);
    m_gameOverText = std::make_unique<vexa::Text>(m_font);
    m_gameOverText->Create(g_renderer, "YOU GOT CAUGHT! PRESS SPACE TO PLAY AGAIN", kWhite);
    m_pausedText = std::make_unique<vexa::Text>(m_font);
    m_pausedText->Create(g_renderer, "PAUSED", kWhite);
    m_resumeText = std::make_unique<vexa::Text>(m_font);
    m_resumeText->Create(g_renderer, "PRESS P OR START TO RESUME", kWhite);

    vexa::g_audioSystem.InitializeAfterFirstFrame();
    vexa::g_audioSystem.AddAudio("bgm", "bgm.wav");
    vexa::g_audioSystem.AddAudio("ui", "ui.wav");
    vexa::g_audioSystem.AddAudio("damage", "damage.wav");

    for (int i = 0; i < kStarCount; ++i) {
        // The draws come in this order: y, x, speed.
        const auto y =
            static_cast<int>(vexa::random(static_cast<unsigned int>(g_renderer.GetHeight())));
        const auto x =
            static_cast<int>(vexa::random(static_cast<unsigned int>(g_renderer.GetWidth())));
        const float speed = vexa::randomf(1.0f, 4.0f);
        m_stars.push_back({vexa::Vector2(x, y), vexa::Vector2(speed, 0.0f)});
    }

    m_scene = std::make_unique<vexa::Scene>();
    return true;
}

void K_AsteroidField::Shutdown() {}

void K_AsteroidField::Update(float dt) {
    const int highScore = g_highScoreStore.LoadHighScore();
    m_highScoreText->Create(vexa::g_renderer, "HIGH SCORE " + std::to_string(highScore), kWhite);

    switch (m_state) {
    case TitleScreen:
        if (Controls(vexa::g_inputSystem).Confirm()) {
            m_state = StartGame;
            vexa::g_audioSystem.PlayAudio("ui", false);
        }
        break;
    case StartGame:
        m_powerupActive = false;
        m_scoreTimer = 0.0f;
        m_powerupTimer = kPowerupInterval;
        m_bonusTimer = kBonusTime;
        if (!m_musicStarted) {
            vexa::g_audioSystem.PlayAudio("bgm", true);
            m_musicStarted = true;
        }
        m_score = 0;
        m_state = StartLevel;
        break;
    case StartLevel:
        m_scene->RemoveAll();
        m_score = 0;
        AddShip();
        m_state = Playing;
        break;
    case Playing:
        UpdatePlaying(dt);
        break;
    case PlayerDeadStart:
        m_stateTimer = kDeathDelay;
        m_state = PlayerDead;
        break;
    case PlayerDead:
        UpdatePlayerDead(dt);
        break;
    case GameOver:
        UpdateGameOver();
        break;
    }

    m_scoreText->Create(vexa::g_renderer, std::to_string(m_score), kWhite);
    m_scene->Update(dt);
}

void K_AsteroidField::UpdatePlaying(float dt) {
    m_spawnTimer += dt;
    m_powerupTimer -= dt;

    // The excess over a whole point is dropped, not carried.
    m_scoreTimer = static_cast<float>(m_scoreTimer + dt * kScoreRate);
    if (m_scoreTimer >= 1.0f) {
        AddPoints(1);
        m_scoreTimer = 0.0f;
    }

    if (m_spawnTimer >= m_spawnTime) {
        m_spawnTimer = 0.0f;
        for (int i = 0; i < kAsteroidsPerWave; ++i) AddAsteroid();
    }

    if (m_powerupTimer <= 0.0f) {
        AddPowerup();
        m_powerupTimer = kPowerupInterval;
    }

    // A collected power-up pays a point a frame until its bonus time is used up;
    // then the next one pays the full time again.
    if (m_powerupActive && m_bonusTimer > 0.0f) {
        AddPoints(1);
        m_bonusTimer -= dt;
        if (m_bonusTimer <= 0.0f) {
            m_powerupActive = false;
            m_bonusTimer = kBonusTime;
        }
    }

    // In addition to the frame loop's own update: particles run at double speed in play.
    vexa::g_particleSystem.Update(vexa::g_time.GetDeltaTime());
}

void K_AsteroidField::UpdatePlayerDead(float dt) {
    vexa::g_audioSystem.PlayAudio("damage", false);
    if (m_stateTimer > 0.0f) {
        m_stateTimer -= dt;
        return;
    }

    m_scene->RemoveAll();
    if (m_score > g_highScoreStore.LoadHighScore()) g_highScoreStore.SaveHighScore(m_score);
    m_score = 0;
    m_state = GameOver;
}

void K_AsteroidField::UpdateGameOver() {
    // The emblem is rebuilt every frame at its starting place.
    m_scene->RemoveAll();
    AddTitle();
    if (Controls(vexa::g_inputSystem).Confirm()) {
        m_scene->RemoveAll();
        m_state = TitleScreen;
    }
}

void K_AsteroidField::AddShip() {
    const vexa::Transform transform(vexa::Vector2(100, 300), vexa::kHalfPi, 6.0f);
    Add(std::make_unique<Player>(200.0f, 0.0f, transform, vexa::g_modelManager.Get("falcon.txt")),
        "Player");
}

void K_AsteroidField::AddAsteroid() {
    Add(std::make_unique<Enemy>(800.0f, 0.0f, EntryAtRightEdge(),
                                vexa::g_modelManager.Get("asteroid.txt")),
        "Enemy");
}

void K_AsteroidField::AddPowerup() {
    Add(std::make_unique<Powerup>(0.0f, EntryAtRightEdge(),
                                  vexa::g_modelManager.Get("powerup.txt")),
        "Powerup");
}

void K_AsteroidField::AddTitle() {
    const vexa::Transform transform(vexa::Vector2(400, 250), vexa::kHalfPi, 6.0f);
    Add(std::make_unique<Title>(transform, vexa::g_modelManager.Get("empire.txt")), "Title");
}

vexa::Transform K_AsteroidField::EntryAtRightEdge() const {
    const float y = vexa::randomf() * static_cast<float>(vexa::g_renderer.GetHeight());
    return vexa::Transform(vexa::Vector2(800.0f, y), vexa::kHalfPi, 5.0f);
}

void K_AsteroidField::Add(std::unique_ptr<vexa::Actor> actor, const char* tag) {
    actor->m_tag = tag;
    actor->m_game = this;
    m_scene->Add(std::move(actor));
}

void K_AsteroidField::Draw(vexa::Renderer& renderer) {
    if (m_state == TitleScreen) {
        m_titleText->Draw(renderer, 225, 250);
        m_promptText->Draw(renderer, 225, 275);
    }
    if (m_state == GameOver) m_gameOverText->Draw(renderer, 50, 350);
    m_scoreText->Draw(renderer, 10, 10);
    m_highScoreText->Draw(renderer, renderer.GetWidth() - 275, 10);

    m_scene->Draw(renderer);
    DrawStars(renderer);
    vexa::g_particleSystem.Draw(renderer);
    if (m_pause.IsPaused()) DrawPauseCaption(renderer);
}

void K_AsteroidField::DrawStars(vexa::Renderer& renderer) {
    const auto width = static_cast<float>(renderer.GetWidth());
    const auto height = static_cast<float>(renderer.GetHeight());
    // Stars have no colour of their own: they take whatever the last model set.
    const bool moving = !m_pause.IsPaused();
    for (Star& star : m_stars) {
        if (moving) {
            star.position += star.velocity;
            if (star.position.x >= width) star.position.x = 0.0f;
            if (star.position.y >= height) star.position.y = 0.0f;
        }
        renderer.DrawPoint(star.position.x, star.position.y);
    }
}

void K_AsteroidField::DrawPauseCaption(vexa::Renderer& renderer) {
    // On a black panel, so no line of the frozen picture runs through the words.
    constexpr int kMargin = 16;
    constexpr int kGap = 8;
    const int width = std::max(m_pausedText->GetWidth(), m_resumeText->GetWidth());
    const int height = m_pausedText->GetHeight() + kGap + m_resumeText->GetHeight();
    const int left = (renderer.GetWidth() - width) / 2;
    const int top = (renderer.GetHeight() - height) / 2;
    renderer.SetColor(0, 0, 0, 255);
    renderer.FillRect(static_cast<float>(left - kMargin), static_cast<float>(top - kMargin),
                      static_cast<float>(width + 2 * kMargin),
                      static_cast<float>(height + 2 * kMargin));
    m_pausedText->Draw(renderer, (renderer.GetWidth() - m_pausedText->GetWidth()) / 2, top);
    m_resumeText->Draw(renderer, (renderer.GetWidth() - m_resumeText->GetWidth()) / 2,
                       top + m_pausedText->GetHeight() + kGap);
}
