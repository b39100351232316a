#include "Enemy.h"
#include "Frame.h"
#include "GameTest.h"
#include "K_AsteroidField.h"
#include "Player.h"
#include "Powerup.h"
#include "Title.h"

#include "CapturedStream.h"
#include "Printers.h"
#include "SoftwareCanvas.h"
#include "TempDir.h"
#include "VirtualController.h"

#include "audio/AudioSystem.h"
#include "core/Random.h"
#include "core/Time.h"
#include "framework/Emitter.h"
#include "framework/Scene.h"
#include "input/InputSystem.h"
#include "renderer/ModelManager.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

TEST_F(GameTest, TitleScreenShowsItsTextsAndAnEmptyScene) {
    Step(kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::TitleScreen);
    EXPECT_EQ(game->m_scene->Count(), 0u);
    EXPECT_FALSE(game->m_powerupActive);
    // Title and prompt from x 225 at y 250 and 275; score at the top left;
    // the high score from x 525.
    EXPECT_GT(canvas->LitCount(), 0);
    const auto box = canvas->LitBox();
    EXPECT_GE(box.left, 10);
    EXPECT_LT(box.top, 20);
    bool titleLit = false;
    bool highScoreLit = false;
    for (int y = 250; y < 300 && !titleLit; ++y)
        for (int x = 225; x < 575 && !titleLit; ++x) titleLit = canvas->IsLit(x, y);
    for (int y = 10; y < 40 && !highScoreLit; ++y)
        for (int x = 525; x < 800 && !highScoreLit; ++x) highScoreLit = canvas->IsLit(x, y);
    EXPECT_TRUE(titleLit);
    EXPECT_TRUE(highScoreLit);
}

TEST_F(GameTest, SpaceStartsAGameWithTheShipInPlace) {
    Step(kFrame);
    Hold(SDL_SCANCODE_SPACE, true);
    Step(kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::StartGame);
    Hold(SDL_SCANCODE_SPACE, false);
    Step(kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::StartLevel);
    Step(kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::Playing);

    Player* ship = Ship();
    ASSERT_NE(ship, nullptr);
    EXPECT_EQ(ship->m_tag, "Player");
    EXPECT_EQ(ship->m_game, game.get());
    EXPECT_FLOAT_EQ(ship->m_transform.position.x, 100.0f);
    EXPECT_FLOAT_EQ(ship->m_transform.position.y, 300.0f);
    EXPECT_FLOAT_EQ(ship->m_transform.scale, 6.0f);
    EXPECT_EQ(game->m_score, 0);
}

TEST_F(GameTest, ScoreRisesOnePointPerFrameCountAtTwoAndAHalfPerSecond) {
    StartPlaying();
    // The accumulator reaches 1 on the 24th frame of 1/60 s; the excess is dropped.
    for (int frame = 1; frame <= 48; ++frame) {
        Step(kFrame);
        EXPECT_EQ(game->m_score, frame / 24) << "frame " << frame;
    }
}

TEST_F(GameTest, PlayTimeScoresAlikeAtEveryDisplayRate) {
    // Two seconds of play are 120 steps, five points, whatever the frames.
    for (const int hertz : {30, 75, 144, 240}) {
        if (game->GetState() != K_AsteroidField::TitleScreen) {
            CrashAndWaitForGameOver();
            Hold(SDL_SCANCODE_SPACE, true);
            Step(kFrame);
            Hold(SDL_SCANCODE_SPACE, false);
        }
        StartPlaying();
        Steps(2 * hertz, 1.0f / static_cast<float>(hertz));
        EXPECT_EQ(game->m_score, 5) << hertz << " Hz";
    }
}

