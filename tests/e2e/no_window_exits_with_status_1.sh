#!/usr/bin/env bash
# Without a window the loop could never see Escape: the game says why on one
# line and exits with status 1 instead of running blind.
source "$(dirname "$0")/lib.sh"
prepare_assets
export SDL_VIDEODRIVER=no-such-video-driver SDL_AUDIODRIVER=dummy
start_game
wait_exit "$PATIENCE"
[ "$EXIT_STATUS" = "1" ] || fail "expected status 1 without a window, got $EXIT_STATUS"
grep -q -i 'window' "$WORK/stderr" || fail "no message about the window on stderr"
[ "$(grep -c -i 'window' "$WORK/stderr")" -eq 1 ] || fail "more than one line about the window"
echo "ok"
