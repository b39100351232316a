#include "GameTest.h"

#include "Controls.h"
#include "Powerup.h"
#include "Verify.h"

#include "core/Digest.h"
#include "core/Replay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

// How the test pilot flies a run: straight at the asteroids, or clear of them
// until a power-up has paid its bonus and only then into one.
enum class Plan { Crash, PowerupThenCrash };

// A run kept with the tests: how it was flown, and what it must end with.
struct Golden {
    const char* file;
    Plan plan;
    std::uint32_t seed;
    int score;
    const char* digest;
};

// Changing any of these is deliberate: a change to the rules that alters a
// run also raises K_AsteroidField::kRulesVersion, and the runs are recorded
// again with ZAP207_RECORD_GOLDEN=1.
const Golden kGolden[] = {
    {"crash-into-the-first-wave.replay", Plan::Crash, 11, 32, "4f711580e71ffe7e"},
    {"powerup-then-crash.replay", Plan::PowerupThenCrash, 3, 422, "1a72f78dca1cf418"},
};

std::filesystem::path goldenPath(const Golden& golden) {
    return std::filesystem::path(ZAP207_SOURCE_ASSETS).parent_path() / "tests" / "game" / "golden" /
           golden.file;
}

// Where the ship should head in this step: away from the asteroids it could
// meet in the next few seconds, never through one beside it, and towards a
// power-up while there is one.
float clearHeight(K_AsteroidField& game, Player& ship) {
    const vexa::Vector2 at = ship.m_transform.position;
    const float shipRadius = ship.GetRadius();
    struct Threat {
        vexa::Vector2 at;
        float reach;
    };
    std::vector<Threat> threats;
    float goal = at.y;
    game.m_scene->ForEach([&](vexa::Actor& actor) {
        if (actor.m_destroyed) return;
        const float reach = actor.GetRadius() + shipRadius;
        if (dynamic_cast<Powerup*>(&actor) != nullptr) {
            if (actor.m_transform.position.x + reach > at.x) goal = actor.m_transform.position.y;
        } else if (dynamic_cast<Enemy*>(&actor) != nullptr &&
                   actor.m_transform.position.x + reach > at.x &&
                   actor.m_transform.position.x - reach < at.x + 300.0f) {
            threats.push_back({actor.m_transform.position, reach});
        }
    });

    // An asteroid level with the ship already bounds where it can go.
    float low = 0.0f;
    float high = 600.0f;
    for (const Threat& threat : threats) {
        if (threat.at.x - threat.reach > at.x + 60.0f) continue;
        if (threat.at.y >= at.y) {
            high = std::min(high, threat.at.y - threat.reach - 8.0f);
        } else {
            low = std::max(low, threat.at.y + threat.reach + 8.0f);
        }
    }
    if (low > high) return at.y;

    float best = at.y;
    float bestCost = 1e9f;
    for (float y = low; y <= high; y += 4.0f) {
        float cost = 0.3f * std::fabs(y - goal);
        for (const Threat& threat : threats) {
            const float nearness = 1.0f - (threat.at.x - at.x) / 400.0f;
            const float gap = std::fabs(y - threat.at.y) - threat.reach;
            if (gap < 120.0f) cost += nearness * (120.0f - gap);
        }
        if (cost < bestCost) {
            bestCost = cost;
            best = y;
        }
    }
    return best;
}

// The height of the asteroid still ahead of the ship that is nearest to it.
float nearestAsteroidHeight(K_AsteroidField& game, const Player& ship) {
    float best = ship.m_transform.position.y;
    float bestX = 1e9f;
    game.m_scene->ForEach([&](vexa::Actor& actor) {
        if (dynamic_cast<Enemy*>(&actor) == nullptr) return;
        const vexa::Vector2 at = actor.m_transform.position;
        if (at.x > ship.m_transform.position.x && at.x < bestX) {
            bestX = at.x;
            best = at.y;
        }
    });
    return best;
}

}  // namespace

