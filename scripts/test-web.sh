#!/usr/bin/env bash
# Builds the browser version (scripts/build-web.sh) and plays it in Debian's
# Chromium, headless, driven by Playwright (tests/web/). No browser is ever
# downloaded: Playwright drives the installed one.
#   WEB_KEEP  a directory to keep the screenshots and measurements in
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
source scripts/ensure-packages.sh
ensure_packages chromium
# A node from elsewhere (with its own npm) counts as installed.
command -v npm > /dev/null || ensure_packages nodejs npm

scripts/build-web.sh
built=$SECONDS

export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
(cd tests/web && npm ci --no-audit --no-fund --prefer-offline --loglevel=error)
node --test tests/web/serve.test.js tests/web/game.test.js tests/web/replay.test.js tests/web/storage.test.js \
    tests/web/app.test.js
echo "Browser build: $((built - started)) s; browser tests: $((SECONDS - built)) s"
