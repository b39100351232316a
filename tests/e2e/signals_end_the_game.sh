#!/usr/bin/env bash
# Ctrl+C (SIGINT) and kill (SIGTERM) end the game at once, like any console
# program, and leave the player's record as it was.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
echo 1234 > "$GAME_DIR/Assets/highscore.txt"

for signal in TERM INT; do
    start_game
    window=$(wait_window)
    # The signal comes once the game is in its loop: the title is on screen.
    wait_picture "$window" "title-$signal" 240x50+225+250 white min 300 || fail "no title screen"
    kill "-$signal" "$GAME_PID"
    # How fast is the benchmarks' business; a game that keeps running fails here.
    wait_exit "$PATIENCE"
    [ "$EXIT_STATUS" != "running" ] || fail "SIG$signal did not end the game within $PATIENCE s"
    expected=$((128 + $(kill -l "$signal")))
    [ "$EXIT_STATUS" = "$expected" ] || fail "SIG$signal gave status $EXIT_STATUS, expected $expected"
    # The next game's window must not be taken for this one's.
    wait_no_window
done
[ "$(cat "$GAME_DIR/Assets/highscore.txt")" = "1234" ] || fail "the record changed"
echo "ok"
