#!/usr/bin/env bash
# Every JavaScript file of the project, and the page's script, through ESLint
# and Prettier at the versions tests/web/package.json pins.
#   --fix  rewrite the files in Prettier's format first
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
command -v npm > /dev/null || ensure_packages nodejs npm
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
(cd tests/web && npm ci --no-audit --no-fund --prefer-offline --loglevel=error)

bin=tests/web/node_modules/.bin
files=(web/*.js engine/platform/PlatformWeb.js scripts/compress-web.js bench/startup/*.js tests/web/*.js tests/web/*.mjs)
if [ "${1:-}" = --fix ]; then
    "$bin/prettier" --config tests/web/.prettierrc.json --write "${files[@]}"
fi
"$bin/prettier" --config tests/web/.prettierrc.json --check "${files[@]}"
"$bin/eslint" --config tests/web/eslint.config.mjs --max-warnings 0 "${files[@]}"
