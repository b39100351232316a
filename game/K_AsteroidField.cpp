#include "K_AsteroidField.h"

#include "Controls.h"
#include "Enemy.h"
#include "HighScoreStore.h"
#include "Player.h"
#include "Powerup.h"
#include "Title.h"

#include "audio/AudioSystem.h"
#include "core/Digest.h"
#include "core/LittleEndian.h"
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
#include <cmath>
#include <string>
#include <utility>

namespace {

constexpr int kStarCount = 100;
constexpr int kAsteroidsPerWave = 5;
constexpr float kPowerupInterval = 32.0f;
constexpr float kBonusTime = 5.0f;
constexpr float kDeathDelay = 1.0f;
// Points per second of play.
constexpr double kScoreRate = 2.5;

bool within(float value, float low, float high) {
    return std::isfinite(value) && value >= low && value <= high;
}

}  // namespace

K_AsteroidField::K_AsteroidField() = default;
K_AsteroidField::~K_AsteroidField() = default;

bool K_AsteroidField::Initialize() {
    using vexa::g_renderer;

    vexa::g_inputSystem.Initialize();

    m_font = std::make_shared<vexa::Font>("font.ttf", 28);
    m_scoreText = std::make_unique<vexa::Text>(m_font);
    m_scoreText->Create(g_renderer, "SCORE 000000", GetPaletteInUse().scoreText, m_textSize);
    m_highScoreText = std::make_unique<vexa::Text>(m_font);
    m_titleText = std::make_unique<vexa::Text>(m_font);
    m_promptText = std::make_unique<vexa::Text>(m_font);
    m_gameOverText = std::make_unique<vexa::Text>(m_font);
    CreateFixedTexts();

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
    m_stepInput = std::exchange(m_fedInput, std::uint8_t{0});

    // A run slowed at any moment counts as assisted; a replay keeps its own.
    if (m_replaying == Replaying::No && m_state != TitleScreen && m_state != GameOver)
        m_runSpeedPercent = std::min(m_runSpeedPercent, vexa::g_time.GetSpeedPercent());
    const Palette& palette = GetPaletteInUse();
    m_highScoreText->Create(vexa::g_renderer, BestWords(), palette.recordText, m_textSize);

    switch (m_state) {
    case TitleScreen:
        if (m_stepInput & Controls::kStepConfirm) {
            m_state = StartGame;
            vexa::g_audioSystem.PlayAudio("ui", false);
        }
        break;
    case StartGame:
        if (m_replaying == Replaying::No) m_runSpeedPercent = vexa::g_time.GetSpeedPercent();
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

    m_scoreText->Create(vexa::g_renderer, std::to_string(m_score), palette.scoreText, m_textSize);
    m_scene->Update(dt);
    MoveStars();
}

void K_AsteroidField::MoveStars() {
    const auto width = static_cast<float>(vexa::g_renderer.GetWidth());
    const auto height = static_cast<float>(vexa::g_renderer.GetHeight());
    for (Star& star : m_stars) {
        star.position += star.velocity;
        if (star.position.x >= width) star.position.x = 0.0f;
        if (star.position.y >= height) star.position.y = 0.0f;
    }
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

    m_lastRun = RunResult{true, m_score, StateDigest(), m_runSpeedPercent};
    m_scene->RemoveAll();
    if (m_replaying == Replaying::No) KeepBest();
    m_score = 0;
    m_state = GameOver;
}

void K_AsteroidField::KeepBest() {
    if (m_lastRun.speedPercent >= vexa::Replay::kFullSpeedPercent) {
        if (m_score <= g_highScoreStore.LoadHighScore()) return;
        const std::string replay = m_replayOfRun ? m_replayOfRun(m_lastRun) : std::string();
        if (replay.empty()) {
            g_highScoreStore.SaveHighScore(m_score);
        } else {
            g_highScoreStore.SaveHighScore(m_score, replay);
        }
        return;
    }
    // As with the record, none kept counts as 0.
    const auto best = g_highScoreStore.LoadAssistedBest();
    if (m_score <= (best ? best->score : 0)) return;
    const std::string replay = m_replayOfRun ? m_replayOfRun(m_lastRun) : std::string();
    g_highScoreStore.SaveAssistedBest(m_score, m_lastRun.speedPercent, replay);
}

std::string K_AsteroidField::BestWords() {
    // The record is read on every step, whichever best is shown.
    const int highScore = g_highScoreStore.LoadHighScore();
    const int speed = vexa::g_time.GetSpeedPercent();
    if (m_state != TitleScreen || m_replaying != Replaying::No ||
        speed >= vexa::Replay::kFullSpeedPercent) {
        return "HIGH SCORE " + std::to_string(highScore);
    }
    const auto best = g_highScoreStore.LoadAssistedBest();
    const int bestSpeed = best && best->speedPercent > 0 ? best->speedPercent : speed;
    return "ASSISTED BEST " + std::to_string(best ? best->score : 0) + " AT " +
           std::to_string(bestSpeed) + "%";
}

void K_AsteroidField::UpdateGameOver() {
    // The emblem is rebuilt every frame at its starting place.
    m_scene->RemoveAll();
    AddTitle();
    if (m_stepInput & Controls::kStepConfirm) {
        m_scene->RemoveAll();
        m_replaying = Replaying::No;
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

void K_AsteroidField::SetLook(PaletteName palette, int textSizePercent, bool reducedMotion) {
    const bool recolour = palette != m_palette;
    m_palette = palette;
    m_textSize = std::clamp(textSizePercent, 100, 150);
    if (reducedMotion != m_reducedMotion) m_stillStars.clear();
    m_reducedMotion = reducedMotion;
    vexa::g_particleSystem.SetReducedMotion(reducedMotion);
    if (recolour && m_titleText) CreateFixedTexts();
}

void K_AsteroidField::CreateFixedTexts() {
    // The title, the prompt and the game-over line keep their size: they are
    // placed for it, and the last already spans the picture.
    const Palette& palette = GetPaletteInUse();
    m_titleText->Create(vexa::g_renderer, "KELD ASTEROID FIELD", palette.titleText);
    m_promptText->Create(vexa::g_renderer, "PRESS SPACE TO PLAY", palette.promptText);
    m_gameOverText->Create(vexa::g_renderer, "YOU GOT CAUGHT! PRESS SPACE TO PLAY AGAIN",
                           palette.gameOverText);
}

void K_AsteroidField::DrawInPalette(vexa::Actor& actor, vexa::Renderer& renderer,
                                    vexa::Color Palette::*part) {
    if (!actor.m_model) return;
    const auto* field = dynamic_cast<const K_AsteroidField*>(actor.m_game);
    if (field == nullptr) {
        actor.m_model->Draw(renderer, actor.m_transform);
        return;
    }
    actor.m_model->Draw(renderer, actor.m_transform, field->GetPaletteInUse().*part);
}

void K_AsteroidField::Draw(vexa::Renderer& renderer) {
    constexpr int kEdge = 10;
    constexpr int kRecordLeftOfEdge = 275;
    renderer.SetLineWidth(static_cast<float>(GetPaletteInUse().lineWidth));
    if (m_state == TitleScreen) {
        m_titleText->Draw(renderer, 225, 250);
        m_promptText->Draw(renderer, 225, 275);
    }
    if (m_state == GameOver) m_gameOverText->Draw(renderer, 50, 350);
    m_scoreText->Draw(renderer, kEdge, kEdge);
    // Larger words move left as far as they need to stay whole.
    const int recordLeft = std::min(renderer.GetWidth() - kRecordLeftOfEdge,
                                    renderer.GetWidth() - kEdge - m_highScoreText->GetWidth());
    m_highScoreText->Draw(renderer, recordLeft, kEdge);

    m_scene->Draw(renderer);
    DrawStars(renderer);
    vexa::g_particleSystem.Draw(renderer);
}

void K_AsteroidField::DrawStars(vexa::Renderer& renderer) {
    // The standard palette's stars have no colour of their own: they take
    // whatever the last model set.
    if (const auto& colour = GetPaletteInUse().stars) renderer.SetColor(*colour);
    if (m_reducedMotion) {
        // The rules move the stars on as ever (they are part of every run's
        // state); only the picture holds them still.
        if (m_stillStars.size() != m_stars.size()) {
            m_stillStars.clear();
            for (const Star& star : m_stars) m_stillStars.push_back(star.position);
        }
        for (const vexa::Vector2& at : m_stillStars) renderer.DrawPoint(at.x, at.y);
        return;
    }
    // Between two steps a star is drawn partway back along its last move,
    // unless that move took it round to the left edge.
    const float behind = 1.0f - vexa::g_time.GetInterpolation();
    for (const Star& star : m_stars) {
        vexa::Vector2 at = star.position;
        if (behind > 0.0f) {
            const vexa::Vector2 back = at - star.velocity * behind;
            if (back.x >= 0.0f && back.y >= 0.0f) at = back;
        }
        renderer.DrawPoint(at.x, at.y);
    }
}

std::string K_AsteroidField::RunStart() const {
    std::string bytes;
    vexa::ByteWriter out(bytes);
    out.F32(m_spawnTimer);
    for (const Star& star : m_stars)
        out.F32(star.position.x).F32(star.position.y).F32(star.velocity.x);
    return bytes;
}

bool K_AsteroidField::RestoreRunStart(const std::string& bytes) {
    if (bytes.size() != 4 * (1 + 3 * m_stars.size())) return false;
    vexa::ByteReader in(bytes);
    float spawnTimer = 0.0f;
    in.F32(spawnTimer);
    if (!within(spawnTimer, 0.0f, m_spawnTime)) return false;
    std::vector<Star> stars = m_stars;
    const auto width = static_cast<float>(vexa::g_renderer.GetWidth());
    const auto height = static_cast<float>(vexa::g_renderer.GetHeight());
    for (Star& star : stars) {
        float speed = 0.0f;
        in.F32(star.position.x);
        in.F32(star.position.y);
        in.F32(speed);
        star.velocity = vexa::Vector2(speed, 0.0f);
        if (!within(star.position.x, 0.0f, width) || !within(star.position.y, 0.0f, height) ||
            !within(star.velocity.x, 1.0f, 4.0f)) {
            return false;
        }
    }
    m_spawnTimer = spawnTimer;
    m_stars = std::move(stars);
    return true;
}

bool K_AsteroidField::BeginReplay(const vexa::Replay& replay, Replaying how, std::string& reason) {
    if (replay.rulesVersion != kRulesVersion) {
        reason = "it was recorded under other rules (version " +
                 std::to_string(replay.rulesVersion) + "; this game plays version " +
                 std::to_string(kRulesVersion) + ")";
        return false;
    }
    if (!RestoreRunStart(replay.start)) {
        reason = "its starting state makes no sense";
        return false;
    }
    vexa::seedRandom(replay.seed);
    m_scene->RemoveAll();
    m_replaying = how;
    m_runSpeedPercent = replay.speedPercent;
    m_lastRun = RunResult{};
    m_state = StartGame;
    return true;
}

void K_AsteroidField::EndReplay() {
    // Cut short, the replay's run ends where it had got to.
    if (m_state != GameOver)
        m_lastRun = RunResult{false, m_score, StateDigest(), m_runSpeedPercent};
    m_replaying = Replaying::No;
    m_scene->RemoveAll();
    m_score = 0;
    m_state = TitleScreen;
}

std::uint64_t K_AsteroidField::StateDigest() {
    vexa::Digest digest;
    digest.Add(std::int32_t{m_score}).Add(std::int32_t{m_state});
    digest.Add(m_spawnTimer).Add(m_stateTimer).Add(m_powerupTimer).Add(m_bonusTimer);
    digest.Add(m_scoreTimer).Add(std::uint32_t{m_powerupActive}).Add(vexa::randomState());
    m_scene->ForEach([&digest](vexa::Actor& actor) {
        const vexa::Transform& t = actor.m_transform;
        digest.Add(static_cast<std::uint32_t>(actor.m_tag.size())).Add(actor.m_tag);
        digest.Add(t.position.x).Add(t.position.y).Add(t.rotation).Add(t.scale);
        digest.Add(actor.m_velocity.x).Add(actor.m_velocity.y).Add(actor.m_lifespan);
        digest.Add(std::uint32_t{actor.m_destroyed});
    });
    for (const Star& star : m_stars) digest.Add(star.position.x).Add(star.position.y);
    for (const vexa::Particle& particle : vexa::g_particleSystem.m_particles) {
        if (!particle.m_isActive) continue;
        digest.Add(particle.m_data.position.x).Add(particle.m_data.position.y);
    }
    return digest.Value();
}
