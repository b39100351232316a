#!/usr/bin/env bash
# A remembered window far larger than any display (such sizes have crashed
# graphics drivers at every start) opens fitted to the screen, showing the
# title screen, and Escape ends the game as usual.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
mkdir -p "$XDG_CONFIG_HOME/zap207"
printf 'window_x = 0\nwindow_y = 0\nwindow_width = 16384\nwindow_height = 16384\n' \
    > "$XDG_CONFIG_HOME/zap207/settings.txt"
start_game
window=$(wait_window)
# The test display is 1280 x 800; the title lies in the middle of the picture.
wait_picture "$window" title 1280x260+0+270 white min 300 || fail "no title screen"
size=$(xwininfo -id "$window" | awk '$1 == "Width:" {w=$2} $1 == "Height:" {h=$2} END {print w "x" h}')
[ "$size" = 1280x800 ] || fail "the window is $size, not the screen's 1280x800"
quit_with_escape
[ ! -s "$WORK/stderr" ] || fail "the game complained: $(cat "$WORK/stderr")"
echo "ok"
