#!/usr/bin/env bash
# P pauses a run and P resumes it; losing the keyboard focus, the window being
# minimised or hidden pauses it too, and getting them back does not resume it.
# A paused picture stands still under its caption; Escape still quits.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_window_manager
prepare_assets
start_game
window=$(wait_window)
root=$(xwininfo -root | awk '$2 == "Window" && $3 == "id:" {print $4}')
xdotool windowactivate --sync "$window" 2> /dev/null

# Numbers the screenshots; a name set inside $(...) would be lost.
shot=0
# Takes two screenshots a moment apart; succeeds when they are identical.
picture_still() {
    local a b
    shot=$((shot + 1))
    a=$(screenshot "$window" "still-$shot-a")
    sleep 0.4
    b=$(screenshot "$window" "still-$shot-b")
    [ "$(compare -metric AE "$a" "$b" null: 2>&1 || true)" = "0" ]
}

# The caption's white letters in the middle of the picture.
caption_shown() {
    local path
    shot=$((shot + 1))
    path=$(screenshot "$window" "caption-$shot")
    [ "$(count_colour "$path" 400x100+200+250 white)" -gt 500 ]
}

# Each wait gives up after a minute: a loaded machine is slow, not that slow.
wait_paused() {
    local end=$((SECONDS + 60))
    while [ "$SECONDS" -lt "$end" ]; do
        picture_still && caption_shown && return 0
        alive "$GAME_PID" || fail "the game died"
    done
    fail "$1: the game did not pause"
}

wait_running() {
    local end=$((SECONDS + 60))
    while [ "$SECONDS" -lt "$end" ]; do
        picture_still || { caption_shown || return 0; }
        alive "$GAME_PID" || fail "the game died"
    done
    fail "$1: the game did not run on"
}

# The ship's cyan near the left edge: a run is under way.
wait_for_ship() {
    local path end=$((SECONDS + 60))
    while [ "$SECONDS" -lt "$end" ]; do
        shot=$((shot + 1))
        path=$(screenshot "$window" "ship-$shot")
        [ "$(count_colour "$path" 80x80+60+260 '#4CE5FF')" -gt 20 ] && return 0
        sleep 0.1
    done
    fail "no ship appeared after Space"
}

# On the title screen losing the focus pauses nothing.
xdotool windowfocus "$root"
sleep 0.5
xdotool windowfocus "$window"
hold_key space 0.3
wait_for_ship
wait_running "a new run"

hold_key p 0.2
wait_paused "P"
sleep 1
picture_still || fail "the paused picture moved"
hold_key p 0.2
wait_running "P again"

xdotool windowfocus "$root"
wait_paused "focus lost"
xdotool windowfocus "$window"
sleep 1
picture_still || fail "getting the focus back resumed the game"
caption_shown || fail "the caption went with the focus coming back"
hold_key p 0.2
wait_running "P after the focus came back"

xdotool windowminimize --sync "$window"
sleep 0.5
xdotool windowactivate --sync "$window" 2> /dev/null
wait_paused "window minimised"
sleep 1
picture_still || fail "showing the window again resumed the game"
hold_key p 0.2
wait_running "P after the window was shown again"

xdotool windowunmap "$window"
sleep 0.5
xdotool windowmap "$window"
xdotool windowfocus "$window"
wait_paused "window hidden"
hold_key p 0.2
wait_running "P after the window came back"

# Escape quits at once, paused or not.
hold_key p 0.2
wait_paused "P before Escape"
quit_with_escape
echo "ok"
