#!/usr/bin/env bash
# Ctrl+C (SIGINT) and kill (SIGTERM) end the game at once, like any console
# program, and leave the player's record as it was.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
echo 1234 > "$WORK/run/Assets/highscore.txt"

for signal in TERM INT; do
    start_game
    wait_window > /dev/null
    sleep 0.5
    kill "-$signal" "$GAME_PID"
    wait_exit 1
    [ "$EXIT_STATUS" != "running" ] || fail "SIG$signal did not end the game within a second"
    expected=$((128 + $(kill -l "$signal")))
    [ "$EXIT_STATUS" = "$expected" ] || fail "SIG$signal gave status $EXIT_STATUS, expected $expected"
done
[ "$(cat "$WORK/run/Assets/highscore.txt")" = "1234" ] || fail "the record changed"
echo "ok"
