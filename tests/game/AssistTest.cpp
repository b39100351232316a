#include "GameTest.h"

#include "Controls.h"
#include "Verify.h"

#include "core/Digest.h"
#include "core/Replay.h"

#include <iostream>
#include <string>

// A run slowed to 70 % and steered by presses alone, never a held key, as a
// player who cannot hold a key plays: the ship keeps the way a press gave it,
// the run is kept apart from the record, and its replay verifies.
TEST_F(GameTest, ASlowedRunSteeredByPressesIsKeptApartAndVerifies) {
    dir.Write("highscore.txt", "3");
    runner->GetSettings().toggleMovement = true;
    runner->GetSettings().gameSpeed = 70;
    // A frame at 70 % may run no step: keys are held over a few frames.
    const auto tap = [this](std::uint32_t key) {
        Hold(key, true);
        Steps(2, kFrame);
        Hold(key, false);
        Steps(2, kFrame);
    };
    tap(SDL_SCANCODE_SPACE);
    Steps(4, kFrame);
    ASSERT_EQ(game->GetState(), K_AsteroidField::Playing);
    const float start = Ship()->m_transform.position.y;
    tap(SDL_SCANCODE_W);
    Steps(30, kFrame);
    EXPECT_LT(Ship()->m_transform.position.y, start - 60.0f) << "the ship stopped when let go";

    // Into the nearest asteroid: a press of the way it lies, or of the way
    // the ship goes to stop it.
    auto out = std::make_unique<CapturedStream>(std::cout);
    for (int frame = 0; frame < 60 * 60 && game->GetState() == K_AsteroidField::Playing; ++frame) {
        const float y = Ship()->m_transform.position.y;
        vexa::Vector2 target(1e9f, y);
        game->m_scene->ForEach([&](vexa::Actor& actor) {
            const vexa::Vector2 at = actor.m_transform.position;
            if (dynamic_cast<Enemy*>(&actor) && at.x > 100.0f && at.x < target.x) target = at;
        });
        const std::uint8_t moving =
            game->GetStepInput() & (Controls::kStepUp | Controls::kStepDown);
        const std::uint8_t wanted = target.y < y - 4.0f   ? Controls::kStepUp
                                    : target.y > y + 4.0f ? Controls::kStepDown
                                                          : 0;
        if (wanted == moving) {
            Step(kFrame);
        } else {
            tap((wanted ? wanted : moving) == Controls::kStepUp ? SDL_SCANCODE_W : SDL_SCANCODE_S);
        }
    }
    Steps(120, kFrame);
    ASSERT_EQ(game->GetState(), K_AsteroidField::GameOver);
    EXPECT_EQ(out->Text(), "Assisted best saved successfully!\n");
    out.reset();

    const K_AsteroidField::RunResult run = game->GetLastRun();
    ASSERT_GT(run.score, 3);
    EXPECT_EQ(ReadWhole(dir.Path() / "highscore.txt"), "3");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "highscore.replay"));
    EXPECT_EQ(ReadWhole(dir.Path() / "highscore-assisted.txt"),
              std::to_string(run.score) + " at 70%");
    const std::filesystem::path file = dir.Path() / "highscore-assisted.replay";
    CapturedStream verified(std::cout);
    EXPECT_EQ(verifyReplay(file), 0);
    EXPECT_EQ(verified.Text(), "score " + std::to_string(run.score) + " digest " +
                                   vexa::DigestHex(run.digest) + " at 70% speed\n");
}
