// Resting actors against the same scenes with resting switched off: the same
// collision calls to the actors that see them, in the same order, and every
// actor in the same place, to the bit, whenever anyone looks.
#include "framework/Scene.h"

#include "SoftwareCanvas.h"
#include "TempDir.h"
#include "core/PortableMath.h"
#include "renderer/Model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

using vexa::Actor;
using vexa::Transform;
using vexa::Vector2;
using vexa::portable::BitsOf;

namespace {

struct World {
    explicit World(unsigned seed) : rng{seed} {}

    vexa::Scene scene;
    std::mt19937 rng;
    std::vector<std::string> log;
    std::shared_ptr<vexa::Model> unit;
    int nextId = 0;
    int appendBudget = 12;
    long updates = 0;
};

// Drifts left at its own speed and sees nothing: it may rest once out of sight.
class Drifter : public Actor {
public:
    Drifter(World& world, const Vector2& at, float speed)
        : Actor(Transform(at, 0.5f, 4.0f), world.unit),
          m_id{world.nextId++},
          m_world{world},
          m_speed{speed} {}

    void Update(float dt) override {
        Actor::Update(dt);
        ++m_world.updates;
        m_dt = dt;
        m_transform.position += Drift();
    }
    bool Settle() override { return SettleDrifting(Drift()); }
    bool IgnoresCollisions() const override { return true; }

    const int m_id;

private:
    Vector2 Drift() const { return Vector2(-m_speed, 0.0f) * m_dt; }

    World& m_world;
    float m_speed;
    float m_dt = 0.0f;
};

// Sees every collision: jumps about, often far past the left edge where the
// drifters rest, flags some drifters it meets and adds watchers of its own.
class Watcher : public Actor {
public:
    Watcher(World& world, const Vector2& at)
        : Actor(Transform(at, 0.0f, 6.0f), world.unit), m_id{world.nextId++}, m_world{world} {}

    void Update(float dt) override {
        Actor::Update(dt);
        if (m_world.rng() % 8 != 0) return;
        const bool left = m_world.rng() % 64 == 0;
        std::uniform_real_distribution<float> x(left ? -4000.0f : 0.0f, left ? 0.0f : 800.0f);
        std::uniform_real_distribution<float> y(0.0f, 600.0f);
        m_transform.position = Vector2(x(m_world.rng), y(m_world.rng));
    }

    void OnCollision(Actor* other) override {
        const auto* drifter = dynamic_cast<Drifter*>(other);
        const int id = drifter ? drifter->m_id : static_cast<Watcher*>(other)->m_id;
        m_world.log.push_back(std::to_string(m_id) + (drifter ? ":drifter " : ":watcher ") +
                              std::to_string(id));
        const auto roll = m_world.rng() % 10;
        if (drifter != nullptr && roll == 0) other->m_destroyed = true;
        if (roll == 1 && m_world.appendBudget > 0) {
            --m_world.appendBudget;
            m_world.scene.Add(std::make_unique<Watcher>(m_world, m_transform.position));
        }
    }

