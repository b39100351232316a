# shellcheck shell=bash
# Shared helpers for the end-to-end tests: a private Xvfb display, the real game
# binary started in a directory of the test's choosing, and xdotool input.
# Every script sources this and gets $GAME (the zap207 binary) as its first argument.
# E2E_KEEP=<dir> keeps a copy of the work directory (screenshots, output) there.
set -euo pipefail

GAME=$(readlink -f "$1")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zap207-e2e.XXXXXX")
# The directory the game starts in (its Assets are looked for there).
GAME_DIR="$WORK/run"
# The player's settings live here, never in the home directory of whoever runs the tests.
export XDG_CONFIG_HOME="$WORK/config"
# How start_game starts the game when given nothing else.
GAME_COMMAND=("$GAME")
GAME_PID=""
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"

cleanup() {
    # Reaped quietly: bash would report a killed job on stderr.
    [ -z "$GAME_PID" ] || { kill -9 "$GAME_PID" && wait "$GAME_PID"; } 2> /dev/null || true
    xvfb_stop
    if [ -n "${E2E_KEEP:-}" ]; then cp -r "$WORK" "$E2E_KEEP"; fi
    rm -rf "$WORK"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/waits.sh"

fail() {
    echo "FAIL: $*" >&2
    if [ -n "$XVFB_PID" ] && ! alive "$XVFB_PID"; then
        echo "--- Xvfb has died:" >&2
        tail -n 20 "$WORK/xvfb.log" >&2
    fi
    if [ -f "$WORK/stderr" ]; then echo "--- game stderr:" >&2; tail -n 20 "$WORK/stderr" >&2; fi
    exit 1
}

start_xvfb() {
    xvfb_start "$WORK" || fail "Xvfb did not start"
    unset SDL_VIDEODRIVER
    export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
}

# Copies the built assets into the work directory so the player's record in the
# build tree is never touched. Pass "no-assets" to start without them.
prepare_assets() {
    local assets
    assets="$(dirname "$GAME")/Assets"
    mkdir -p "$GAME_DIR"
    if [ "${1:-}" != "no-assets" ]; then cp -r "$assets" "$GAME_DIR/Assets"; fi
}

# Starts the game (or the given command) in $GAME_DIR, its output captured.
start_game() {
    [ $# -gt 0 ] || set -- "${GAME_COMMAND[@]}"
    rm -f "$WORK/stdout" "$WORK/stderr"
    (cd "$GAME_DIR" && exec "$@" > "$WORK/stdout" 2> "$WORK/stderr") &
    GAME_PID=$!
}

# xdotool for input, tried again while the X server is too busy to take a new
# connection (as it can be on a loaded machine).
xdo() {
    local attempt
    for attempt in 1 2 3 4 5 6 7 8 9; do
        xdotool "$@" 2> "$WORK/xdotool.err" && return 0
        sleep "0.$attempt"
    done
    xdotool "$@"
}

# Holds a key for the given time (a press and release inside one frame is never seen).
hold_key() {
    xdo keydown "$1"
    sleep "$2"
    xdo keyup "$1"
}

# Escape held until the game has ended, which must be with status 0; then
# waits for its window to go, so that a game started next is not mistaken for it.
quit_with_escape() {
    xdo keydown Escape
    wait_exit "$PATIENCE"
    xdo keyup Escape
    [ "$EXIT_STATUS" = "0" ] || fail "Escape gave status $EXIT_STATUS"
    wait_no_window
}

count_lines() {
    grep -c -x "$1" "$WORK/stdout" 2> /dev/null || true
}

# Saves a screenshot of the window (or of the one that replaced it) and prints its path.
screenshot() {
    local path="$WORK/$2.png" window=$1
    # Never an earlier picture of the same name in place of one not taken.
    rm -f "$path"
    xwininfo -id "$window" > /dev/null 2>&1 || window=$(current_window) || return 1
    # Bounded: a screenshot must never hang the test. Tried again, as xdo is,
    # while the X server is too busy to answer; a shot not taken leaves no file.
    local attempt
    for attempt in 1 2 3; do
        timeout "$PATIENCE" import -window "$window" "$path" 2> "$WORK/import.err" && break
        [ "$attempt" -lt 3 ] && sleep "0.$attempt"
    done
    [ -s "$path" ] || cat "$WORK/import.err" >&2
    echo "$path"
}

# Counts the pixels of a colour (within a small tolerance) in a region WxH+X+Y.
count_colour() {
    convert "$1" -crop "$2" +repage -fuzz 10% -fill black +opaque "$3" \
        -fill white -opaque "$3" -format '%[fx:round(mean*w*h)]' info:
}

# picture_shows WINDOW NAME REGION COLOUR COUNT: a screenshot of the window, kept as
# $WORK/NAME.png, holds more than COUNT pixels of the colour in the region WxH+X+Y.
# Status 1 when no screenshot could be taken.
picture_shows() {
    local path
    path=$(screenshot "$1" "$2") || return 1
    [ "$(count_colour "$path" "$3" "$4")" -gt "$5" ]
}

# Starts a small window manager on the test's display, for what only a window
# manager does: full screen, minimising. It goes with the display. Its very
# first start on a machine (font caches cold) can take many seconds.
# Text is searched as a here-string, never piped into grep -q: under pipefail
# the writer that grep's early exit cuts off would fail the whole line.
window_manager_running() { grep -q 'window id' <<< "$(xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null)"; }
start_window_manager() {
    openbox --sm-disable > "$WORK/openbox.log" 2>&1 &
    wait_until "$PATIENCE" window_manager_running || fail "the window manager did not start"
}

# Holds a key until the check holds: a busy game may take a long while to
# draw a frame, and a press that falls between two frames is never seen. A key
# that has changed nothing after a while is released and, once the game has
# had time to see the release, pressed again (a release and a press inside one
# frame are no new press).
# Usage: press_until <key> <failure message> <check and its arguments>
press_until() {
    local key=$1 what=$2 deadline
    shift 2
    deadline=$(($(now_ms) + PATIENCE * 1000))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        xdo keydown "$key"
        if wait_until 15 "$@"; then
            xdo keyup "$key"
            return 0
        fi
        xdo keyup "$key"
        sleep 0.5
    done
    fail "$what"
}
