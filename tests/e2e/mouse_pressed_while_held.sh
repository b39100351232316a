#!/usr/bin/env bash
# Holding the left mouse button prints "mouse pressed" once per frame, and
# nothing more once it is released.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
start_game
window=$(wait_window)
xdotool mousemove --window "$window" 400 300
sleep 0.3

xdotool mousedown 1
sleep 1
xdotool mouseup 1
sleep 0.3
held=$(count_lines "mouse pressed")
sleep 0.7
after=$(count_lines "mouse pressed")

# About one line per frame of a 60 Hz display: far more than a single click
# and far fewer than an unpaced loop would print.
[ "$held" -ge 20 ] || fail "only $held lines while held for a second"
[ "$held" -le 150 ] || fail "$held lines in a second: more than one per frame"
[ "$after" -eq "$held" ] || fail "lines kept coming after release ($held, then $after)"

xdotool keydown Escape
wait_exit 5
[ "$EXIT_STATUS" = "0" ] || fail "Escape gave status $EXIT_STATUS"
echo "ok ($held lines)"
