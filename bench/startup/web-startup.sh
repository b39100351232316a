#!/usr/bin/env bash
# The browser game's first visit against a bare Emscripten page that draws the
# title picture with the same libraries (BareTitle.cpp), both built -Oz, both
# served by web/serve.js with their Brotli copies, opened alternately, each in
# a fresh profile of Debian's Chromium: time from navigation to the first drawn
# frame, and bytes over the wire. Needs the game's site (scripts/build-web.sh).
#   bench/startup/web-startup.sh [runs]   (default 7)
#   BARE_ONLY  set: build the bare page (build-web-bare/site) and stop
set -euo pipefail
cd "$(dirname "$0")/../.."
RUNS=${1:-7}
prefixes=$(scripts/deps.sh web)
source scripts/web-env.sh
IFS=';' read -r sdl2 freetype ttf _ <<< "$prefixes"

SITE=build-web-bare/site
rm -rf "$SITE"
mkdir -p "$SITE"
em++ -std=c++17 -Oz -DSDL_MAIN_HANDLED -I"$sdl2/include/SDL2" -I"$ttf/include/SDL2" \
    bench/startup/BareTitle.cpp "$ttf/lib/libSDL2_ttf.a" "$freetype/lib/libfreetype.a" "$sdl2/lib/libSDL2.a" \
    --preload-file Assets/font.ttf@/Assets/font.ttf -s ENVIRONMENT=web -s ALLOW_MEMORY_GROWTH=1 \
    -o "$SITE/bare.js"
cat > "$SITE/index.html" <<'HTML'
<!doctype html>
<html lang="en"><head><meta charset="utf-8"><title>BARE</title></head>
<body><canvas id="canvas" width="800" height="600"></canvas>
<script>var Module = { canvas: document.getElementById('canvas') };</script>
<script async src="bare.js"></script></body></html>
HTML
node scripts/compress-web.js "$SITE/index.html" "$SITE/bare.js" "$SITE/bare.wasm" "$SITE/bare.data"

export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
(cd tests/web && npm ci --no-audit --no-fund --prefer-offline --loglevel=error)
[ "${BARE_ONLY:-}" ] && exit 0
node bench/startup/web-startup.js dist/web "$SITE" "$RUNS"
