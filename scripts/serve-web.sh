#!/usr/bin/env bash
# Serves the browser build in dist/web/ on this machine only and prints the
# address to open. Build it first with scripts/build-web.sh.
#   PORT  the port to listen on (default: 8207; 0 picks a free one)
set -euo pipefail
cd "$(dirname "$0")/.."
exec node web/serve.js dist/web "${PORT:-8207}"
