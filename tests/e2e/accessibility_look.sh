#!/usr/bin/env bash
# Each palette and the largest text, set by hand in the settings file, show in
# play: the ship in the palette's own colour (never the usual one where the
# palette changes it), high contrast's lines thicker than the usual ones, and
# the score's digits reaching below where usual-sized ones end.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
printf '999999' > "$GAME_DIR/Assets/highscore.txt"
SETTINGS="$XDG_CONFIG_HOME/zap207/settings.txt"
mkdir -p "$(dirname "$SETTINGS")"
USUAL_SHIP='#4CE5FF'
SHIP_BOX=80x80+60+260

shot=0
ship_in() {
    alive "$GAME_PID" || fail "the game died"
    shot=$((shot + 1))
    picture_shows "$window" "ship-$shot" "$SHIP_BOX" "$1" 20
}

standard_count=0
for look in standard:#4CE5FF red-green:#9980FF blue-yellow:#73A6FF high-contrast:#59BFFF; do
    palette=${look%%:*}
    colour=${look#*:}
    printf 'palette = %s\ntext_size = 150\n' "$palette" > "$SETTINGS"
    # Seed 12 leaves the ship where it starts untouched for half a minute.
    start_game "$GAME" --seed 12
    window=$(wait_window)
    press_until space "$palette: no ship in $colour appeared after Space" ship_in "$colour"
    shown=$(screenshot "$window" "$palette")
    count=$(count_colour "$shown" "$SHIP_BOX" "$colour")
    case $palette in
        standard) standard_count=$count ;;
        high-contrast)
            [ $((count * 2)) -gt $((standard_count * 3)) ] ||
                fail "high contrast's ship ($count pixels) is no thicker than the usual ($standard_count)"
            ;;
        *)
            [ "$(count_colour "$shown" "$SHIP_BOX" "$USUAL_SHIP")" -eq 0 ] ||
                fail "$palette: the ship is still drawn in its usual colour"
            ;;
    esac
    # Usual-sized digits end above y 40; at 150 % they reach well below. The
    # record, larger too, moves left as far as it must to stay whole, and
    # never into the score.
    [ "$(count_colour "$shown" 60x16+0+44 white)" -gt 10 ] ||
        fail "$palette: the score is drawn at its usual size"
    [ "$(count_colour "$shown" 30x50+770+10 white)" -gt 10 ] || fail "$palette: no record at the right"
    [ "$(count_colour "$shown" 8x60+792+0 white)" -eq 0 ] || fail "$palette: the record runs off"
    [ "$(count_colour "$shown" 200x60+200+0 white)" -eq 0 ] ||
        fail "$palette: the score and the record run together"
    quit_with_escape
done
