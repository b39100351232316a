// The rules alone, as --verify runs them: a kept run played from its file to
// its end, set-up included, as a board of runs would re-run each entry. The
// counters say how many steps a second that is, and how many times faster
// than the run was played.
#include "Verify.h"

#include "core/File.h"
#include "core/Replay.h"
#include "core/Time.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

namespace {

const std::string kGoldenDir = std::string(ZAP207_SOURCE_ASSETS) + "/../tests/game/golden/";

void VerifyKeptRun(benchmark::State& state, const char* name) {
    const std::filesystem::path file = kGoldenDir + name;
    vexa::SetFilePath(ZAP207_SOURCE_ASSETS);
    vexa::Replay replay;
    std::string reason;
    const vexa::FileContents contents = vexa::ReadDataFile(file, vexa::Replay::kMaxFileBytes);
    if (!contents.Ok() || !vexa::DecodeReplay(contents.bytes, replay, reason)) {
        state.SkipWithError("the kept run cannot be read");
        return;
    }
    // Its one line a run is no part of the measure.
    std::ostringstream lines;
    std::streambuf* const console = std::cout.rdbuf(lines.rdbuf());
    for (auto _ : state) {
        if (verifyReplay(file) != 0) {
            state.SkipWithError("the kept run does not verify");
            break;
        }
        lines.str({});
    }
    std::cout.rdbuf(console);
    const auto steps = static_cast<double>(replay.steps.size());
    const auto runs = static_cast<double>(state.iterations());
    state.counters["steps/s"] = benchmark::Counter(steps * runs, benchmark::Counter::kIsRate);
    state.counters["x real time"] =
        benchmark::Counter(steps * runs / vexa::Time::kStepsPerSecond, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(VerifyKeptRun, crash, "crash-into-the-first-wave.replay")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(VerifyKeptRun, powerup, "powerup-then-crash.replay")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