TEST_F(GameTest, WavesOfFiveAsteroidsEveryFourSecondsAndAPowerupEveryThirtyTwo) {
    StartPlaying();
    // Without a ship nothing can end the run; the timers run on.
    Ship()->m_destroyed = true;
    // The wave timer gathers 1/60 s a step in float, so four seconds are
    // 240 steps give or take the last rounding.
    Steps(239, kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::Playing);
    EXPECT_EQ(game->m_scene->Count(), 0u);
    Steps(2, kFrame);
    EXPECT_EQ(game->m_scene->Count(), 5u);
    Enemy* first = game->m_scene->GetActor<Enemy>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_tag, "Enemy");
    EXPECT_LE(first->m_transform.position.x, 800.0f - 75.0f * kFrame + 0.001f);

    // Asteroids that drift off to the left stay in the scene. A quarter-second
    // frame runs 15 steps, so play goes on at the same pace with fewer frames.
    Steps(4 * 27, 0.25f);
    EXPECT_EQ(game->m_scene->Count(), 35u);
    EXPECT_EQ(game->m_scene->GetActor<Powerup>(), nullptr);
    Steps(4 * 5, 0.25f);  // past 32 seconds of play: the eighth wave and the first power-up
    EXPECT_EQ(game->m_scene->Count(), 41u);
    Powerup* powerup = game->m_scene->GetActor<Powerup>();
    ASSERT_NE(powerup, nullptr);
    EXPECT_EQ(powerup->m_tag, "Powerup");
}

TEST_F(GameTest, AsteroidEndsTheRunAndAHigherScoreIsSaved) {
    StartPlaying();
    Steps(240, kFrame);  // 10 points
    ASSERT_EQ(game->m_score, 10);

    AddAsteroidAt(Ship()->m_transform.position + vexa::Vector2(5, 0));
    AddAsteroidAt(Ship()->m_transform.position + vexa::Vector2(-5, 0));
    Step(kFrame);
    // Two asteroids in one frame: one explosion, and the ship is gone next frame.
    int emitters = 0;
    game->m_scene->ForEach([&emitters](vexa::Actor& actor) {
        if (dynamic_cast<vexa::Emitter*>(&actor) != nullptr) ++emitters;
    });
    EXPECT_EQ(emitters, 1);
    EXPECT_EQ(game->GetState(), K_AsteroidField::PlayerDeadStart);

    Step(kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::PlayerDead);
    EXPECT_EQ(Ship(), nullptr);
    EXPECT_GT(vexa::g_particleSystem.GetFreeParticle() - vexa::g_particleSystem.m_particles.data(),
              99);

    {
        CapturedStream out(std::cout);
        int frames = 0;
        while (game->GetState() == K_AsteroidField::PlayerDead && frames < 120) {
            Step(kFrame);
            ++frames;
            if (game->GetState() == K_AsteroidField::PlayerDead) {
                EXPECT_EQ(game->m_score, 10);
            }
        }
        EXPECT_NEAR(frames, 61, 1);
        EXPECT_EQ(out.Text(), "High score saved successfully!\n");
    }
    EXPECT_EQ(game->GetState(), K_AsteroidField::GameOver);
    // The displayed score drops to 0 when the game-over screen begins.
    EXPECT_EQ(game->m_score, 0);
    EXPECT_EQ(ReadWhole(dir.Path() / "highscore.txt"), "10");

    // The game-over screen holds only the emblem, rebuilt every frame.
    Step(kFrame);
    EXPECT_EQ(game->m_scene->Count(), 1u);
    Title* title = game->m_scene->GetActor<Title>();
    ASSERT_NE(title, nullptr);
    EXPECT_FLOAT_EQ(title->m_transform.position.x, 400.0f);
    EXPECT_FLOAT_EQ(title->m_transform.position.y, 250.0f);
    EXPECT_FLOAT_EQ(title->m_transform.scale, 6.0f);
}

TEST_F(GameTest, AnEqualScoreIsNotSaved) {
    dir.Write("highscore.txt", "3");
    StartPlaying();
    Steps(72, kFrame);  // 3 points
    ASSERT_EQ(game->m_score, 3);
    AddAsteroidAt(Ship()->m_transform.position);

    CapturedStream out(std::cout);
    Steps(70, kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::GameOver);
    EXPECT_EQ(out.Text(), "");
    EXPECT_EQ(ReadWhole(dir.Path() / "highscore.txt"), "3");
}

TEST_F(GameTest, SpaceHeldThroughGameOverStartsTheNextGameAtOnce) {
    StartPlaying();
    CrashAndWaitForGameOver();

    Hold(SDL_SCANCODE_SPACE, true);
    Step(kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::TitleScreen);
    EXPECT_EQ(game->m_scene->Count(), 0u);
    Step(kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::StartGame);
}

