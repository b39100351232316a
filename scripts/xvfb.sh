# shellcheck shell=bash
# Sourced by everything that runs the game on a private X display (the
# end-to-end and package tests, tools/soak, bench/startup). Xvfb chooses a free
# display itself (-displayfd), so parallel runs never clash.
#   xvfb_start DIR [WxHxDEPTH]  starts Xvfb (log in DIR/xvfb.log), exports
#                               DISPLAY; status 1, with Xvfb's last words on
#                               stderr, when it did not start within
#                               E2E_PATIENCE seconds (default 60)
#   xvfb_stop                   ends it; harmless when none is running
source "$(dirname "${BASH_SOURCE[0]}")/waiting.sh"
XVFB_PID=""

xvfb_start() {
    local dir=$1 screen=${2:-1280x800x24} deadline
    rm -f "$dir/display"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3> "$dir/display" > "$dir/xvfb.log" 2>&1 &
    XVFB_PID=$!
    # Xvfb writes the display number once it accepts clients.
    deadline=$(($(now_ms) + ${E2E_PATIENCE:-60} * 1000))
    until [ -s "$dir/display" ]; do
        if ended "$XVFB_PID" || [ "$(now_ms)" -ge "$deadline" ]; then
            echo "Xvfb did not start:" >&2
            tail -n 5 "$dir/xvfb.log" >&2
            xvfb_stop
            return 1
        fi
        sleep 0.05
    done
    DISPLAY=":$(head -n 1 "$dir/display")"
    export DISPLAY
}

xvfb_stop() {
    [ -n "$XVFB_PID" ] || return 0
    kill "$XVFB_PID" 2> /dev/null || true
    reap "$XVFB_PID" 10
    [ "$REAPED_STATUS" != running ] || kill -9 "$XVFB_PID" 2> /dev/null || true
    XVFB_PID=""
}
