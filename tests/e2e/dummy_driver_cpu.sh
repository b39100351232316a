#!/usr/bin/env bash
# Under SDL's dummy video driver nothing paces presentation; the loop must still
# not spin a core. CPU time over a few seconds of running frames stays well
# under a quarter core. (A busy machine can only lower the figure.)
source "$(dirname "$0")/lib.sh"
prepare_assets
# Without a record the game prints a line every frame: proof that frames run.
rm -f "$GAME_DIR/Assets/highscore.txt"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
start_game
wait_lines 30 "$NO_RECORD_LINE" || fail "the game did not run its frames under the dummy driver"

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
frames_before=$(count_lines "$NO_RECORD_LINE")
before=$(cpu_ticks)
sleep 4
after=$(cpu_ticks)
alive "$GAME_PID" || fail "the game exited under the dummy driver"
[ "$(count_lines "$NO_RECORD_LINE")" -gt "$frames_before" ] || fail "no frame ran while CPU time was measured"
used=$(((after - before) * 100 / (ticks * 4)))
[ "$used" -lt 25 ] || fail "the loop used ${used}% of a core"
echo "ok (${used}% of a core)"