TEST_F(GameTest, MusicStartsOnceInARun) {
    // The sound device opens after the first frame has been drawn.
    Steps(2, kFrame);
    if (!vexa::g_audioSystem.IsOpen()) GTEST_SKIP() << "no sound device, not even SDL's dummy";
    const int loopsBefore = Mix_GroupCount(vexa::AudioSystem::kLoopGroup);
    for (int run = 0; run < 2; ++run) {
        StartPlaying();
        CrashAndWaitForGameOver();
        Hold(SDL_SCANCODE_SPACE, true);
        Step(kFrame);
        Hold(SDL_SCANCODE_SPACE, false);
        Step(kFrame);
    }
    EXPECT_EQ(Mix_GroupCount(vexa::AudioSystem::kLoopGroup) - loopsBefore, 1);
}

TEST_F(GameTest, ShipMovesWithWAndSAndStaysInsideTheWindow) {
    StartPlaying();
    Player* ship = Ship();

    Hold(SDL_SCANCODE_W, true);
    Hold(SDL_SCANCODE_S, true);
    Steps(4, 0.25f);
    EXPECT_FLOAT_EQ(ship->m_transform.position.y, 300.0f);

    Hold(SDL_SCANCODE_S, false);
    Steps(4, 0.25f);
    // 60 steps of 200/60 px each, rounded at every step.
    EXPECT_NEAR(ship->m_transform.position.y, 100.0f, 0.001f);
    EXPECT_FLOAT_EQ(ship->m_transform.position.x, 100.0f);
    Steps(4, 0.25f);
    EXPECT_FLOAT_EQ(ship->m_transform.position.y, 0.0f);

    Hold(SDL_SCANCODE_W, false);
    Hold(SDL_SCANCODE_S, true);
    Steps(16, 0.25f);
    ASSERT_EQ(Ship(), ship);
    EXPECT_FLOAT_EQ(ship->m_transform.position.y, 600.0f);
}

TEST_F(GameTest, PowerupPaysAPointPerFrameForFiveSecondsEachTime) {
    StartPlaying();
    for (int collected = 0; collected < 2; ++collected) {
        const vexa::Transform transform(Ship()->m_transform.position, vexa::kHalfPi, 5.0f);
        auto powerup =
            std::make_unique<Powerup>(0.0f, transform, vexa::g_modelManager.Get("powerup.txt"));
        powerup->m_tag = "Powerup";
        powerup->m_game = game.get();
        game->m_scene->Add(std::move(powerup));

        Step(kFrame);  // touched in the collision pass
        EXPECT_TRUE(game->m_powerupActive);
        EXPECT_NE(game->m_scene->GetActor<Powerup>(), nullptr);  // flagged, erased next step
        const int before = game->m_score;

        // Five seconds are 300 steps: one bonus point each, and a time point
        // every 24th step; the float timers may take one step more. At a fast
        // display the bonus is the same (it once paid a point a drawn frame).
        Steps(5 * 144 + 2, 1.0f / 144.0f);
        EXPECT_NEAR(game->m_score - before, 300 + 12, 1);
        EXPECT_FALSE(game->m_powerupActive);
        EXPECT_EQ(game->m_scene->GetActor<Powerup>(), nullptr);
        EXPECT_EQ(game->GetState(), K_AsteroidField::Playing);
    }
}

TEST_F(GameTest, AsteroidsTurnToFaceTheShipButDriftStraightLeft) {
    StartPlaying();
    const vexa::Vector2 shipPosition = Ship()->m_transform.position;
    AddAsteroidAt(vexa::Vector2(500.0f, shipPosition.y));
    AddAsteroidAt(vexa::Vector2(shipPosition.x, 100.0f));
    AddAsteroidAt(vexa::Vector2(shipPosition.x, 500.0f));
    Step(kFrame);

    std::vector<Enemy*> asteroids;
    game->m_scene->ForEach([&asteroids](vexa::Actor& actor) {
        if (auto* enemy = dynamic_cast<Enemy*>(&actor)) asteroids.push_back(enemy);
    });
    ASSERT_EQ(asteroids.size(), 3u);
    // The ship straight to the left: pi + pi/2.
    EXPECT_FLOAT_EQ(asteroids[0]->m_transform.rotation, vexa::kPi + vexa::kHalfPi);
    EXPECT_FLOAT_EQ(asteroids[0]->m_transform.position.x, 500.0f - 75.0f * kFrame);
    EXPECT_FLOAT_EQ(asteroids[0]->m_transform.position.y, shipPosition.y);
    // The ship straight below (measured before this frame's drift), then straight above.
    EXPECT_FLOAT_EQ(asteroids[1]->m_transform.rotation, vexa::kHalfPi + vexa::kHalfPi);
    EXPECT_FLOAT_EQ(asteroids[2]->m_transform.rotation, 0.0f);
}

