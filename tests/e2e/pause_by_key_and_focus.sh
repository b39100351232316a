#!/usr/bin/env bash
# P pauses a run and P resumes it; losing the keyboard focus, the window being
# minimised or hidden pauses it too, and getting them back does not resume it.
# A paused picture stands still under its caption; Escape still quits. A key
# pressed the moment the window takes the focus counts the first time.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_window_manager
prepare_assets
# With this seed the first run, the ship left where it starts, lasts half a
# minute before an asteroid reaches it: few runs end while a pause is tried.
start_game "$GAME" --seed 12
window=$(wait_window)
root=$(xwininfo -root | awk '$2 == "Window" && $3 == "id:" {print $4}')
xdo windowactivate --sync "$window"

# Numbers the screenshots; a name set inside $(...) would be lost.
shot=0
# Takes two screenshots a moment apart; prints "still" or "moved", or nothing
# when either could not be taken (a window being mapped again, say).
compare_pictures() {
    local a b
    shot=$((shot + 1))
    a=$(screenshot "$window" "still-$shot-a") || return 0
    sleep 0.4
    b=$(screenshot "$window" "still-$shot-b") || return 0
    [ -s "$a" ] && [ -s "$b" ] || return 0
    if [ "$(compare -metric AE "$a" "$b" null: 2>&1 || true)" = "0" ]; then echo still; else echo moved; fi
}
picture_still() { [ "$(compare_pictures)" = still ]; }
picture_moved() { [ "$(compare_pictures)" = moved ]; }

# The caption's white letters in the middle of the picture.
caption_shown() {
    shot=$((shot + 1))
    picture_shows "$window" "caption-$shot" 400x100+200+250 white 500
}

# The game as the player sees it. Each check fails the test if the game died.
paused() {
    alive "$GAME_PID" || fail "the game died"
    picture_still && caption_shown
}
# Stars move on every frame of a run.
running() {
    alive "$GAME_PID" || fail "the game died"
    picture_moved
}

# Twice in a row: the first picture of a window shown again may differ from
# the next although the game stands still.
kept_running() { running && running; }

# The ship's cyan near the left edge: a run is under way.
ship_shown() {
    alive "$GAME_PID" || fail "the game died"
    shot=$((shot + 1))
    picture_shows "$window" "ship-$shot" 80x80+60+260 '#4CE5FF' 20
}

# Waits until the check holds, or fails saying what did not happen.
expect() {
    local what=$1
    shift
    wait_until "$PATIENCE" "$@" || fail "$what"
}

# An asteroid can end a run while the steps below wait on a busy machine.
# start_run starts a new run when the last one has ended, and pause_by tries a
# pause again in a new run when the run ended before it paused.
start_run() {
    ship_shown && return 0
    xdo windowactivate --sync "$window"
    press_until space "no new run started after Space" ship_shown
}
paused_or_over() { paused || ! ship_shown; }

# pause_by WHAT ACTION: does ACTION (a function) to a run under way until the
# game shows the pause, or fails saying WHAT.
pause_by() {
    local what=$1 action=$2 deadline
    deadline=$(($(now_ms) + PATIENCE * 1000))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        start_run
        "$action"
        wait_until 15 paused_or_over
        xdo keyup p
        paused && return 0
    done
    fail "$what"
}
press_p() { xdo keydown p; }
lose_focus() { xdo windowfocus "$root"; }
minimise_and_restore() {
    xdo windowminimize --sync "$window"
    sleep 0.5
    xdo windowactivate --sync "$window"
}
hide_and_show() {
    xdo windowunmap --sync "$window"
    sleep 0.5
    xdo windowmap --sync "$window"
    xdo windowactivate --sync "$window"
}

# On the title screen losing the focus pauses nothing.
xdo windowfocus "$root"
sleep 0.5
xdo windowfocus "$window"
press_until space "no ship appeared after Space" ship_shown
expect "a new run did not run" running

pause_by "P did not pause the game" press_p
sleep 1
picture_still || fail "the paused picture moved"
press_until p "P again did not resume the game" running

# A key pressed the moment the window takes the focus back is a press like
# any other: P, pressed once and held as the window comes back, resumes.
pause_by "P did not pause the game" press_p
xdo windowminimize --sync "$window"
xdo windowactivate --sync "$window"
xdo keydown p
wait_until "$PATIENCE" kept_running || fail "P pressed as the window took the focus did not resume the game"
xdo keyup p

pause_by "losing the focus did not pause the game" lose_focus
xdo windowfocus "$window"
sleep 1
picture_still || fail "getting the focus back resumed the game"
caption_shown || fail "the caption went with the focus coming back"
press_until p "P after the focus came back did not resume the game" running

pause_by "minimising the window did not pause the game" minimise_and_restore
sleep 1
picture_still || fail "showing the window again resumed the game"
press_until p "P after the window was shown again did not resume the game" running

pause_by "hiding the window did not pause the game" hide_and_show
press_until p "P after the window came back did not resume the game" running

# Escape quits at once, paused or not.
pause_by "P before Escape did not pause the game" press_p
quit_with_escape
echo "ok"
