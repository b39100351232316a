// The maths the rules use, rounded alike on every platform, next to the C library's
// functions it replaced, on the same arguments.
#include "core/PortableMath.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t kCount = 1024;

// A fixed spread of the arguments a game passes: headings within a few turns, offsets
// across the window, and damping over a frame.
struct Arguments {
    std::vector<float> angles;
    std::vector<float> xs;
    std::vector<float> ys;
    std::vector<float> bases;
    std::vector<float> steps;

    Arguments() {
        for (std::size_t i = 0; i < kCount; ++i) {
            const auto t = static_cast<float>(i) / static_cast<float>(kCount);
            angles.push_back(-12.0f + 24.0f * t);
            xs.push_back(-800.0f + 1600.0f * static_cast<float>((i * 37) % kCount) /
                                       static_cast<float>(kCount));
            ys.push_back(-600.0f + 1200.0f * static_cast<float>((i * 91) % kCount) /
                                       static_cast<float>(kCount));
            bases.push_back(0.5f + 0.5f * t);
            steps.push_back((i % 3 == 0) ? 1.0f / 60 : 1.0f / 144);
        }
    }
};

const Arguments& arguments() {
    static const Arguments instance;
    return instance;
}

template <typename Function>
void run(benchmark::State& state, Function function) {
    for (auto _ : state) {
        for (std::size_t i = 0; i < kCount; ++i) benchmark::DoNotOptimize(function(i));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kCount));
}

void SinCosPortable(benchmark::State& state) {
    const auto& a = arguments().angles;
    run(state, [&](std::size_t i) {
        float s;
        float c;
        vexa::portable::SinCos(a[i], s, c);
        return s + c;
    });
}

void SinCosStd(benchmark::State& state) {
    const auto& a = arguments().angles;
    run(state, [&](std::size_t i) { return std::sin(a[i]) + std::cos(a[i]); });
}

void Atan2Portable(benchmark::State& state) {
    const auto& args = arguments();
    run(state, [&](std::size_t i) { return vexa::portable::Atan2(args.ys[i], args.xs[i]); });
}

void Atan2Std(benchmark::State& state) {
    const auto& args = arguments();
    run(state, [&](std::size_t i) { return std::atan2(args.ys[i], args.xs[i]); });
}

void PowPortable(benchmark::State& state) {
    const auto& args = arguments();
    run(state, [&](std::size_t i) { return vexa::portable::Pow(args.bases[i], args.steps[i]); });
}

void PowStd(benchmark::State& state) {
    const auto& args = arguments();
    run(state, [&](std::size_t i) { return std::pow(args.bases[i], args.steps[i]); });
}

}  // namespace

BENCHMARK(SinCosPortable);
BENCHMARK(SinCosStd);
BENCHMARK(Atan2Portable);
BENCHMARK(Atan2Std);
BENCHMARK(PowPortable);
BENCHMARK(PowStd);

BENCHMARK_MAIN();