// Asteroids far off the left edge stop turning; any part of one that could
// still light a pixel must be drawn exactly as if it had kept turning.
TEST_F(GameTest, AnAsteroidLeavingOnTheLeftLooksAtTheShipUntilItIsGone) {
    StartPlaying();
    AddAsteroidAt(vexa::Vector2(40.0f, 300.0f));
    Enemy* asteroid = nullptr;
    game->m_scene->ForEach([&asteroid](vexa::Actor& actor) {
        if (auto* enemy = dynamic_cast<Enemy*>(&actor)) asteroid = enemy;
    });
    ASSERT_NE(asteroid, nullptr);
    const float radius = asteroid->GetRadius();

    // Only the strip along the left edge can show a difference.
    const auto strip = [this] {
        std::vector<testing_support::Rgba> pixels;
        for (int y = 250; y < 350; ++y) {
            for (int x = 0; x < 64; ++x) pixels.push_back(canvas->Pixel(x, y));
        }
        return pixels;
    };

    int framesSeen = 0;
    // Short frames, and the ship jumping about, so the asteroid's look
    // changes a lot at every fraction of a pixel it moves.
    const vexa::Vector2 shipPlaces[] = {{400.0f, 20.0f},  {780.0f, 300.0f}, {30.0f, 580.0f},
                                        {780.0f, 290.0f}, {60.0f, 40.0f},   {780.0f, 310.0f},
                                        {500.0f, 590.0f}};
    for (int frame = 0; asteroid->m_transform.position.x > -radius - 40.0f; ++frame) {
        ASSERT_LT(frame, 2000);
        // Found again at every frame, as the game's own code finds actors.
        asteroid = game->m_scene->GetActor<Enemy>();
        Ship()->m_transform.position = shipPlaces[frame % 7];
        const vexa::Vector2 before = asteroid->m_transform.position;
        Step(kFrame);
        ASSERT_EQ(game->GetState(), K_AsteroidField::Playing);
        const vexa::Vector2 ship = Ship()->m_transform.position;

        canvas->Clear();
        asteroid->Draw(vexa::g_renderer);
        const auto drawn = strip();

        const float rotation = asteroid->m_transform.rotation;
        asteroid->m_transform.rotation = (ship - before).Angle() + vexa::kHalfPi;
        canvas->Clear();
        asteroid->Draw(vexa::g_renderer);
        const auto turned = strip();
        asteroid->m_transform.rotation = rotation;

        ASSERT_TRUE(drawn == turned) << "differs at x " << before.x;
        if (canvas->LitCount() > 0) ++framesSeen;
    }
    EXPECT_GT(framesSeen, 30) << "the asteroid was on screen while it left";
}

namespace {

// A controller from SDL's virtual joystick driver, mapped as a game
// controller; detached again when the test ends.
class VirtualController {
public:
    VirtualController() {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        m_id = testing_support::AttachVirtualController();
    }
    ~VirtualController() {
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == m_id) SDL_JoystickDetachVirtual(index);
        }
        vexa::g_inputSystem.Update();
    }
    bool Attached() const { return m_id >= 0; }
    // Takes effect when the input system next reads the controllers.
    void Button(SDL_GameControllerButton button, bool down) {
        if (SDL_Joystick* joystick = SDL_JoystickFromInstanceID(m_id))
            SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
    }
    void Axis(SDL_GameControllerAxis axis, Sint16 value) {
        if (SDL_Joystick* joystick = SDL_JoystickFromInstanceID(m_id))
            SDL_JoystickSetVirtualAxis(joystick, axis, value);
    }

