#!/usr/bin/env bash
# Started from a directory without Assets, the game still opens its window,
# reports what it could not load, keeps drawing frames and quits on Escape.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets no-assets
start_game
wait_window > /dev/null
# Every frame without a record says so: thirty of them is a game that runs.
wait_lines 30 "$NO_RECORD_LINE" || fail "the game did not keep drawing frames without its assets"
quit_with_escape
echo "ok"
