#!/usr/bin/env bash
# Started from a directory without Assets, zap207.exe still opens its window,
# names on the console what it could not load, keeps drawing frames and quits
# on Escape with status 0.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets no-assets
start_game
wait_window > /dev/null
wait_lines 30 "$NO_RECORD_LINE" || fail "the game did not keep drawing frames without its assets"

quit_with_escape
grep -q 'font.ttf' "$WORK/stderr" || fail "the missing font was not reported"
echo "ok"
