#!/usr/bin/env bash
# Started from a directory without Assets, zap207.exe still opens its window,
# names on the console what it could not load and quits on Escape with status 0.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets no-assets
start_game
wait_window > /dev/null
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "the game died without its assets"

xdotool keydown Escape
wait_exit 10
xdotool keyup Escape
[ "$EXIT_STATUS" = "0" ] || fail "Escape gave status $EXIT_STATUS"
grep -q 'font.ttf' "$WORK/stderr" || fail "the missing font was not reported"
grep -qx 'Unable to read high score! Using default value 0.' "$WORK/stdout" || fail "the missing record was not reported"
echo "ok"
