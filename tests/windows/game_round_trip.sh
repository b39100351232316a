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

start_xvfb
prepare_assets
printf '0' > "$GAME_DIR/Assets/highscore.txt"
start_game
window=$(wait_window)
wait_picture "$window" title "$TITLE_TEXT" white min 300 || fail "no title text on the title screen"
window=$(wait_window)

geometry=$(xwininfo -id "$window")
grep -q 'Width: 800' <<< "$geometry" || fail "window width is not 800: $geometry"
grep -q 'Height: 600' <<< "$geometry" || fail "window height is not 600: $geometry"
[ "$(count_colour "$WORK/title.png" 800x600+0+0 "$SHIP")" -eq 0 ] || fail "a ship on the title screen"

# The left button held prints one line a frame, and nothing once released.
# Wine on a busy machine can lag well behind the input: held until ten
# frames have said so.
xdo mousemove --window "$window" 400 500
xdo mousedown 1
wait_lines 10 'mouse pressed' || fail "fewer than 10 'mouse pressed' lines while the button was held"
xdo mouseup 1
wait_quiet 1 || fail "'mouse pressed' lines kept coming after release"
held=$(count_lines 'mouse pressed')
sleep 1
[ "$(count_lines 'mouse pressed')" -eq "$held" ] || fail "'mouse pressed' lines kept coming after release"

xdo keydown space
wait_picture "$window" playing 60x80+70+260 "$SHIP" min 40 || fail "no ship at (100, 300) after Space"
xdo keyup space
wait_picture "$window" playing "$TITLE_TEXT" white max 1 || fail "title text still shown in play"

# W at 200 px/s for half a second: about 100 px up; how far exactly depends on
# when Wine lets the game see the release, so any place above will do.
hold_key w 0.5
wait_picture "$window" moved 60x60+70+270 "$SHIP" max 12 || fail "the ship did not leave y 300"
[ "$(count_colour "$WORK/moved.png" 60x250+70+20 "$SHIP")" -gt 40 ] || fail "the ship did not move up"

record=$(wait_for_saved_record "$GAME_DIR/Assets/highscore.txt")
[ -z "$(find "$GAME_DIR/Assets" -name '*.tmp')" ] || fail "a temporary record file was left behind"

wait_picture "$window" game-over 700x300+50+40 "$EMBLEM" min 300 || fail "no emblem on the game-over screen"
wait_picture "$window" game-over 600x40+50+350 white min 300 || fail "no game-over text"

quit_with_escape
# Console lines end in a bare newline, as on Linux.
! grep -q $'\r' "$WORK/stdout" || fail "carriage returns in the console output"
echo "ok (record $record)"
