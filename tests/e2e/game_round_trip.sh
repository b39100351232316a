#!/usr/bin/env bash
# A whole round as a player sees it: the title screen, Space, W moving the ship
# to the top edge, a run ending on an asteroid with the record saved as bare
# digits, the game-over screen, Space through the title into the next game, and Escape.
source "$(dirname "$0")/lib.sh"
SHIP='rgb(76,229,255)'
EMBLEM='rgb(255,89,51)'
TITLE_TEXT='240x50+225+250'
# With this seed an asteroid of the first wave reaches the ship at the top
# edge, about 13 s into the run.
SEED=4
start_xvfb
prepare_assets
printf '0' > "$GAME_DIR/Assets/highscore.txt"
start_game "$GAME" --seed "$SEED"
window=$(wait_window)

wait_picture "$window" title "$TITLE_TEXT" white min 300 || fail "no title text on the title screen"
[ "$(count_colour "$WORK/title.png" 800x600+0+0 "$SHIP")" -eq 0 ] || fail "a ship on the title screen"

# Space is held until the game shows the ship, however slowly frames come.
xdo keydown space
wait_picture "$window" playing 60x80+70+260 "$SHIP" min 40 || fail "no ship at (100, 300) after Space"
xdo keyup space
[ "$(count_colour "$WORK/playing.png" "$TITLE_TEXT" white)" -eq 0 ] || fail "title text still shown in play"

# W held until the ship has stopped at the top edge, where it stays however
# long the key is down: two screenshots in a row show it there alike. (The
# background stars take the colour of the last model drawn, the ship's, so a
# few stray pixels match.)
top_before=-1
at_top() {
    local shot top
    shot=$(screenshot "$window" moved) || return 1
    top=$(count_colour "$shot" 60x60+70+0 "$SHIP")
    if [ "$top" -gt 20 ] && [ "$top" = "$top_before" ] &&
        [ "$(count_colour "$shot" 60x60+70+270 "$SHIP")" -lt 12 ]; then
        return 0
    fi
    top_before=$top
    return 1
}
xdo keydown w
wait_until "$PATIENCE" at_top || fail "the ship did not move up to the top edge"
xdo keyup w

record=$(wait_for_saved_record "$GAME_DIR/Assets/highscore.txt")
# 773 steps of play at 2.5 points a second.
[ "$record" = 32 ] || fail "the run with seed $SEED ended with $record points, not 32"

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
