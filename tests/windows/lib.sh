# shellcheck shell=bash disable=SC2034  # GAME_COMMAND is read by start_game
# The end-to-end helpers of tests/e2e/lib.sh, with zap207.exe started under
# Wine. Every script sources this with the path of zap207.exe as its first
# argument; SDL's DLLs and Assets/ are expected beside it.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
WINE_RUN="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine-run.sh"

# A Wine prefix of its own, copied from the cached one: Wine's desktop process
# keeps the display it was started with, so one shared with the unit tests
# (no display) could not open the window.
PREFIX_COPY=$(mktemp -d "${TMPDIR:-/tmp}/zap207-wine.XXXXXX")
cp -a "$("$WINE_RUN" --prepare)/." "$PREFIX_COPY"
export WINEPREFIX="$PREFIX_COPY"
stop_wine() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null || true
    GAME_PID=""
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$PREFIX_COPY"
    cleanup
}
trap stop_wine EXIT

# Wine in place of the program: its status is the program's, and its standard
# output is the program's console.
GAME_COMMAND=("$WINE_RUN" "$GAME")
