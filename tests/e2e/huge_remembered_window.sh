#!/usr/bin/env bash
# A settings file that remembers a window of 32767 x 32767 (a size that has
# crashed graphics drivers at every start) starts the game all the same: the
# file is said to be wrong in one line, the window fits the screen and shows
# the title screen, and Escape ends the game as usual.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
SETTINGS="$XDG_CONFIG_HOME/zap207/settings.txt"
mkdir -p "$(dirname "$SETTINGS")"
printf 'window_x = 0\nwindow_y = 0\nwindow_width = 32767\nwindow_height = 32767\n' > "$SETTINGS"
start_game
window=$(wait_window)
wait_picture "$window" title 240x50+225+250 white min 300 || fail "no title screen"
size=$(xwininfo -id "$window" | awk '$1 == "Width:" {w=$2} $1 == "Height:" {h=$2} END {print w " " h}')
read -r width height <<< "$size"
# The test display is 1280 x 800.
[ "$width" -le 1280 ] && [ "$height" -le 800 ] || fail "the window is $width x $height"
quit_with_escape
[ "$(wc -l < "$WORK/stderr")" = 1 ] && grep -q "$SETTINGS" "$WORK/stderr" ||
    fail "the file was not said to be wrong in one line: $(cat "$WORK/stderr")"
echo "ok"
