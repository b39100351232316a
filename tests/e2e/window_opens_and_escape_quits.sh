#!/usr/bin/env bash
# The window "ZAP207" opens at 800 x 600, the window's close request ends
# nothing but shows how to quit, and Escape ends the program with status 0.
# Usage: window_opens_and_escape_quits.sh <zap207> <send_close_request>
source "$(dirname "$0")/lib.sh"
CLOSE_REQUEST=$(readlink -f "$2")
start_xvfb
prepare_assets
start_game
window=$(wait_window)
wait_picture "$window" title 240x50+225+250 white min 300 || fail "no title screen"
window=$(wait_window)

geometry=$(xwininfo -id "$window")
grep -q 'Width: 800' <<< "$geometry" || fail "window width is not 800: $geometry"
grep -q 'Height: 600' <<< "$geometry" || fail "window height is not 600: $geometry"

# What a window manager sends for the close button ends nothing: the game says
# how to quit, at the top of the picture, and plays on. A mouse button pressed
# after the request shows on the console once the game has read every event
# before it, the request included.
how_to_quit() { picture_shows "$window" "$1" 300x45+250+42 white 200; }
! how_to_quit before-close || fail "the words on quitting showed before any close request"
"$CLOSE_REQUEST" "$window" || fail "the close request could not be sent"
wait_picture "$window" after-close 300x45+250+42 white min 200 ||
    fail "the close request did not show how to quit"
xdo mousemove --window "$window" 400 300 mousedown 1
wait_lines 1 "mouse pressed" || fail "the close request ended the game"
xdo mouseup 1
xwininfo -id "$window" > /dev/null 2>&1 || fail "the close request took the window away"

quit_with_escape
echo "ok"
