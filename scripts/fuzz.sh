#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs one or all of them for a time budget each.
#   scripts/fuzz.sh [TARGET|all] [SECONDS]     (default: all, 30 s each)
# Targets: model highscore textform sound font replayfile. Each run starts from the kept
# seeds (tests/fuzz/corpus/TARGET) plus what earlier runs found (in
# $BUILD_DIR/corpus/TARGET). An input that crashes, leaks, hangs past the
# timeout or allocates past the limits is kept under tests/fuzz/crashes/TARGET/;
# the ordinary test build replays everything there (ctest -L fuzz), so a kept
# file is a regression test. Exit status 1 when any target found something.
#   BUILD_DIR      fuzz build directory (default: build-fuzz)
#   ZAP207_WERROR  ON to treat warnings as errors (default: ON under CI)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" clang-14 libclang-rt-14-dev

ALL_TARGETS=(model highscore textform sound font replayfile settings)
TARGET=${1:-all}
SECONDS_EACH=${2:-30}
BUILD_DIR=${BUILD_DIR:-build-fuzz}

if [ "$TARGET" = "all" ]; then
    targets=("${ALL_TARGETS[@]}")
elif [[ " ${ALL_TARGETS[*]} " == *" $TARGET "* ]]; then
    targets=("$TARGET")
else
    echo "Unknown fuzz target '$TARGET'; one of: all ${ALL_TARGETS[*]}" >&2
    exit 2
fi

CC=clang-14 CXX=clang++-14 cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZAP207_FUZZ=ON -DZAP207_WERROR="$WERROR" -DBUILD_TESTING=OFF -DZAP207_BENCHMARKS=OFF > /dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target fuzzers

sanitizer_env
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# The model and record targets write a file per input: keep them in memory.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=$(mktemp -d -p /dev/shm); else scratch=$(mktemp -d); fi
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"

# Longest input per target: a model or a record is a few lines, a replay a
# few minutes of runs; the sound and font targets take the size of their
# largest seed.
declare -A MAX_LEN=([model]=2048 [highscore]=64 [textform]=512 [sound]=0 [font]=0 [replayfile]=4096 [settings]=2048)

found=0
for target in "${targets[@]}"; do
    # Absolute paths: a target may change its working directory.
    seeds="$PWD/tests/fuzz/corpus/$target"
    crashes="$PWD/tests/fuzz/crashes/$target"
    corpus="$(cd "$BUILD_DIR" && pwd)/corpus/$target"
    log="$BUILD_DIR/fuzz-$target.log"
    mkdir -p "$corpus" "$crashes"
    echo "== $target: ${SECONDS_EACH} s"
    # Limits: 2 GB resident, no single allocation over 512 MB, 10 s per input.
    status=0
    "$BUILD_DIR/fuzz/${target}_fuzz" "$corpus" "$seeds" \
        -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 \
        -max_len="${MAX_LEN[$target]}" -print_final_stats=1 \
        -artifact_prefix="$crashes/" > "$log" 2>&1 || status=$?
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|#[0-9]+ *DONE' "$log" || true
    echo "   corpus: $(find "$corpus" -type f | wc -l) inputs"
    if [ "$status" -ne 0 ]; then
        found=1
        echo "!! $target found a fault (status $status); see $log and $crashes/" >&2
        grep -E 'ERROR|SUMMARY|Test unit written' "$log" >&2 || true
    fi
done
exit "$found"
