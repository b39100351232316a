# Shared helpers for the end-to-end tests: a private Xvfb display, the real game
# binary started in a directory of the test's choosing, and xdotool input.
# Every script sources this and gets $GAME (the zap207 binary) as its first argument.
# E2E_KEEP=<dir> keeps a copy of the work directory (screenshots, output) there.
set -euo pipefail

GAME=$(readlink -f "$1")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zap207-e2e.XXXXXX")
XVFB_PID=""
GAME_PID=""

cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    if [ -n "${E2E_KEEP:-}" ]; then cp -r "$WORK" "$E2E_KEEP"; fi
    rm -rf "$WORK"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/waits.sh"

fail() {
    echo "FAIL: $*" >&2
    if [ -f "$WORK/stderr" ]; then echo "--- game stderr:" >&2; tail -n 20 "$WORK/stderr" >&2; fi
    exit 1
}

start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$WORK/display" > "$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$WORK/display" ] && break
        sleep 0.1
    done
    [ -s "$WORK/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$WORK/display")"
    unset SDL_VIDEODRIVER
    export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
}

# Copies the built assets into the work directory so the player's record in the
# build tree is never touched. Pass "no-assets" to start without them.
prepare_assets() {
    local assets
    assets="$(dirname "$GAME")/Assets"
    mkdir -p "$WORK/run"
    if [ "${1:-}" != "no-assets" ]; then cp -r "$assets" "$WORK/run/Assets"; fi
}

start_game() {
    (cd "$WORK/run" && exec "$GAME" > "$WORK/stdout" 2> "$WORK/stderr") &
    GAME_PID=$!
}

# Waits up to the given seconds for the game to exit; sets EXIT_STATUS to its
# status, or to "running". Not to be called in a subshell: only this shell can
# collect the game's status.
wait_exit() {
    local seconds=$1
    EXIT_STATUS="running"
    for _ in $(seq $((seconds * 10))); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            EXIT_STATUS=0
            wait "$GAME_PID" || EXIT_STATUS=$?
            GAME_PID=""
            return 0
        fi
        sleep 0.1
    done
}

# Holds a key for the given time (a press and release inside one frame is never seen).
hold_key() {
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

count_lines() {
    grep -c -x "$1" "$WORK/stdout" || true
}

# Saves a screenshot of the window and prints its path.
screenshot() {
    local path="$WORK/$2.png"
    import -window "$1" "$path"
    echo "$path"
}

# Counts the pixels of a colour (within a small tolerance) in a region WxH+X+Y.
count_colour() {
    convert "$1" -crop "$2" +repage -fuzz 10% -fill black +opaque "$3" \
        -fill white -opaque "$3" -format '%[fx:round(mean*w*h)]' info:
}

# Starts a small window manager on the test's display, for what only a window
# manager does: full screen, minimising. It goes with the display.
start_window_manager() {
    openbox --sm-disable > "$WORK/openbox.log" 2>&1 &
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    fail "the window manager did not start"
}
