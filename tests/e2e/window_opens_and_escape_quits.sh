#!/usr/bin/env bash
# The window "ZAP207" opens at 800 x 600, a request to quit does nothing, and Escape
# ends the program with status 0.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
start_game
window=$(wait_window)

geometry=$(xwininfo -id "$window")
echo "$geometry" | grep -q 'Width: 800' || fail "window width is not 800: $geometry"
echo "$geometry" | grep -q 'Height: 600' || fail "window height is not 600: $geometry"

# A request to quit (SDL turns SIGINT into the same event as the window's close
# button) is read and ignored: only Escape ends the game.
kill -INT "$GAME_PID"
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "a request to quit ended the game"

xdotool keydown Escape
wait_exit 5
xdotool keyup Escape
[ "$EXIT_STATUS" = "0" ] || fail "Escape gave status $EXIT_STATUS, expected 0"
echo "ok"
