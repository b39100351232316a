#!/usr/bin/env bash
# clang-tidy with the checks in .clang-tidy on every engine and game source
# the desktop build compiles (each finding is an error). Needs no build, only
# the compile commands of a configured one.
#   BUILD_DIR  build directory for the compile commands (default: build-tidy)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" clang-tidy-14

BUILD_DIR=${BUILD_DIR:-build-tidy}
cmake -S . -B "$BUILD_DIR" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBUILD_TESTING=OFF \
    -DZAP207_BENCHMARKS=OFF > /dev/null

# The sources of other platforms are not in this build's commands.
sources=()
for file in engine/*/*.cpp game/*.cpp; do
    grep -q -F "\"file\": \"$PWD/$file\"" "$BUILD_DIR/compile_commands.json" && sources+=("$file")
done
printf '%s\0' "${sources[@]}" |
    xargs -0 -n 4 -P "$JOBS" clang-tidy-14 -p "$BUILD_DIR" --quiet 2> /dev/null
echo "clang-tidy: ${#sources[@]} files clean"