private:
    SDL_JoystickID m_id = -1;
};

void pushWindowEvent(Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    SDL_PushEvent(&event);
}

// Everything that moves in a game, to tell whether anything has.
struct Still {
    int score = 0;
    std::vector<float> coordinates;
    std::vector<testing_support::Rgba> picture;

    static Still Of(K_AsteroidField& game, const SoftwareCanvas& canvas) {
        Still still;
        still.score = game.m_score;
        for (const auto& star : game.GetStars()) {
            still.coordinates.push_back(star.position.x);
            still.coordinates.push_back(star.position.y);
        }
        game.m_scene->ForEach([&still](const vexa::Actor& actor) {
            still.coordinates.push_back(actor.m_transform.position.x);
            still.coordinates.push_back(actor.m_transform.position.y);
            still.coordinates.push_back(actor.m_transform.rotation);
        });
        for (const auto& particle : vexa::g_particleSystem.m_particles) {
            if (!particle.m_isActive) continue;
            still.coordinates.push_back(particle.m_data.position.x);
            still.coordinates.push_back(particle.m_data.lifetime);
        }
        for (int y = 0; y < 600; y += 2)
            for (int x = 0; x < 800; x += 2) still.picture.push_back(canvas.Pixel(x, y));
        return still;
    }
    bool operator==(const Still& o) const {
        return score == o.score && coordinates == o.coordinates && picture == o.picture;
    }
};

}  // namespace

TEST_F(GameTest, StartOnAControllerPausesTheGameStockStillAndResumesIt) {
    VirtualController pad;
    ASSERT_TRUE(pad.Attached()) << SDL_GetError();
    Frame(kFrame);
    // The south button starts the game, as Space does.
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    Frame(kFrame);
    EXPECT_EQ(game->GetState(), K_AsteroidField::StartGame);
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    Frames(2, kFrame);
    ASSERT_EQ(game->GetState(), K_AsteroidField::Playing);

    // The stick moves the ship as W does; sparks and an asteroid are under way.
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);
    Frames(30, kFrame);
    EXPECT_NEAR(Ship()->m_transform.position.y, 300.0f - 30 * 200.0f * kFrame, 0.01f);
    AddAsteroidAt(vexa::Vector2(700.0f, 100.0f));
    vexa::ParticleData spark;
    spark.position = vexa::Vector2(400.0f, 400.0f);
    spark.velocity = vexa::Vector2(50.0f, 0.0f);
    spark.lifespan = 100.0f;
    vexa::g_particleSystem.GetFreeParticle()->Initialize(spark);
    Frames(10, kFrame);
    ASSERT_GT(game->m_score, 0);

    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    Frame(kFrame);
    ASSERT_TRUE(game->m_pause.IsPaused());
    if (vexa::g_audioSystem.IsOpen()) {
        EXPECT_GT(Mix_Paused(-1), 0) << "the music plays on";
    }
    const Still paused = Still::Of(*game, *canvas);

    // Held, Start does not resume; the stick and long frames move nothing.
    // (The stick moves the menu's highlight down and back up.)
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 30000);
    Frames(5, kFrame);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);
    Frames(5, kFrame);
    pad.Button(SDL_CONTROLLER_BUTTON_START, false);
    Frames(60, 0.25f);
    EXPECT_TRUE(game->m_pause.IsPaused());
    EXPECT_TRUE(Still::Of(*game, *canvas) == paused) << "something moved while paused";
    EXPECT_EQ(game->GetState(), K_AsteroidField::Playing);

    // Resumed, the game gets the one frame's time, not the fifteen seconds paused.
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 30000);
    Frame(kFrame);
    const float shipY = Ship()->m_transform.position.y;
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    Frame(kFrame);
    EXPECT_FALSE(game->m_pause.IsPaused());
    if (vexa::g_audioSystem.IsOpen()) {
        EXPECT_EQ(Mix_Paused(-1), 0);
    }
    EXPECT_NEAR(Ship()->m_transform.position.y, shipY + 200.0f * kFrame, 0.01f);
}

