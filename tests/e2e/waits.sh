# Waits shared by every script that drives the real game under Xvfb. The
# sourcing script provides $WORK (the game's stdout is $WORK/stdout), $GAME_PID
# and fail().

# Waits for the game's window and prints its id.
wait_window() {
    local id=""
    # Generous: on a loaded machine a sanitizer build can take many seconds to start.
    for _ in $(seq 400); do
        id=$(xdotool search --name '^ZAP207$' 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game exited before its window appeared"
        sleep 0.1
    done
    fail "no window titled ZAP207 appeared"
}

# Waits up to a minute of play for the game to report a saved record, then
# checks that the record file holds it as bare digits and prints it.
wait_for_saved_record() {
    local file=$1 record
    for _ in $(seq 600); do
        grep -q -x 'High score saved successfully!' "$WORK/stdout" && break
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game died during play"
        sleep 0.1
    done
    grep -q -x 'High score saved successfully!' "$WORK/stdout" || fail "no asteroid ended the run within a minute"
    record=$(cat "$file")
    [[ "$record" =~ ^[1-9][0-9]*$ ]] || fail "$(basename "$file") holds '$record', not bare digits"
    [ "$(wc -c < "$file")" -eq "${#record}" ] || fail "$(basename "$file") has more than the digits"
    echo "$record"
}
