#!/usr/bin/env bash
# Holding the left mouse button prints "mouse pressed" once per frame, and
# nothing more once it is released.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
start_game
window=$(wait_window)
# The pointer enters once the game draws, so that it sees the entry.
wait_picture "$window" title 240x50+225+250 white min 300 || fail "no title screen"
window=$(wait_window)
xdo mousemove --window "$window" 400 300

# Held until twenty frames have said so, however slowly frames come.
pressed=$(now_ms)
xdo mousedown 1
wait_lines 20 "mouse pressed" || fail "fewer than 20 lines while the button was held"
xdo mouseup 1
released=$(now_ms)
wait_quiet 0.5 || fail "lines kept coming after release"
held=$(count_lines "mouse pressed")
sleep 1
after=$(count_lines "mouse pressed")

# At most one line per frame of a 60 Hz display (with room for the last frames
# before the release is seen); an unpaced loop would print thousands.
limit=$(((released - pressed) * 150 / 1000 + 30))
[ "$held" -le "$limit" ] || fail "$held lines in $((released - pressed)) ms: more than one per frame"
[ "$after" -eq "$held" ] || fail "lines kept coming after release ($held, then $after)"

quit_with_escape
echo "ok ($held lines)"
