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
printf '0' > "$GAME_DIR/Assets/highscore.txt"
start_game
window=$(wait_window)

wait_picture "$window" title "$TITLE_TEXT" white min 300 || fail "no title text on the title screen"
[ "$(count_colour "$WORK/title.png" 800x600+0+0 "$SHIP")" -eq 0 ] || fail "a ship on the title screen"

# Space is held until the game shows the ship, however slowly frames come.
xdo keydown space
wait_picture "$window" playing 60x80+70+260 "$SHIP" min 40 || fail "no ship at (100, 300) after Space"
xdo keyup space
[ "$(count_colour "$WORK/playing.png" "$TITLE_TEXT" white)" -eq 0 ] || fail "title text still shown in play"

# W at 200 px/s for half a second: about 100 px up. How far exactly depends on
# when a loaded machine lets the game see the release, so any place above will
# do. (The background stars take the colour of the last model drawn, the
# ship's, so a few stray pixels match.)
# Both in one picture: asteroids may end the run soon after.
moved_up() {
    local shot
    shot=$(screenshot "$window" moved) || return 1
    [ "$(count_colour "$shot" 60x60+70+270 "$SHIP")" -lt 12 ] &&
        [ "$(count_colour "$shot" 60x270+70+0 "$SHIP")" -gt 40 ]
}
hold_key w 0.5
wait_until "$PATIENCE" moved_up || fail "the ship did not move up from y 300"

record=$(wait_for_saved_record "$GAME_DIR/Assets/highscore.txt")

wait_picture "$window" game-over 700x300+50+40 "$EMBLEM" min 300 || fail "no emblem on the game-over screen"
wait_picture "$window" game-over 600x40+50+350 white min 300 || fail "no game-over text"

# Space leaves the game-over screen for the title, and Space still held on the
# title screen starts the next game at once: the fresh ship is the sign the
# title was passed.
xdo keydown space
wait_picture "$window" again 60x80+70+260 "$SHIP" min 40 || fail "no new ship at (100, 300) after Space"
xdo keyup space
[ "$(count_colour "$WORK/again.png" 700x300+50+40 "$EMBLEM")" -eq 0 ] || fail "Space did not leave the game-over screen"
# The last sparks of the burst may still fly there; the text is hundreds of pixels.
[ "$(count_colour "$WORK/again.png" 600x40+50+350 white)" -lt 100 ] || fail "game-over text still shown"

quit_with_escape
echo "ok (record $record)"
