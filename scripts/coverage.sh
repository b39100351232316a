#!/usr/bin/env bash
# Line and branch coverage of engine/ and game/ from the unit tests, measured
# with gcov in an unoptimised build and reported by gcovr: a summary on stdout
# and an HTML report in $BUILD_DIR/coverage/index.html. A measure, not a gate:
# failing unit tests are reported, and the coverage of what ran still is.
#   BUILD_DIR  build directory (default: build-coverage)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" gcovr

BUILD_DIR=${BUILD_DIR:-build-coverage}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DZAP207_BENCHMARKS=OFF \
    -DZAP207_WERROR="$WERROR" -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage \
    -DZAP207_UNIT_TEST_TIMEOUT=300 > /dev/null
# Only the unit tests: the game, the tools and the other tests add nothing here.
unit_tests=(core_tests renderer_tests input_tests audio_tests framework_tests game_tests)
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${unit_tests[@]}"

# Counts from earlier runs would add up.
find "$BUILD_DIR" -name '*.gcda' -delete
status=0
(cd "$BUILD_DIR" && ctest -j "$JOBS" -LE 'e2e|install|fuzz' --output-on-failure) || status=$?
[ "$status" -eq 0 ] || echo "Some unit tests failed (status $status): coverage of what ran." >&2

mkdir -p "$BUILD_DIR/coverage"
# Branches the compiler adds for exceptions and for code it proved unreachable
# are not decisions in our code.
gcovr --root . --object-directory "$BUILD_DIR" --filter 'engine/' --filter 'game/' \
    --exclude-throw-branches --exclude-unreachable-branches \
    --html-details "$BUILD_DIR/coverage/index.html" --txt "$BUILD_DIR/coverage/summary.txt" \
    --print-summary | tail -n 3
echo "Per file: $BUILD_DIR/coverage/summary.txt; report: $BUILD_DIR/coverage/index.html"
