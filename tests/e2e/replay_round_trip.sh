#!/usr/bin/env bash
# A real round with a known seed is kept with its record: --verify replays it to
# the record's score, and --replay shows the same run. Both are compared on the
# game-over screen, where the stars move on every step: screenshots of the two
# match only when they show the same step of the same run, give or take the one
# step a busy machine may draw a frame between. A replay says so in a caption
# at the bottom (left out of the comparison); R on the game-over screen plays
# the best run, and Space held stops it for the title screen, not a new run.
source "$(dirname "$0")/lib.sh"
SHIP='rgb(76,229,255)'
EMBLEM='rgb(255,89,51)'
# With this seed an asteroid of the first wave meets the ship where it starts.
SEED=4
# The caption of a replay, at the bottom of the picture.
CAPTION=300x45+250+550
# The most screenshots taken of one game-over screen.
SHOTS=40
start_xvfb
prepare_assets
printf '0' > "$GAME_DIR/Assets/highscore.txt"

# Waits for the game-over screen and notes when it showed.
wait_game_over() {
    wait_picture "$1" "$2" 700x300+50+40 "$EMBLEM" min 300 || return 1
    OVER_AT=$(now_ms)
}

# burst WINDOW NAME UNTIL: screenshots of the game-over screen as fast as they
# come, until UNTIL milliseconds after it showed or SHOTS of them, each listed
# as "<milliseconds after the screen showed> <name>" in $WORK/NAME.txt. Then
# each is reduced to everything lit ($WORK/<name>.lit.png) and the same grown
# by a star's largest move in one step ($WORK/<name>.grown.png).
burst() {
    local window=$1 name=$2 until=$3 i=0 at shot
    : > "$WORK/$name.txt"
    while [ "$i" -lt "$SHOTS" ]; do
        i=$((i + 1))
        at=$(($(now_ms) - OVER_AT))
        [ "$at" -le "$until" ] || break
        shot=$(screenshot "$window" "$name-$i")
        [ -s "$shot" ] && echo "$at $name-$i" >> "$WORK/$name.txt"
    done
    while read -r at shot; do
        convert "$WORK/$shot.png" -crop 800x540+0+0 +repage -colorspace gray -threshold 3% \
            "$WORK/$shot.lit.png"
        convert "$WORK/$shot.lit.png" -morphology Dilate Disk:4.5 "$WORK/$shot.grown.png"
    done < "$WORK/$name.txt"
}

# The lit pixels of one screenshot that lie nowhere near those of the other.
strays() {
    convert "$WORK/$1.lit.png" \( "$WORK/$2.grown.png" -negate \) -compose Multiply -composite \
        -format '%[fx:round(mean*w*h)]' info:
}
same_step() { [ "$(strays "$1" "$2")" -le 2 ] && [ "$(strays "$2" "$1")" -le 2 ]; }

start_game "$GAME" --seed "$SEED"
window=$(wait_window)
wait_picture "$window" title 240x50+225+250 white min 300 || fail "no title screen"
# Space, held until the ship shows, is the run's only input: the ship stays
# where it starts until an asteroid reaches it.
xdo keydown space
wait_picture "$window" playing 60x80+70+260 "$SHIP" min 40 || fail "no ship after Space"
xdo keyup space
record=$(wait_for_saved_record "$GAME_DIR/Assets/highscore.txt")
wait_game_over "$window" original-over || fail "no game-over screen"
burst "$window" original $((PATIENCE * 1000))
caption_shown() { picture_shows "$window" "best-run-$(now_ms)" "$CAPTION" white 300; }
title_shown() { picture_shows "$window" "title-$(now_ms)" 240x50+225+250 white 300; }
ship_shown() { picture_shows "$window" "ship-$(now_ms)" 60x80+70+260 "$SHIP" 40; }
! caption_shown || fail "a replay's caption showed on the game-over screen of a run played"
press_until r "R on the game-over screen did not play the best run" caption_shown
xdo keydown space
wait_picture "$window" stopped 240x50+225+250 white min 300 ||
    fail "Space did not stop the best run for the title screen"
for check in 1 2 3; do
    title_shown && ! ship_shown || fail "Space that stopped the replay, held, started a run ($check)"
done
xdo keyup space
quit_with_escape
first=$(head -n 1 "$WORK/original.txt" | cut -d' ' -f2)
last=$(tail -n 1 "$WORK/original.txt" | cut -d' ' -f2)
if [ "$first" = "$last" ] || same_step "$first" "$last"; then
    fail "the game-over screen stood still: screenshots would match at any step"
fi

replay="$GAME_DIR/Assets/highscore.replay"
[ -s "$replay" ] || fail "no replay was kept beside the record"
(cd "$GAME_DIR" && "$GAME" --verify "$replay") > "$WORK/verify.txt" 2>&1 ||
    fail "--verify refused the kept replay: $(cat "$WORK/verify.txt")"
grep -qx "score $record digest [0-9a-f]\{16\}" "$WORK/verify.txt" ||
    fail "--verify printed '$(cat "$WORK/verify.txt")' for a record of $record"

# Each screenshot of the replay is looked for among the original's taken about
# as long after the game-over screen showed. A watch can miss every step the
# original was caught at on a busy machine, so it is watched again.
window_ms=600
matched=""
for attempt in 1 2 3; do
    start_game "$GAME" --replay "$replay"
    window=$(wait_window)
    wait_game_over "$window" "replay$attempt-over" || fail "the replay did not reach the game-over screen"
    burst "$window" "replay$attempt" $(($(tail -n 1 "$WORK/original.txt" | cut -d' ' -f1) + window_ms))
    shot=$(head -n 1 "$WORK/replay$attempt.txt" | cut -d' ' -f2)
    [ "$(count_colour "$WORK/$shot.png" "$CAPTION" white)" -gt 300 ] ||
        fail "no caption on the replay's game-over screen"
    # Space leaves the replay's game-over screen, and the game with it.
    xdo keydown space
    wait_exit "$PATIENCE"
    xdo keyup space
    [ "$EXIT_STATUS" = "0" ] || fail "the replay ended with status $EXIT_STATUS"
    wait_no_window
    while read -r at shot; do
        while read -r when name; do
            [ $((at - when)) -le "$window_ms" ] && [ $((when - at)) -le "$window_ms" ] || continue
            if same_step "$shot" "$name"; then matched="$shot = $name"; break 2; fi
        done < "$WORK/original.txt"
    done < "$WORK/replay$attempt.txt"
    [ -z "$matched" ] || break
done
[ -n "$matched" ] || fail "no screenshot of the replay showed a step of the original run"
[ "$(cat "$GAME_DIR/Assets/highscore.txt")" = "$record" ] || fail "watching changed the record"
echo "ok (record $record; $matched)"
