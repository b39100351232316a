#!/usr/bin/env bash
# A whole round as a player sees it: the title screen, Space, W moving the ship,
# a run ending on an asteroid with the record saved as bare digits, the
# game-over screen, Space through the title into the next game, and Escape.
source "$(dirname "$0")/lib.sh"
SHIP='rgb(76,229,255)'
EMBLEM='rgb(255,89,51)'
TITLE_TEXT='240x50+225+250'
start_xvfb
prepare_assets
printf '0' > "$WORK/run/Assets/highscore.txt"
start_game
window=$(wait_window)
sleep 1

shot=$(screenshot "$window" title)
[ "$(count_colour "$shot" "$TITLE_TEXT" white)" -gt 300 ] || fail "no title text on the title screen"
[ "$(count_colour "$shot" 800x600+0+0 "$SHIP")" -eq 0 ] || fail "a ship on the title screen"

hold_key space 0.3
sleep 0.5
shot=$(screenshot "$window" playing)
[ "$(count_colour "$shot" 60x80+70+260 "$SHIP")" -gt 40 ] || fail "no ship at (100, 300) after Space"
[ "$(count_colour "$shot" "$TITLE_TEXT" white)" -eq 0 ] || fail "title text still shown in play"

# W at 200 px/s for half a second: about 100 px up. (The background stars take
# the colour of the last model drawn, the ship's, so a few stray pixels match.)
hold_key w 0.5
sleep 0.2
shot=$(screenshot "$window" moved)
[ "$(count_colour "$shot" 60x60+70+270 "$SHIP")" -lt 12 ] || fail "the ship did not leave y 300"
[ "$(count_colour "$shot" 60x100+70+140 "$SHIP")" -gt 40 ] || fail "the ship is not near y 200"

record=$(wait_for_saved_record "$WORK/run/Assets/highscore.txt")

sleep 0.5
shot=$(screenshot "$window" game-over)
[ "$(count_colour "$shot" 700x300+50+40 "$EMBLEM")" -gt 300 ] || fail "no emblem on the game-over screen"
[ "$(count_colour "$shot" 600x40+50+350 white)" -gt 300 ] || fail "no game-over text"

# Space leaves the game-over screen for the title. Here even the shortest
# press reaches two snapshots, and Space still held on the title screen starts
# the next game at once: the fresh ship is the sign the title was passed.
hold_key space 0.2
sleep 0.3
shot=$(screenshot "$window" again)
[ "$(count_colour "$shot" 700x300+50+40 "$EMBLEM")" -eq 0 ] || fail "Space did not leave the game-over screen"
[ "$(count_colour "$shot" 60x80+70+260 "$SHIP")" -gt 40 ] || fail "no new ship at (100, 300) after Space"
[ "$(count_colour "$shot" 600x40+50+350 white)" -eq 0 ] || fail "game-over text still shown"

xdotool keydown Escape
wait_exit 5
[ "$EXIT_STATUS" = "0" ] || fail "Escape gave status $EXIT_STATUS"
echo "ok (record $record)"