// Plays known runs through the real frame sequence, as the game and --verify do.
class GoldenReplay : public GameTest {
protected:
    // A fresh game, as at the program's start with the given seed.
    void NewGame(std::uint32_t seed) {
        runner.reset();
        game.reset();
        vexa::seedRandom(seed);
        vexa::g_time = vexa::Time(g_clock.Reader());
        for (auto& particle : vexa::g_particleSystem.m_particles) particle.m_isActive = false;
        game = std::make_unique<K_AsteroidField>();
        game->Initialize();
        runner = std::make_unique<FrameRunner>(*game);
    }

    void HoldInput(std::uint8_t bits) {
        vexa::g_inputSystem.SetKeyDown(SDL_SCANCODE_W, (bits & Controls::kStepUp) != 0);
        vexa::g_inputSystem.SetKeyDown(SDL_SCANCODE_S, (bits & Controls::kStepDown) != 0);
        vexa::g_inputSystem.SetKeyDown(SDL_SCANCODE_SPACE, (bits & Controls::kStepConfirm) != 0);
    }

    // Flies one run from the title screen to its game-over screen with the
    // keys the pilot holds, a step a frame at 60 Hz.
    void Fly(Plan plan) {
        Step(kFrame);
        HoldInput(Controls::kStepConfirm);
        Step(kFrame);
        HoldInput(0);
        bool bonusSeen = false;
        for (int step = 0; step < 60 * 120 && game->GetState() != K_AsteroidField::GameOver;
             ++step) {
            Player* ship = game->m_scene->GetActor<Player>();
            std::uint8_t input = 0;
            if (ship != nullptr && !ship->m_destroyed) {
                bonusSeen = bonusSeen || game->m_powerupActive;
                const bool crash = plan == Plan::Crash || (bonusSeen && !game->m_powerupActive);
                const float target =
                    crash ? nearestAsteroidHeight(*game, *ship) : clearHeight(*game, *ship);
                const float y = ship->m_transform.position.y;
                if (target < y - 2.0f) input = Controls::kStepUp;
                if (target > y + 2.0f) input = Controls::kStepDown;
                // Inputs that change nothing in play are recorded all the same.
                if (step % 97 < 3) input |= Controls::kStepConfirm;
                if (step % 131 < 2) input |= Controls::kStepUp | Controls::kStepDown;
            }
            HoldInput(input);
            Step(kFrame);
        }
        HoldInput(0);
        ASSERT_EQ(game->GetState(), K_AsteroidField::GameOver);
    }

    // Plays `replay` through the frame sequence at `hertz` until it ends.
    K_AsteroidField::RunResult Watch(const vexa::Replay& replay, int hertz) {
        NewGame(1);
        FrameRunner::Options options;
        options.readDevices = false;
        // Pictures drawn between steps must leave the rules alone; drawing at
        // one such rate shows it, and costs most of the test's time.
        options.draw = hertz == 144;
        FrameRunner watcher(*game, options);
        std::string reason;
        EXPECT_TRUE(watcher.Watch(replay, false, reason)) << reason;
        const std::size_t frames = replay.steps.size() * static_cast<std::size_t>(hertz) / 60 + 60;
        for (std::size_t frame = 0; frame < frames && watcher.Watching(); ++frame) {
            g_clock.Advance(1.0 / hertz);
            watcher.Run();
        }
        EXPECT_FALSE(watcher.Watching()) << hertz << " Hz";
        return game->GetLastRun();
    }
};

