#!/usr/bin/env bash
# Started from a directory without Assets, the game still opens its window,
# reports what it could not load and quits on Escape.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets no-assets
start_game
wait_window > /dev/null
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "the game died without its assets"

xdotool keydown Escape
wait_exit 5
[ "$EXIT_STATUS" = "0" ] || fail "Escape gave status $EXIT_STATUS"
echo "ok"
