#!/usr/bin/env bash
# Exec to first presented frame, the game against the bare title program, run
# alternately under one private Xvfb display (no sound device, as on a server).
#   bench/startup/startup.sh <build dir> [runs]
set -euo pipefail
BUILD=$(readlink -f "$1")
RUNS=${2:-15}
source "$(dirname "$0")/../../scripts/xvfb.sh"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zap207-startup.XXXXXX")
trap 'xvfb_stop; rm -rf "$WORK"' EXIT

cp -r "$BUILD/Assets" "$WORK/Assets"
xvfb_start "$WORK"
unset SDL_VIDEODRIVER SDL_AUDIODRIVER

once() {
    local start present
    start=$(date +%s%N)
    present=$(cd "$WORK" && LD_PRELOAD="$BUILD/bench/startup/libfirst_present.so" "$1" 2>&1 >/dev/null |
        awk '/^PRESENT/ {print $2}')
    awk -v p="$present" -v s="$start" 'BEGIN {printf "%.1f\n", p - s / 1e6}'
}

for _ in $(seq "$RUNS"); do
    once "$BUILD/zap207" >> "$WORK/game"
    once "$BUILD/bench/startup/BareTitle" >> "$WORK/bare"
done
median() { sort -n "$1" | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
echo "game ms: $(sort -n "$WORK/game" | tr '\n' ' ')"
echo "bare ms: $(sort -n "$WORK/bare" | tr '\n' ' ')"
awk -v g="$(median "$WORK/game")" -v b="$(median "$WORK/bare")" \
    'BEGIN {printf "median game %.1f ms, bare %.1f ms, ratio %.2f\n", g, b, g / b}'
