#!/usr/bin/env bash
# Installs what is missing, builds the game and its tests, and runs every test:
# the unit tests and the end-to-end tests of the real game under Xvfb.
#   BUILD_DIR        build directory (default: build)
#   ZAP207_SANITIZE  ON for an AddressSanitizer + UndefinedBehaviorSanitizer build
#   ZAP207_WERROR    ON to treat warnings as errors (default: ON under CI)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build}
SANITIZE=${ZAP207_SANITIZE:-OFF}

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DZAP207_SANITIZE="$SANITIZE" -DZAP207_WERROR="$WERROR" > /dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"
[ "$SANITIZE" != "ON" ] || sanitizer_env

cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS"
