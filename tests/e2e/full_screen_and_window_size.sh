#!/usr/bin/env bash
# F11 and Alt+Enter switch to the desktop's full screen and back to the window
# as it was; at any size the whole picture is shown, as large as fits, centred
# between black bars.
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

has_geometry() {
    alive "$GAME_PID" || fail "the game died"
    [ "$(geometry)" = "$1" ]
}
wait_geometry() {
    wait_until "$PATIENCE" has_geometry "$1" || fail "$2: the window is $(geometry), not $1"
}

# Waits until the picture's lit pixels lie within WxH+X+Y and reach across
# most of it (the title screen's score and high score span from a tenth to
# four fifths of its breadth): the game draws at a new size from its next
# frame on, and the frame before may still be on screen.
picture_within() {
    local path w h x y pw ph px py end=$((SECONDS + PATIENCE)) attempt=0
    read -r pw ph px py <<< "$(echo "$1" | tr 'x+' '  ')"
    while [ "$SECONDS" -lt "$end" ]; do
        attempt=$((attempt + 1))
        path=$(screenshot "$window" "$2-$attempt")
        read -r w h x y <<< "$(convert "$path" -threshold 5% -trim -format '%w %h %X %Y' info: | tr -d '+')"
        [ "$x" -ge "$px" ] && [ "$y" -ge "$py" ] && [ $((x + w)) -le $((px + pw)) ] &&
            [ $((y + h)) -le $((py + ph)) ] && [ "$x" -le $((px + pw / 10)) ] &&
            [ $((x + w)) -ge $((px + pw * 4 / 5)) ] && return 0
        alive "$GAME_PID" || fail "the game died"
        sleep 0.2
    done
    fail "$2: lit $w x $h at $x,$y, not across the picture $1"
}

xdo windowactivate --sync "$window"
xdo windowsize --sync "$window" 900 650
xdo windowmove --sync "$window" 40 50
before=$(geometry)
# 900 x 650 holds the picture at 13/12 of its size: 867 x 650.
picture_within 867x650+16+0 "900x650"

# Presses the keys until the window takes the geometry: a busy game may take
# a long while to draw a frame, and a press that falls between two frames is
# never seen. It is pressed again only while the window still stands where it
# was, so a slow switch is never undone.
switch_to() {
    local keys=$1 wanted=$2 from deadline
    from=$(geometry)
    deadline=$(($(now_ms) + PATIENCE * 1000))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        xdo keydown ${keys//+/ keydown }
        sleep 0.2
        xdo keyup ${keys//+/ keyup }
        wait_until 5 has_geometry "$wanted" && return 0
        [ "$(geometry)" = "$from" ] || break
    done
    wait_geometry "$wanted" "$keys"
}

for keys in F11 alt+Return; do
    switch_to "$keys" "${screen_width}x${screen_height}+0+0"
    # The desktop of the test display is 1280 x 800: 1067 x 800 in the middle.
    picture_within 1067x800+106+0 "full-screen-$keys"
    switch_to "$keys" "$before"
done

# Any size: a third larger, then half as tall as the picture.
xdo windowsize --sync "$window" 1067 800
picture_within 1067x800+0+0 "larger"
xdo windowsize --sync "$window" 600 300
picture_within 400x300+100+0 "smaller"
xdo windowsize --sync "$window" 800 600
picture_within 800x600+0+0 "800x600"
placed=$(geometry)
quit_with_escape

# The next start puts the window where it was left, to the pixel: the window
# manager's frame counted twice would move it a title bar down at each start.
start_game
window=$(wait_window)
wait_geometry "$placed" "the next start"
quit_with_escape
echo "ok"
