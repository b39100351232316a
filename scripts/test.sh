#!/usr/bin/env bash
# Installs what is missing, builds the game and its tests, and runs every test:
# the unit tests and the end-to-end tests of the real game under Xvfb.
#   BUILD_DIR        build directory (default: build)
#   ZAP207_SANITIZE  ON for an AddressSanitizer + UndefinedBehaviorSanitizer build
#   ZAP207_WERROR    ON to treat warnings as errors (default: ON under CI)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build}
SANITIZE=${ZAP207_SANITIZE:-OFF}
WERROR=${ZAP207_WERROR:-$([ "${CI:-}" = "true" ] && echo ON || echo OFF)}

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DZAP207_SANITIZE="$SANITIZE" -DZAP207_WERROR="$WERROR" > /dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"

if [ "$SANITIZE" = "ON" ]; then
    # Leaks inside the system's X11, GL, font and sound libraries are theirs.
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

cd "$BUILD_DIR"
ctest --output-on-failure -j "$(nproc)"
