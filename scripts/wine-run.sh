#!/usr/bin/env bash
# Runs a Windows program under Wine, without Wine's own messages:
#   scripts/wine-run.sh program.exe [args...]
#   scripts/wine-run.sh --prepare     makes the prefix and prints its path
#   scripts/wine-run.sh --hold        also starts the prefix's server to stay
#   scripts/wine-run.sh --release     stops the server and every program in it
# The Wine prefix is made once and kept in ~/.cache/zap207 (WINEPREFIX picks
# another). Output, exit status and the environment pass straight through.
set -euo pipefail

WINE=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/zap207/wine-prefix-$(dpkg-query -W -f='${Version}' wine64 2>/dev/null | cut -d~ -f1)}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts: the game needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Parallel test runs share the prefix: the first one makes it, the others wait.
if [ ! -f "$WINEPREFIX/.zap207-ready" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.zap207-ready" ]; then
            DISPLAY='' "$WINE" wineboot --init > /dev/null 2>&1 || true
            "$(dirname "$WINE")/wineserver" -w 2>/dev/null || true
            [ -d "$WINEPREFIX/drive_c/windows" ] || { echo "wine-run: could not create $WINEPREFIX" >&2; exit 1; }
            touch "$WINEPREFIX/.zap207-ready"
        fi
    ) 9> "$WINEPREFIX.lock"
fi

case "${1:-}" in
--prepare)
    echo "$WINEPREFIX"
    exit 0
    ;;
--hold)
    # The first Wine program starts the server and Wine's own background
    # programs, which keep its output open for as long as any program of the
    # prefix runs: a test run that waits for a test's output to close would
    # wait for the longest test beside it. Started here, detached from every
    # caller's output, they stay until --release.
    "$(dirname "$WINE")/wineserver" -p < /dev/null > /dev/null 2>&1
    "$WINE" wineboot < /dev/null > /dev/null 2>&1 || true
    exit 0
    ;;
--release)
    "$(dirname "$WINE")/wineserver" -k 2> /dev/null || true
    exit 0
    ;;
esac
exec "$WINE" "$@"
