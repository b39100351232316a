// The per-frame costs that grow with play: the scene's update and collision
// pass, next to the walk over every pair it replaced, and the particle pool;
// and what bringing a resting actor up to date costs.
#include "PlayLayout.h"

#include "AllPairsScene.h"

#include "core/Transform.h"
#include "framework/Actor.h"
#include "framework/Scene.h"
#include "renderer/Model.h"
#include "renderer/ParticleSystem.h"

#include <benchmark/benchmark.h>

#include <iterator>
#include <list>
#include <memory>
#include <string>

namespace {

std::shared_ptr<vexa::Model> Asset(const char* name) {
    auto model = std::make_shared<vexa::Model>();
    model->Load(std::string(ZAP207_SOURCE_ASSETS) + "/" + name);
    return model;
}

// The scene as it was first written: every pair tested, and the ship found by
// a walk of the whole list on every lookup.
using PlainScene = testing_support::AllPairsScene;

class Ship : public vexa::Actor {
public:
    using Actor::Actor;
};

// An asteroid as the game has it: it turns towards the ship on every update
// and drifts left. Power-ups only drift.
template <typename SceneT>
class Drifter : public vexa::Actor {
public:
    Drifter(SceneT& scene, bool turns, const vexa::Transform& transform,
            std::shared_ptr<vexa::Model> model)
        : Actor(transform, std::move(model)), m_home{scene}, m_turns{turns} {}

    void Update(float dt) override {
        Actor::Update(dt);
        if (m_turns) {
            if (const Ship* ship = m_home.template GetActor<Ship>()) {
                const vexa::Vector2 direction = ship->m_transform.position - m_transform.position;
                m_transform.rotation = direction.Angle() + vexa::kHalfPi;
            }
        }
        m_transform.position += vexa::Vector2(-1.0f, 0.0f) * bench::kDrift * dt;
    }

private:
    SceneT& m_home;
    bool m_turns;
};

template <typename SceneT>
void Fill(SceneT& scene, std::size_t count, bool withShip) {
    static const auto falcon = Asset("falcon.txt");
    static const auto asteroid = Asset("asteroid.txt");
    static const auto powerup = Asset("powerup.txt");
    const auto arrivals = bench::PlayFor(bench::SecondsFor(count), withShip ? count - 1 : count);
    if (withShip) {
        const vexa::Vector2 at(100.0f, bench::ClearHeight(arrivals));
        scene.Add(std::make_unique<Ship>(vexa::Transform(at, vexa::kHalfPi, 6.0f), falcon));
    }
    for (const bench::Arrival& a : arrivals) {
        scene.Add(std::make_unique<Drifter<SceneT>>(
            scene, !a.powerup, vexa::Transform(a.position, vexa::kHalfPi, 5.0f),
            a.powerup ? powerup : asteroid));
    }
}

// Arguments: actors in the scene; 1 with the ship alive, 0 after it burst.
template <typename SceneT>
void SceneUpdate(benchmark::State& state) {
    SceneT scene;
    Fill(scene, static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) scene.Update(bench::kFrame);
    state.counters["actors"] = static_cast<double>(scene.Count());
}
BENCHMARK_TEMPLATE(SceneUpdate, PlainScene)
    ->ArgNames({"actors", "ship"})
    ->ArgsProduct({{50, 1125, 2250, 4500, 9000}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(SceneUpdate, vexa::Scene)
    ->ArgNames({"actors", "ship"})
    ->ArgsProduct({{50, 1125, 2250, 4500, 9000}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);

// A full pool of sparks as an explosion leaves them. A spark lives at most
// 1.5 s, so every 90 frames they start again: left running, the damped speeds
// would sink into denormal floats and measure something the game never does.
void ParticlePoolUpdate(benchmark::State& state) {
    vexa::ParticleSystem pool(1000);
    vexa::ParticleData data;
    data.velocity = vexa::Vector2(30.0f, -40.0f);
    data.damping = 0.5f;
    data.lifespan = 1.5f;
    int frame = 0;
    for (auto _ : state) {
        if (frame++ % 90 == 0) {
            for (auto& particle : pool.m_particles) particle.Initialize(data);
        }
        pool.Update(bench::kFrame);
        benchmark::DoNotOptimize(pool.m_particles.data());
    }
}
BENCHMARK(ParticlePoolUpdate);

void ParticlePoolFindFreeWhenFull(benchmark::State& state) {
    vexa::ParticleSystem pool(1000);
    for (auto& particle : pool.m_particles) particle.m_isActive = true;
    for (auto _ : state) benchmark::DoNotOptimize(pool.GetFreeParticle());
}
BENCHMARK(ParticlePoolFindFreeWhenFull);

// A resting asteroid brought up to date: the place an hour of steps past the
// left edge leaves it, as the digest at the end of a run asks for it.
void RestingCatchUpOfAnHour(benchmark::State& state) {
    const float drift = -bench::kDrift * bench::kFrame;
    float start = -20.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(start);
        benchmark::DoNotOptimize(vexa::Actor::AddedRepeatedly(start, drift, 216000));
    }
}
BENCHMARK(RestingCatchUpOfAnHour);

}  // namespace

BENCHMARK_MAIN();
