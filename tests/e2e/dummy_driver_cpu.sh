#!/usr/bin/env bash
# Under SDL's dummy video driver nothing paces presentation; the loop must still
# not spin a core. CPU time over a few seconds stays well under a quarter core.
source "$(dirname "$0")/lib.sh"
prepare_assets
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
start_game
sleep 1.5
kill -0 "$GAME_PID" 2>/dev/null || fail "the game exited under the dummy driver"

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
before=$(cpu_ticks)
sleep 4
after=$(cpu_ticks)
used=$(( (after - before) * 100 / (ticks * 4) ))
[ "$used" -lt 25 ] || fail "the loop used ${used}% of a core"
echo "ok (${used}% of a core)"
