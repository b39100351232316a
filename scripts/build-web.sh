#!/usr/bin/env bash
# Builds the game for web browsers and writes the site to dist/web/: the page
# (index.html), zap207.js, zap207.wasm and zap207.data (the packaged assets),
# the app's manifest, icons and offline service worker (sw.js).
# Installs what is missing; the libraries are built once (scripts/deps.sh).
#   BUILD_DIR      build directory (default: build-web)
#   ZAP207_WERROR  ON to treat warnings as errors (default: ON under CI)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
prefixes=$(scripts/deps.sh web)
source scripts/ensure-packages.sh
source scripts/web-env.sh

BUILD_DIR=${BUILD_DIR:-build-web}

# The app's icons come from the build's own icon tool, built for this machine,
# and the font from the whole face, cut down there to what the game draws.
ensure_packages "${BUILD_PACKAGES[@]}" python3-fonttools
make_icons=$(host_make_icons)
web_font=$(host_build web_font web-font/font.ttf)

# The assets the page packages: the desktop's, with the smaller font and
# without the sounds, which the game makes at start when it finds them missing
# (game/Sounds.cpp). The game never reads the font's licence: the site carries
# it beside the page. Copies keep their times, so an unchanged set does not
# link the game again.
mkdir -p "$BUILD_DIR/web-assets"
find "$BUILD_DIR/web-assets" -mindepth 1 -delete
find Assets -maxdepth 1 -type f ! -name FONT-LICENSE.txt ! -name font.ttf ! -name '*.wav' \
    -exec cp -p {} "$BUILD_DIR/web-assets/" \;
cp -p "$web_font" "$BUILD_DIR/web-assets/font.ttf"

# Libraries found for other builds of the dependencies stay in CMake's cache.
if [ -f "$BUILD_DIR/CMakeCache.txt" ] &&
    ! grep -qxF "CMAKE_FIND_ROOT_PATH:UNINITIALIZED=$prefixes" "$BUILD_DIR/CMakeCache.txt"; then
    rm "$BUILD_DIR/CMakeCache.txt"
fi
emcmake cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DZAP207_BENCHMARKS=OFF -DZAP207_WERROR="$WERROR" -DCMAKE_FIND_ROOT_PATH="$prefixes" \
    -DZAP207_WEB_ASSETS="$PWD/$BUILD_DIR/web-assets" > /dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"

rm -rf dist/web
mkdir -p dist/web
cp web/index.html web/page.js web/manifest.webmanifest Assets/FONT-LICENSE.txt \
    "$BUILD_DIR/zap207.js" "$BUILD_DIR/zap207.wasm" "$BUILD_DIR/zap207.data" dist/web/
"$make_icons" Assets/falcon.txt dist/web/icons 192 512
"$make_icons" --maskable Assets/falcon.txt dist/web/icons/maskable 512
rm dist/web/icons/zap207.svg dist/web/icons/maskable/zap207.svg
# Compressed once here; scripts/serve-web.sh sends the copies to browsers that take them.
node scripts/compress-web.js dist/web/index.html dist/web/page.js dist/web/zap207.js dist/web/zap207.wasm dist/web/zap207.data \
    dist/web/manifest.webmanifest
# The offline copy is named after what it holds, so each new build replaces it.
version=$(cd dist/web && find . -type f -print0 | sort -z | xargs -0 sha256sum | sha256sum | cut -c1-16)
# It also knows each file it keeps (the ones it lists) by its hash, so a
# damaged copy is never served.
hashes=$(node -e '
const { createHash } = require("crypto");
const { readFileSync } = require("fs");
const list = /const FILES = (\[[^\]]*\]);/.exec(readFileSync("web/sw.js", "utf8"))[1];
const hashes = {};
for (const file of JSON.parse(list.replace(/\x27/g, "\"").replace(/,\s*\]$/, "]"))) {
  const name = file === "./" ? "index.html" : file;
  hashes[file] = createHash("sha256").update(readFileSync("dist/web/" + name)).digest("hex");
}
console.log(JSON.stringify(hashes));
')
sed -e "s/@VERSION@/$version/" -e "s|@HASHES@|$hashes|" web/sw.js > dist/web/sw.js
if grep -q '@[A-Z]*@' dist/web/sw.js; then
    echo "sw.js: a placeholder was left unfilled" >&2
    exit 1
fi
echo "The site is in dist/web/ ($(du -sk dist/web | cut -f1) KiB); scripts/serve-web.sh serves it."