    const int m_id;

private:
    World& m_world;
};

// Every actor's kind, place, turn and place before its last step, as bits.
std::vector<std::uint32_t> Look(vexa::Scene& scene) {
    std::vector<std::uint32_t> seen;
    scene.ForEach([&seen](Actor& actor) {
        seen.push_back(dynamic_cast<Drifter*>(&actor) ? 1u : 2u);
        for (const Transform* t : {&actor.m_transform, &actor.m_previousTransform}) {
            for (float v : {t->position.x, t->position.y, t->rotation, t->scale}) {
                seen.push_back(BitsOf(v));
            }
        }
        seen.push_back(actor.m_destroyed ? 1u : 0u);
    });
    return seen;
}

// The same play on one world: drifters arriving from the right and from far
// left, watchers, looks over the scene, drifters found or visited and put
// back in view, and changes of the step's length.
void Play(World& world, unsigned seed, int steps, std::size_t& mostResting,
          std::vector<std::vector<std::uint32_t>>& looks) {
    std::mt19937 layout(seed);
    std::uniform_real_distribution<float> y(0.0f, 600.0f);
    std::uniform_real_distribution<float> speed(0.0f, 400.0f);
    std::uniform_real_distribution<float> farLeft(-3000.0f, 0.0f);
    for (int i = 0; i < 3; ++i) {
        world.scene.Add(std::make_unique<Watcher>(world, Vector2(400.0f, y(layout))));
    }
    float dt = 1.0f / 60.0f;
    for (int step = 1; step <= steps; ++step) {
        if (step % 3 == 0) {
            const float x = layout() % 2 ? 800.0f : farLeft(layout);
            world.scene.Add(std::make_unique<Drifter>(world, Vector2(x, y(layout)), speed(layout)));
        }
        if (step % 250 == 0) dt = dt == 0.02f ? 1.0f / 60.0f : 0.02f;
        world.scene.Update(dt);
        mostResting = std::max(mostResting, world.scene.CountResting());
        if (step % 330 == 0) {
            // A visit that moves some back into view, resting or not.
            int k = 0;
            world.scene.ForEach([&k](Actor& actor) {
                if (dynamic_cast<Drifter*>(&actor) != nullptr && k++ % 50 == 0) {
                    actor.m_transform.position.x += 1000.0f;
                }
            });
        }
        if (step % 97 == 0) {
            if (Drifter* first = world.scene.GetActor<Drifter>()) {
                first->m_transform.position.x += 1500.0f;
            }
        }
        // Rare enough that resting actors miss hundreds of steps between looks.
        if (step % 400 == 0) looks.push_back(Look(world.scene));
    }
    looks.push_back(Look(world.scene));
}

}  // namespace

TEST(SceneResting, RestingActorsChangeNothingAnyoneCanSee) {
    testing_support::TempDir dir;
    testing_support::ScopedWorkingDirectory cwd(dir.Path());
    dir.Write("unit.txt", "{1,1,1}\n2\n{1,0}\n{0,0}\n");
    auto unit = std::make_shared<vexa::Model>();
    unit->Load("unit.txt");
    // Out of sight means left of a picture that exists.
    testing_support::SoftwareCanvas canvas;

    for (unsigned seed : {1u, 2u, 3u}) {
        World resting(seed);
        World plain(seed);
        resting.unit = plain.unit = unit;
        plain.scene.AllowResting(false);
        std::size_t mostResting = 0;
        std::size_t neverResting = 0;
        std::vector<std::vector<std::uint32_t>> restingLooks;
        std::vector<std::vector<std::uint32_t>> plainLooks;
        Play(resting, seed, 1500, mostResting, restingLooks);
        Play(plain, seed, 1500, neverResting, plainLooks);

        ASSERT_EQ(resting.log.size(), plain.log.size()) << "seed " << seed;
        for (std::size_t i = 0; i < plain.log.size(); ++i) {
            ASSERT_EQ(resting.log[i], plain.log[i]) << "seed " << seed << ", call " << i;
        }
        ASSERT_EQ(restingLooks.size(), plainLooks.size());
        for (std::size_t i = 0; i < plainLooks.size(); ++i) {
            ASSERT_EQ(restingLooks[i], plainLooks[i]) << "seed " << seed << ", look " << i;
        }
        EXPECT_EQ(resting.scene.Count(), plain.scene.Count());

        // The comparison means something: drifters rested by the hundred and
        // were met by watchers, and resting saved most of their updates.
        EXPECT_EQ(neverResting, 0u);
        EXPECT_GT(mostResting, 200u) << "seed " << seed;
        std::size_t drifterCalls = 0;
        for (const std::string& call : plain.log) {
            if (call.find("drifter") != std::string::npos) ++drifterCalls;
        }
        EXPECT_GT(drifterCalls, 20u) << "seed " << seed;
        EXPECT_LT(resting.updates * 2, plain.updates) << "seed " << seed;
    }
}
