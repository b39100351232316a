#!/usr/bin/env bash
# zap207.exe under Wine on a private Xvfb display, played as on Linux: the
# window "ZAP207" opens, Space starts a game, W moves the ship, a death writes
# highscore.txt as bare digits, "mouse pressed" reaches the console, and
# Escape ends the program with status 0.
#   game_round_trip.sh <dir>/zap207.exe   (SDL's DLLs and Assets/ beside it)
source "$(dirname "$0")/lib.sh"
SHIP='rgb(76,229,255)'
EMBLEM='rgb(255,89,51)'
TITLE_TEXT='240x50+225+250'

# Waits until the console has had no new line for a second.
wait_quiet() {
    local before=-1 now
    for _ in $(seq 20); do
        now=$(wc -l < "$WORK/stdout")
        [ "$now" -eq "$before" ] && return 0
        before=$now
        sleep 1
    done
}

start_xvfb
prepare_assets
printf '0' > "$WORK/run/Assets/highscore.txt"
start_game
window=$(wait_window)

geometry=$(xwininfo -id "$window")
echo "$geometry" | grep -q 'Width: 800' || fail "window width is not 800: $geometry"
echo "$geometry" | grep -q 'Height: 600' || fail "window height is not 600: $geometry"

wait_colour "$TITLE_TEXT" white min 300 title || fail "no title text on the title screen"
[ "$(count_colour "$WORK/title.png" 800x600+0+0 "$SHIP")" -eq 0 ] || fail "a ship on the title screen"

# The left button held prints one line a frame, and nothing once released.
xdotool mousemove --window "$window" 400 500
sleep 0.3
xdotool mousedown 1
for _ in $(seq 100); do
    [ "$(count_lines 'mouse pressed')" -gt 0 ] && break
    sleep 0.1
done
sleep 1
xdotool mouseup 1
wait_quiet
held=$(count_lines 'mouse pressed')
[ "$held" -ge 10 ] || fail "only $held 'mouse pressed' lines while the button was held for a second"
sleep 1
[ "$(count_lines 'mouse pressed')" -eq "$held" ] || fail "'mouse pressed' lines kept coming after release"

hold_key space 0.3
wait_colour 60x80+70+260 "$SHIP" min 40 playing || fail "no ship at (100, 300) after Space"
wait_colour "$TITLE_TEXT" white max 1 playing || fail "title text still shown in play"

# W at 200 px/s for half a second: about 100 px up.
hold_key w 0.5
wait_colour 60x60+70+270 "$SHIP" max 12 moved || fail "the ship did not leave y 300"
wait_colour 60x100+70+140 "$SHIP" min 40 moved || fail "the ship is not near y 200"

record=$(wait_for_saved_record "$WORK/run/Assets/highscore.txt")
! ls "$WORK/run/Assets" | grep -q '\.tmp$' || fail "a temporary record file was left behind"

wait_colour 700x300+50+40 "$EMBLEM" min 300 game-over || fail "no emblem on the game-over screen"
wait_colour 600x40+50+350 white min 300 game-over || fail "no game-over text"

xdotool keydown Escape
wait_exit 10
xdotool keyup Escape
[ "$EXIT_STATUS" = "0" ] || fail "Escape gave status $EXIT_STATUS"
# Console lines end in a bare newline, as on Linux.
! grep -q $'\r' "$WORK/stdout" || fail "carriage returns in the console output"
echo "ok (record $record)"
