#!/usr/bin/env bash
# Closing the game's console (as its close button, logging off or shutting
# down do) ends zap207.exe as Escape does: with status 0, and with the volume
# turned down in the still open pause menu kept in settings.txt. So does the
# session's end, which reaches the game's window. Ctrl+C still ends it at
# once, keeping nothing.
#   console_close_keeps_settings.sh <dir>/zap207.exe <dir>/raise_console_event.exe
source "$(dirname "$0")/lib.sh"
RAISE=$(readlink -f "$2")
MENU_TEXT='400x100+200+250'
# Every row of the menu, with its values.
MENU_ROWS='600x280+100+200'

settings_file() { find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/ZAP207/settings.txt' | head -n 1; }
menu_shown() { picture_shows "$window" menu "$MENU_TEXT" white 500; }
menu_crop() { convert "$1" -crop "$MENU_ROWS" +repage "$WORK/$2.png"; }
# The menu looks other than in $WORK/$1.png.
menu_changed() {
    local shot
    shot=$(screenshot "$window" menu-now) && menu_crop "$shot" menu-now || return 1
    [ "$(compare -metric AE "$WORK/$1.png" "$WORK/menu-now.png" null: 2>&1)" != 0 ]
}
# Holds a key until the menu shows that the game has taken it (a key let go
# within the frame it went down in is never seen).
menu_key() {
    menu_crop "$(screenshot "$window" menu-before)" menu-before
    xdo keydown "$1"
    wait_until "$PATIENCE" menu_changed menu-before || fail "the menu did not follow $1"
    xdo keyup "$1"
}
# Seed 12 leaves the ship untouched for half a minute, long enough to pause
# on a loaded machine.
start_seeded() { start_game "${GAME_COMMAND[@]}" --seed 12; }
# In play, P opens the pause menu; Down and Left turn the music down a step,
# and the menu stays open, so nothing is kept yet.
music_down_in_open_menu() {
    window=$(wait_window)
    wait_picture "$window" title 240x50+225+250 white min 300 || fail "no title screen"
    sleep 0.5
    xdo keydown space
    wait_picture "$window" playing 60x80+70+260 'rgb(76,229,255)' min 40 || fail "Space did not start a game"
    xdo keyup space
    press_until p "P did not show the pause menu" menu_shown
    menu_key Down
    menu_key Left
}
raise() { "$WINE_RUN" "$RAISE" zap207.exe "$1" || fail "could not raise the console's $1 event"; }

start_xvfb
prepare_assets
start_seeded
music_down_in_open_menu
[ -z "$(settings_file)" ] || fail "settings were kept while the menu was still open"
raise close
wait_exit "$PATIENCE"
[ "$EXIT_STATUS" != running ] || fail "the console's closing did not end the game"
[ "$EXIT_STATUS" = 0 ] || fail "the console's closing ended the game with status $EXIT_STATUS"
settings=$(settings_file)
[ -n "$settings" ] || fail "no settings.txt after the console closed"
grep -qx 'music_volume = 90' "$settings" || fail "the music volume was not kept: $(cat "$settings")"
wait_no_window

start_seeded
music_down_in_open_menu
raise c
wait_exit "$PATIENCE"
[ "$EXIT_STATUS" != running ] || fail "Ctrl+C did not end the game"
# (Its status tells nothing here: Wine's default handler ends every program
# with status 0.)
grep -qx 'music_volume = 90' "$settings" || fail "Ctrl+C ended the game as Escape does, keeping a setting: $(cat "$settings")"
wait_no_window

# Logging off: Wine ends its session as Windows does, asking every window.
rm -f "$settings"
start_seeded
music_down_in_open_menu
"$WINE_RUN" wineboot --end-session || fail "Wine could not end its session"
wait_exit "$PATIENCE"
[ "$EXIT_STATUS" != running ] || fail "the session's end did not end the game"
[ -f "$settings" ] || fail "no settings.txt after the session ended"
grep -qx 'music_volume = 90' "$settings" || fail "the session's end lost the music volume: $(cat "$settings")"
echo "ok"