TEST_F(GameTest, LosingTheWindowPausesOnlyARunAndComingBackLeavesItPaused) {
    VirtualController pad;
    ASSERT_TRUE(pad.Attached()) << SDL_GetError();
    // The title screen does not pause.
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Frame(kFrame);
    EXPECT_FALSE(game->m_pause.IsPaused());

    // A on the title screen starts a game and does not pause it.
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    Frame(kFrame);
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    Frames(3, kFrame);
    ASSERT_EQ(game->GetState(), K_AsteroidField::Playing);
    EXPECT_FALSE(game->m_pause.IsPaused());

    pushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    Frame(kFrame);
    EXPECT_TRUE(game->m_pause.IsPaused());
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Frames(10, kFrame);
    EXPECT_TRUE(game->m_pause.IsPaused());
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    Frame(kFrame);
    EXPECT_FALSE(game->m_pause.IsPaused());
    pad.Button(SDL_CONTROLLER_BUTTON_START, false);
    // Still held at the game-over screen, Start would go straight on to the next game.
    Frame(kFrame);

    // Nor does the game-over screen.
    CrashAndWaitForGameOver();
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Frame(kFrame);
    EXPECT_FALSE(game->m_pause.IsPaused());
    EXPECT_EQ(game->GetState(), K_AsteroidField::GameOver);
}

TEST_F(GameTest, UnpluggingTheControllerMidGameLeavesTheKeyboardPlaying) {
    auto pad = std::make_unique<VirtualController>();
    ASSERT_TRUE(pad->Attached()) << SDL_GetError();
    StartPlaying();
    pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, 30000);
    Frames(2, kFrame);
    pad.reset();
    // The seam stands in for the keyboard: W held after the unplugging.
    Hold(SDL_SCANCODE_W, true);
    const float y = Ship()->m_transform.position.y;
    Step(kFrame);
    EXPECT_NEAR(Ship()->m_transform.position.y, y - 200.0f * kFrame, 0.01f);
    EXPECT_EQ(vexa::g_inputSystem.GetControllerCount(), 0);
}

TEST_F(GameTest, TheCloseButtonShowsHowToQuitForThreeSecondsAndThePlayGoesOn) {
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_TRUE(Frame(kFrame)) << "the close request ended the program";
    EXPECT_GT(WhiteIn(250, 40, 300, 50), 100) << "nothing says how to quit";
    int shown = 1;
    for (; runner->ShowingHowToQuit() && shown < 1000; ++shown) Frame(kFrame);
    EXPECT_NEAR(shown, 1 + 3 * 60, 1);
    EXPECT_EQ(WhiteIn(250, 40, 300, 50), 0);
}

TEST_F(GameTest, RAtGameOverWatchesTheBestRunCaptionedAndLeavingItStartsNoRun) {
    dir.Write("highscore.txt", "32");
    dir.Write("highscore.replay",
              ReadWhole(std::string(ZAP207_SOURCE_ASSETS) +
                        "/../tests/game/golden/crash-into-the-first-wave.replay"));
    StartPlaying();
    CrashAndWaitForGameOver();
    runner->ReadDevices(false);
    // Frames with `key` held or not; what shows where the caption goes.
    const auto frame = [&](std::uint32_t key, bool down, int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            Hold(key, down);
            g_clock.Advance(kFrame);
            runner->Run();
            vexa::g_inputSystem.EndSnapshot();
        }
        return WhiteIn(250, 550, 300, 45);
    };
    frame(SDL_SCANCODE_R, true);
    EXPECT_GT(frame(SDL_SCANCODE_R, false), 100) << "nothing says a replay is playing";
    EXPECT_EQ(frame(SDL_SCANCODE_SPACE, true, 3), 0);
    EXPECT_EQ(game->GetState(), K_AsteroidField::TitleScreen) << "Space held started a run";

    // Watched to its end, its last screen is left the same way.
    frame(SDL_SCANCODE_SPACE, false);
    frame(SDL_SCANCODE_R, true);
    for (int i = 0; i < 60 * 60 && runner->Watching(); ++i) frame(SDL_SCANCODE_R, false);
    ASSERT_EQ(game->GetState(), K_AsteroidField::GameOver);
    frame(SDL_SCANCODE_SPACE, true, 3);
    EXPECT_EQ(game->GetState(), K_AsteroidField::TitleScreen);
    Hold(SDL_SCANCODE_SPACE, false);
}
