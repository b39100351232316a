#!/usr/bin/env bash
# F11 and Alt+Enter switch to the desktop's full screen and back to the window
# as it was; at any size the whole picture is shown, as large as fits, centred
# between black bars; minimising pauses a run.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_window_manager
prepare_assets
start_game
window=$(wait_window)
read -r screen_width screen_height < <(xwininfo -root | awk '$1 == "Width:" {w=$2} $1 == "Height:" {h=$2} END {print w, h}')

# Prints the window's size and place as "WxH+X+Y".
geometry() {
    xwininfo -id "$window" | awk '$1 == "Absolute" && $3 == "X:" {x=$4} $1 == "Absolute" && $3 == "Y:" {y=$4}
        $1 == "Width:" {w=$2} $1 == "Height:" {h=$2} END {print w "x" h "+" x "+" y}'
}

wait_geometry() {
    for _ in $(seq 100); do
        [ "$(geometry)" = "$1" ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game died"
        sleep 0.1
    done
    fail "$2: the window is $(geometry), not $1"
}

# Checks that the picture's lit pixels lie within WxH+X+Y and that there are
# some: the title screen's texts and stars fill the picture's breadth.
picture_within() {
    local path lit
    path=$(screenshot "$window" "$2")
    read -r w h x y <<< "$(convert "$path" -threshold 5% -trim -format '%w %h %X %Y' info: | tr -d '+')"
    read -r pw ph px py <<< "$(echo "$1" | tr 'x+' '  ')"
    [ "$x" -ge "$px" ] && [ "$y" -ge "$py" ] && [ $((x + w)) -le $((px + pw)) ] &&
        [ $((y + h)) -le $((py + ph)) ] || fail "$2: lit $w x $h at $x,$y outside the picture $1"
    # And reach most of it: the texts span it from near the left to the high score on the right.
    [ "$w" -ge $((pw * 3 / 4)) ] || fail "$2: lit only $w of the picture's $pw pixels across"
}

xdotool windowactivate --sync "$window"
xdotool windowsize --sync "$window" 900 650
xdotool windowmove --sync "$window" 40 50
before=$(geometry)
# 900 x 650 holds the picture at 13/12 of its size: 867 x 650.
picture_within 867x650+16+0 "900x650"

for keys in F11 alt+Return; do
    xdotool keydown ${keys//+/ keydown }
    sleep 0.2
    xdotool keyup ${keys//+/ keyup }
    wait_geometry "${screen_width}x${screen_height}+0+0" "$keys"
    # The desktop of the test display is 1280 x 800: 1067 x 800 in the middle.
    picture_within 1067x800+106+0 "full-screen-$keys"
    xdotool keydown ${keys//+/ keydown }
    sleep 0.2
    xdotool keyup ${keys//+/ keyup }
    wait_geometry "$before" "$keys again"
done

# Any size: a third larger, then half as tall as the picture.
xdotool windowsize --sync "$window" 1067 800
sleep 0.5
picture_within 1067x800+0+0 "larger"
xdotool windowsize --sync "$window" 600 300
sleep 0.5
picture_within 400x300+100+0 "smaller"
xdotool windowsize --sync "$window" 800 600
sleep 0.5

# Minimised during a run: paused, and still paused when shown again.
hold_key space 0.3
sleep 1
xdotool windowminimize --sync "$window"
sleep 0.5
xdotool windowactivate --sync "$window"
sleep 0.5
a=$(screenshot "$window" restored-a)
sleep 0.5
b=$(screenshot "$window" restored-b)
[ "$(compare -metric AE "$a" "$b" null: 2>&1 || true)" = "0" ] || fail "the game ran on after minimising"
[ "$(count_colour "$b" 400x100+200+250 white)" -gt 500 ] || fail "no pause caption after minimising"

xdotool keydown Escape
wait_exit 10
[ "$EXIT_STATUS" = "0" ] || fail "Escape gave status $EXIT_STATUS"
echo "ok"
