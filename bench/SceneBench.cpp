// The per-frame costs that grow with play: the scene's all-pairs collision
// pass and the walk over the particle pool.
#include "core/Random.h"
#include "core/Transform.h"
#include "framework/Actor.h"
#include "framework/Scene.h"
#include "renderer/Model.h"
#include "renderer/ParticleSystem.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

namespace {

// A rock-sized outline, written once to the temp directory and loaded the way
// the game loads its models.
std::shared_ptr<vexa::Model> RockModel() {
    const auto path = std::filesystem::temp_directory_path() / "zap207-bench-rock.txt";
    {
        std::ofstream file(path);
        file << "{0.6, 0.6, 0.6}\n9\n{-4,-6}\n{3,-7}\n{7,-2}\n{6,4}\n{1,7}\n{-5,6}\n{-8,1}\n"
                "{-6,-4}\n{-4,-6}\n";
    }
    auto model = std::make_shared<vexa::Model>();
    model->Load(path.string());
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return model;
}

void SceneUpdate(benchmark::State& state) {
    const auto model = RockModel();
    vexa::seedRandom(1);
    vexa::Scene scene;
    for (int i = 0; i < state.range(0); ++i) {
        const vexa::Vector2 position(vexa::randomf(800.0f), vexa::randomf(600.0f));
        scene.Add(std::make_unique<vexa::Actor>(vexa::Transform(position, 0.0f, 3.0f), model));
    }
    for (auto _ : state) scene.Update(1.0f / 60.0f);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(SceneUpdate)->Arg(50)->Arg(200)->Arg(800)->Complexity(benchmark::oNSquared);

void ParticlePoolUpdate(benchmark::State& state) {
    vexa::ParticleSystem pool(1000);
    vexa::ParticleData data;
    data.velocity = vexa::Vector2(30.0f, -40.0f);
    data.damping = 0.5f;
    data.lifespan = 1.0e9f;
    for (auto& particle : pool.m_particles) particle.Initialize(data);
    for (auto _ : state) {
        pool.Update(1.0f / 60.0f);
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

}  // namespace

BENCHMARK_MAIN();