// The kept runs are recorded again, by the game itself, byte for byte; with
// ZAP207_RECORD_GOLDEN set they are written anew instead.
TEST_F(GoldenReplay, RecordedRunsAreKeptByteForByte) {
    const bool record = std::getenv("ZAP207_RECORD_GOLDEN") != nullptr;
    for (const Golden& golden : kGolden) {
        SCOPED_TRACE(golden.file);
        dir.Write("highscore.txt", "0");
        NewGame(golden.seed);
        {
            CapturedStream out(std::cout);
            Fly(golden.plan);
            EXPECT_EQ(out.Text(), "High score saved successfully!\n");
        }
        const std::string bytes = ReadWhole(dir.Path() / "highscore.replay");
        vexa::Replay replay;
        std::string reason;
        ASSERT_TRUE(vexa::DecodeReplay(bytes, replay, reason)) << reason;
        EXPECT_EQ(ReadWhole(dir.Path() / "highscore.txt"), std::to_string(replay.score));
        if (record) {
            std::ofstream(goldenPath(golden), std::ios::binary) << bytes;
            std::printf("%s: score %d digest %s\n", golden.file, replay.score,
                        vexa::DigestHex(replay.digest).c_str());
            continue;
        }
        EXPECT_EQ(replay.score, golden.score);
        EXPECT_EQ(vexa::DigestHex(replay.digest), golden.digest);
        EXPECT_TRUE(bytes == ReadWhole(goldenPath(golden))) << "the run was recorded differently";
    }
}

TEST_F(GoldenReplay, KeptRunsVerifyToTheirScoreAndDigest) {
    // Without a record the game says so on every step; the answer is still
    // its one line.
    std::filesystem::remove(dir.Path() / "highscore.txt");
    for (const Golden& golden : kGolden) {
        SCOPED_TRACE(golden.file);
        CapturedStream out(std::cout);
        CapturedStream err(std::cerr);
        EXPECT_EQ(verifyReplay(goldenPath(golden)), 0) << err.Text();
        EXPECT_EQ(out.Text(),
                  "score " + std::to_string(golden.score) + " digest " + golden.digest + "\n");
    }
}

// A replay is a function of its steps alone: how many steps each drawn frame
// runs, and the pictures drawn between them, change nothing.
TEST_F(GoldenReplay, KeptRunsEndAlikeAtEveryDisplayRate) {
    for (const Golden& golden : kGolden) {
        vexa::Replay replay;
        std::string reason;
        ASSERT_TRUE(vexa::DecodeReplay(ReadWhole(goldenPath(golden)), replay, reason)) << reason;
        for (const int hertz : {30, 60, 75, 120, 144, 240}) {
            SCOPED_TRACE(std::string(golden.file) + " at " + std::to_string(hertz) + " Hz");
            const K_AsteroidField::RunResult run = Watch(replay, hertz);
            EXPECT_TRUE(run.ended);
            EXPECT_EQ(run.score, golden.score);
            EXPECT_EQ(vexa::DigestHex(run.digest), golden.digest);
        }
    }
}

// What --verify says of a replay whose run does not end as it claims.
TEST_F(GoldenReplay, VerifyRefusesARunThatEndsOtherwiseWithOneLine) {
    vexa::Replay kept;
    std::string reason;
    ASSERT_TRUE(vexa::DecodeReplay(ReadWhole(goldenPath(kGolden[0])), kept, reason)) << reason;

    vexa::Replay claimsMore = kept;
    claimsMore.score += 1;
    vexa::Replay cutShort = kept;
    cutShort.steps.resize(cutShort.steps.size() / 2);
    vexa::Replay otherRules = kept;
    otherRules.rulesVersion = K_AsteroidField::kRulesVersion + 1;
    const std::pair<vexa::Replay, std::string> cases[] = {
        {claimsMore, "but it was recorded with score " + std::to_string(kept.score + 1)},
        {cutShort, "its steps end before the run does"},
        {otherRules, "recorded under other rules"},
    };
    for (const auto& [replay, says] : cases) {
        SCOPED_TRACE(says);
        const std::filesystem::path file = dir.Write("edited.replay", vexa::EncodeReplay(replay));
        CapturedStream out(std::cout);
        CapturedStream err(std::cerr);
        EXPECT_EQ(verifyReplay(file), 1);
        EXPECT_NE(err.Text().find(says), std::string::npos) << err.Text();
        EXPECT_EQ(err.LineCount(), 1) << err.Text();
    }
}
