#!/usr/bin/env bash
# The window "ZAP207" opens at 800 x 600, closing it does nothing, and Escape
# ends the program with status 0.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
start_game
window=$(wait_window)

geometry=$(xwininfo -id "$window")
echo "$geometry" | grep -q 'Width: 800' || fail "window width is not 800: $geometry"
echo "$geometry" | grep -q 'Height: 600' || fail "window height is not 600: $geometry"

# A close request is read and ignored: only Escape ends the game.
xdotool windowclose "$window" 2>/dev/null || xdotool key --window "$window" alt+F4 || true
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "closing the window ended the game"

xdotool keydown Escape
status=$(wait_exit 5)
xdotool keyup Escape
[ "$status" = "0" ] || fail "Escape gave status $status, expected 0"
echo "ok"
