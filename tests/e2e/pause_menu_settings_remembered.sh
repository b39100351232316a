#!/usr/bin/env bash
# The pause menu turns the music down and the window to full screen, and its
# Quit ends the game as Escape does (status 0, the record intact). The next
# start finds both remembered in the settings file and starts in full screen.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_window_manager
prepare_assets
printf '1234' > "$GAME_DIR/Assets/highscore.txt"
SETTINGS="$XDG_CONFIG_HOME/zap207/settings.txt"

# Seed 12 leaves the ship where it starts untouched for half a minute.
start_game "$GAME" --seed 12
window=$(wait_window)
xdo windowactivate --sync "$window"

shot=0
# The white letters of the menu's rows in the middle of the picture.
menu_shown() {
    alive "$GAME_PID" || fail "the game died"
    shot=$((shot + 1))
    picture_shows "$(current_window)" "menu-$shot" 400x100+200+250 white 500
}
ship_shown() {
    alive "$GAME_PID" || fail "the game died"
    shot=$((shot + 1))
    picture_shows "$window" "ship-$shot" 80x80+60+260 '#4CE5FF' 20
}
# One press of a menu key: held long enough for a frame to see it.
menu_key() { hold_key "$1" 0.3; sleep 0.2; }
full_screen() { grep -q FULLSCREEN <<< "$(xprop -id "$(current_window)" _NET_WM_STATE 2> /dev/null)"; }

[ ! -e "$SETTINGS" ] || fail "settings were written before anything was changed"
press_until space "no ship appeared after Space" ship_shown
press_until p "P did not show the pause menu" menu_shown

# Resume, Music volume (100 % -> 90 %), Effects, Full screen (on), focus,
# Controls, Accessibility, Quit.
menu_key Down
menu_key Left
menu_key Down
menu_key Down
menu_key Return
wait_until "$PATIENCE" full_screen || fail "Full screen in the menu did not fill the screen"
menu_shown || fail "the menu went with full screen"
menu_key Down
menu_key Down
menu_key Down
menu_key Down
xdo keydown Return
wait_exit "$PATIENCE"
xdo keyup Return
[ "$EXIT_STATUS" = "0" ] || fail "Quit gave status $EXIT_STATUS"
wait_no_window
[ "$(cat "$GAME_DIR/Assets/highscore.txt")" = "1234" ] || fail "the record changed"
grep -qx 'music_volume = 90' "$SETTINGS" || fail "the music volume was not kept: $(cat "$SETTINGS")"
grep -qx 'full_screen = yes' "$SETTINGS" || fail "full screen was not kept: $(cat "$SETTINGS")"
grep -qx 'effects_volume = 100' "$SETTINGS" || fail "the effects volume changed"
kept=$(cat "$SETTINGS")

# The next run starts in full screen; its menu's Quit (Up from Resume) ends it
# at once, and nothing changed writes nothing.
start_game "$GAME" --seed 12
window=$(wait_window)
wait_until "$PATIENCE" full_screen || fail "the second run did not start in full screen"
xdo windowactivate --sync "$window"
# Full screen scales the picture, and the ship is no longer where ship_shown looks.
hold_key space 1
press_until p "P did not show the pause menu in the second run" menu_shown
menu_key Up
xdo keydown Return
wait_exit "$PATIENCE"
xdo keyup Return
[ "$EXIT_STATUS" = "0" ] || fail "Quit gave status $EXIT_STATUS in the second run"
[ "$(cat "$SETTINGS")" = "$kept" ] || fail "the settings changed: $(cat "$SETTINGS")"
[ "$(cat "$GAME_DIR/Assets/highscore.txt")" = "1234" ] || fail "the record changed"
[ ! -s "$WORK/stderr" ] || fail "the game complained: $(cat "$WORK/stderr")"
echo "ok"
