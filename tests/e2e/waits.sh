# shellcheck shell=bash disable=SC2034  # NO_RECORD_LINE is for the tests
# Waits shared by every script that drives the real game under Xvfb. Each waits
# for what a player would see, up to $PATIENCE seconds (a loaded machine makes
# a sanitizer build many times slower), and never for a fixed time. The
# sourcing script provides $WORK (the game's stdout is $WORK/stdout),
# $GAME_PID, fail(), count_lines(), screenshot() and count_colour().
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/waiting.sh"
PATIENCE=${E2E_PATIENCE:-60}

game_ended() { ended "$GAME_PID"; }

# The id of the newest window titled ZAP207 on screen, if any.
current_window() {
    local id
    id=$(xdotool search --onlyvisible --name '^ZAP207$' 2> /dev/null | tail -n 1) || return 1
    [ -n "$id" ] && echo "$id"
}

# Waits for the game's window and prints its id. SDL may replace the first
# window while it sets up drawing: ask again once the game has drawn.
wait_window() {
    local id="" deadline=$(($(now_ms) + PATIENCE * 1000))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        id=$(current_window || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        alive "$GAME_PID" || fail "the game exited before its window appeared"
        sleep 0.1
    done
    fail "no window titled ZAP207 appeared"
}

# Waits until no window titled ZAP207 is left: the X server forgets a window
# only some time after its program has ended.
# (xdotool's complaint when it cannot connect counts as an answer not given.)
no_window() { [ -z "$(xdotool search --name '^ZAP207$' 2>&1 || true)" ]; }
wait_no_window() {
    wait_until "$PATIENCE" no_window || fail "the window of an ended game stayed"
}

# Waits up to the given seconds for the game to end and collects its status in
# EXIT_STATUS ("running" when it did not end). Not in a subshell: only this
# shell can collect the game's status.
wait_exit() {
    reap "$GAME_PID" "$1"
    EXIT_STATUS=$REAPED_STATUS
    [ "$EXIT_STATUS" = running ] || GAME_PID=""
}

# True once the console holds at least COUNT copies of LINE.
has_lines() {
    [ "$(count_lines "$2")" -ge "$1" ]
}

# wait_lines COUNT LINE [SECONDS]: waits until the console holds COUNT copies
# of LINE while the game runs; status 1 otherwise.
wait_lines() {
    local deadline=$(($(now_ms) + ${3:-$PATIENCE} * 1000))
    until has_lines "$1" "$2"; do
        game_ended && return 1
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# Frames drawn without a readable record print this line, one a frame.
NO_RECORD_LINE='Unable to read high score! Using default value 0.'

# wait_picture WINDOW NAME REGION COLOUR min|max COUNT: takes screenshots of the
# window until the region holds more than (min) or fewer than (max) COUNT
# pixels of the colour; the last one is kept as $WORK/NAME.png. Status 1 when
# that picture did not come.
wait_picture() {
    local window=$1 name=$2 region=$3 colour=$4 bound=$5 count=$6 shot found
    local deadline=$(($(now_ms) + PATIENCE * 1000))
    while :; do
        shot=$(screenshot "$window" "$name")
        found=$(count_colour "$shot" "$region" "$colour")
        if [ "$bound" = min ] && [ "$found" -gt "$count" ]; then return 0; fi
        if [ "$bound" = max ] && [ "$found" -lt "$count" ]; then return 0; fi
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        game_ended && return 1
        sleep 0.1
    done
}

# Waits for the console to stay unchanged for the given seconds.
wait_quiet() {
    local before=-1 now deadline=$(($(now_ms) + PATIENCE * 1000))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        now=$(wc -l < "$WORK/stdout")
        [ "$now" -eq "$before" ] && return 0
        before=$now
        sleep "$1"
    done
    return 1
}

# Waits for the game to report a saved record (a run lasts up to about two
# minutes at full speed, longer on a busy machine), then checks that the
# record file holds it as bare digits and prints it.
wait_for_saved_record() {
    local file=$1 record
    wait_lines 1 'High score saved successfully!' $((PATIENCE * 2)) || {
        game_ended && fail "the game died during play"
        fail "no asteroid ended the run within $((PATIENCE * 2)) s"
    }
    record=$(cat "$file")
    [[ "$record" =~ ^[1-9][0-9]*$ ]] || fail "$(basename "$file") holds '$record', not bare digits"
    [ "$(wc -c < "$file")" -eq "${#record}" ] || fail "$(basename "$file") has more than the digits"
    echo "$record"
}
