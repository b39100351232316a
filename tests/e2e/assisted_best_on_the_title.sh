#!/usr/bin/env bash
# With the game slowed in the settings, the title shows the best slowed run
# where the record stands, in words wide enough to reach left of where the
# record's words begin; at full speed the title shows the record as ever, and
# nothing left of it. Neither best file is touched by looking.
source "$(dirname "$0")/lib.sh"
# Left of the record's words (which start 275 px from the right edge), along
# the top; the score stands further left, at the edge.
LEFT_OF_RECORD=330x40+190+5
RECORD=265x40+525+5
start_xvfb
prepare_assets
printf '55' > "$GAME_DIR/Assets/highscore.txt"
printf '1234 at 70%%' > "$GAME_DIR/Assets/highscore-assisted.txt"
mkdir -p "$XDG_CONFIG_HOME/zap207"

printf 'game_speed = 70\n' > "$XDG_CONFIG_HOME/zap207/settings.txt"
start_game
window=$(wait_window)
wait_picture "$window" slowed "$LEFT_OF_RECORD" white min 100 ||
    fail "no assisted best on the title with the game slowed"
quit_with_escape

printf 'game_speed = 100\n' > "$XDG_CONFIG_HOME/zap207/settings.txt"
start_game
window=$(wait_window)
wait_picture "$window" full "$RECORD" white min 100 || fail "no record on the title at full speed"
[ "$(count_colour "$WORK/full.png" "$LEFT_OF_RECORD" white)" -eq 0 ] ||
    fail "the title shows more than the record at full speed"
quit_with_escape

[ "$(cat "$GAME_DIR/Assets/highscore.txt")" = 55 ] || fail "the record changed"
[ "$(cat "$GAME_DIR/Assets/highscore-assisted.txt")" = '1234 at 70%' ] || fail "the assisted best changed"
