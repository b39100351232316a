#!/usr/bin/env bash
# The real game under a private Xvfb display for a stretch of real time, with
# random W/S holds and Space presses from xdotool, sampling its resident memory
# at a fixed interval. Prints one line per sample and a summary; exit status 1
# when the game died or resident memory after the first minute grew by more
# than 5 MB.
#   tools/soak/soak-x11.sh [GAME] [SECONDS] [INTERVAL]
#   (default: build/zap207, 600 s, 10 s)
set -euo pipefail
GAME=$(readlink -f "${1:-build/zap207}")
DURATION=${2:-600}
INTERVAL=${3:-10}

source "$(dirname "$0")/../../scripts/xvfb.sh"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zap207-soak.XXXXXX")
GAME_PID=""
cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
    xvfb_stop
    rm -rf "$WORK"
}
trap cleanup EXIT

xvfb_start "$WORK" 1024x768x24
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

# A copy of the assets, so the player's record is not touched.
mkdir -p "$WORK/run"
cp -r "$(dirname "$GAME")/Assets" "$WORK/run/Assets"
(cd "$WORK/run" && exec "$GAME" > "$WORK/stdout" 2> "$WORK/stderr") &
GAME_PID=$!
window_open() { xdotool search --name '^ZAP207$' > /dev/null 2>&1; }
wait_until 60 window_open || { echo "no window titled ZAP207 appeared" >&2; exit 1; }

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$GAME_PID/status" 2>/dev/null || echo 0; }

start=$(date +%s)
next_sample=$start
baseline=""
peak=0
keys=0
echo "seconds  rss_kb"
while :; do
    now=$(date +%s)
    elapsed=$((now - start))
    alive "$GAME_PID" || { echo "the game died after ${elapsed} s" >&2; tail -n 20 "$WORK/stderr" >&2; exit 1; }
    if [ "$now" -ge "$next_sample" ]; then
        rss=$(rss_kb)
        printf '%7d  %6d\n' "$elapsed" "$rss"
        if [ "$elapsed" -ge 60 ]; then
            [ -z "$baseline" ] && baseline=$rss
            [ "$rss" -gt "$peak" ] && peak=$rss
        fi
        next_sample=$((next_sample + INTERVAL))
    fi
    [ "$elapsed" -ge "$DURATION" ] && break

    # A hold of W or S (0.1 to 1.5 s), now and then Space.
    case $((RANDOM % 6)) in
        0) xdotool keydown space; sleep 0.1; xdotool keyup space ;;
        1|2) key=w ;&
        3|4) key=${key:-s}
             xdotool keydown "$key"; sleep "0.$((RANDOM % 9 + 1))"; xdotool keyup "$key"; unset key ;;
        5) sleep 0.3 ;;
    esac
    keys=$((keys + 1))
done

games=$(grep -c -x 'High score saved successfully!' "$WORK/stdout" || true)
echo "$DURATION s, $keys key actions, $games new records saved"
echo "resident after the first minute: $baseline kB at first, $peak kB at most ($(( (peak - baseline) )) kB growth)"
[ $((peak - baseline)) -le 5120 ]
