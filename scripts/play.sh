#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it. The build is the
# one in build/ that scripts/test.sh and `cmake -S . -B build` make too.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build}
configure_new "$BUILD_DIR" -DBUILD_TESTING=OFF
cmake --build "$BUILD_DIR" --target zap207 -j "$JOBS"

# The game finds its data in Assets beside it, so it starts from the build directory.
cd "$BUILD_DIR"
exec ./zap207
