#!/usr/bin/env bash
# Builds the game for web browsers and writes the site to dist/web/: the page
# (index.html), zap207.js, zap207.wasm and zap207.data (the packaged assets).
# Installs what is missing; the libraries are built once (scripts/deps.sh).
#   BUILD_DIR      build directory (default: build-web)
#   ZAP207_WERROR  ON to treat warnings as errors (default: ON under CI)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
prefixes=$(scripts/deps.sh web)
source scripts/web-env.sh

BUILD_DIR=${BUILD_DIR:-build-web}

emcmake cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DZAP207_BENCHMARKS=OFF -DZAP207_WERROR="$WERROR" -DCMAKE_FIND_ROOT_PATH="$prefixes" > /dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"

rm -rf dist/web
mkdir -p dist/web
cp web/index.html "$BUILD_DIR/zap207.js" "$BUILD_DIR/zap207.wasm" "$BUILD_DIR/zap207.data" dist/web/
echo "The site is in dist/web/ ($(du -sk dist/web | cut -f1) KiB); scripts/serve-web.sh serves it."
