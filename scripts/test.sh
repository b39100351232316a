#!/usr/bin/env bash
# Installs what is missing, builds the game and its tests, and runs every test:
# the unit tests and the end-to-end tests of the real game under Xvfb.
#   BUILD_DIR        build directory (default: build, shared with scripts/play.sh;
#                    a build there keeps its type, by default RelWithDebInfo)
#   ZAP207_SANITIZE  ON for an AddressSanitizer + UndefinedBehaviorSanitizer build
#                    (without the benchmarks and the soak program, which no test runs)
#   ZAP207_WERROR    ON to treat warnings as errors (default: ON under CI)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build}
SANITIZE=${ZAP207_SANITIZE:-OFF}

extra=()
[ "$SANITIZE" != "ON" ] || extra=(-DZAP207_BENCHMARKS=OFF -DZAP207_SOAK=OFF)
cmake -S . -B "$BUILD_DIR" -DBUILD_TESTING=ON -DZAP207_SANITIZE="$SANITIZE" -DZAP207_WERROR="$WERROR" \
    "${extra[@]}" > /dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"
[ "$SANITIZE" != "ON" ] || sanitizer_env

cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS"
