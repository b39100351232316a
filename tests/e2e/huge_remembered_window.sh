#!/usr/bin/env bash
# A settings file that remembers a window far larger than any display (sizes
# like this have crashed graphics drivers at every start) starts the game
# with its window fitted to the screen, showing the title screen; Escape ends
# it as usual.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
mkdir -p "$XDG_CONFIG_HOME/zap207"
printf 'window_x = 0\nwindow_y = 0\nwindow_width = 16384\nwindow_height = 16384\n' \
    > "$XDG_CONFIG_HOME/zap207/settings.txt"
start_game
window=$(wait_window)
read -r screen_width screen_height < <(xwininfo -root | awk '$1 == "Width:" {w=$2} $1 == "Height:" {h=$2} END {print w, h}')

# The picture fills the fitted window's height: the title's letters lie in
# its middle third.
wait_picture "$window" title "${screen_width}x$((screen_height / 3))+0+$((screen_height / 3))" \
    white min 300 || fail "no title screen"
read -r width height < <(xwininfo -id "$window" | awk '$1 == "Width:" {w=$2} $1 == "Height:" {h=$2} END {print w, h}')
if [ "$width" -gt "$screen_width" ] || [ "$height" -gt "$screen_height" ] ||
    [ "$width" -lt 400 ] || [ "$height" -lt 300 ]; then
    fail "the window is $width x $height on a $screen_width x $screen_height screen"
fi
quit_with_escape
[ ! -s "$WORK/stderr" ] || fail "the game complained: $(cat "$WORK/stderr")"
echo "ok"
