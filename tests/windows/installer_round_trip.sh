#!/usr/bin/env bash
# The Windows installer as a player meets it, in a Wine prefix of its own: a
# silent install (/S) puts the game under the user's profile with a Start-menu
# shortcut and an uninstall entry; the game started as the shortcut starts it
# plays a round, keeps a setting in %APPDATA%\ZAP207\ and saves the record;
# installing again keeps the record; the next run starts from the kept
# setting; uninstalling while the game runs is refused, with a status that
# says so, and keeps everything; a silent uninstall removes the program, its
# shortcut and its entry and keeps the record and the settings. Uninstalling
# runs the entry's own command. With the zip beside the installer, both hold
# the same files.
#   installer_round_trip.sh <dir>/zap207-<version>-windows-x64-setup.exe
source "$(dirname "$0")/lib.sh"
SETUP=$GAME
KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZAP207'
# Wine would copy the Start-menu shortcut to this machine's own menu.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

wine_() { "$WINE_RUN" "$@"; }
# Installers and uninstallers hand work to other processes (the uninstaller
# runs a copy of itself): a step is over when the prefix's last process is.
wait_wine() {
    timeout $((PATIENCE * 5)) /usr/lib/wine/wineserver -w || fail "Wine was still busy after $((PATIENCE * 5)) s"
}
unix_path() { wine_ winepath -u "$1" | tr -d '\r'; }
# The uninstall entry's values, or nothing when there is no entry.
uninstall_entry() {
    if wine_ reg query "$KEY" > "$WORK/entry" 2>&1; then tr -d '\r' < "$WORK/entry" > "$WORK/entry.txt"; else : > "$WORK/entry.txt"; fi
    mv "$WORK/entry.txt" "$WORK/entry"
}
entry_value() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p" "$WORK/entry"; }
install() {
    wine_ "$SETUP" /S || fail "the installer exited with status $?"
    wait_wine
}
# The player's settings, in the roaming profile.
settings_file() { find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/ZAP207/settings.txt' | head -n 1; }
menu_shown() { picture_shows "$window" menu 400x100+200+250 white 500; }
menu_gone() { ! menu_shown; }
# In play: P opens the pause menu, Down and Left turn the music down a step.
music_down() {
    press_until p "P did not show the pause menu" menu_shown
    hold_key Down 0.5
    sleep 0.2
    hold_key Left 0.5
    sleep 0.2
}
# P resumes, which keeps the settings.
resume() { press_until p "P did not resume the game" menu_gone; }

start_xvfb
# Wine links the user's Desktop to the home directory, where find would not look.
desktop_shortcut() { ls "$WINEPREFIX"/drive_c/users/*/Desktop/ZAP207.lnk 2> /dev/null || true; }
[ -z "$(find "$WINEPREFIX/drive_c/users" -path '*/Programs/ZAP207*')$(desktop_shortcut)" ] ||
    fail "the fresh prefix already holds ZAP207"
install

uninstall_entry
[ "$(entry_value DisplayName)" = "ZAP207" ] || fail "no uninstall entry named ZAP207: $(cat "$WORK/entry")"
version=$(basename "$SETUP" | sed -n 's/^zap207-\(.*\)-windows-x64-setup\.exe$/\1/p')
[ "$(entry_value DisplayVersion)" = "$version" ] || fail "the entry's version is '$(entry_value DisplayVersion)', not $version"
[ -n "$(entry_value Publisher)" ] || fail "the entry names no publisher"
location=$(entry_value InstallLocation)
[[ "$location" =~ ^C:\\users\\[^\\]+\\AppData\\Local\\Programs\\ZAP207$ ]] || fail "installed in '$location', not the user's programs folder"
[ "$(entry_value DisplayIcon)" = "\"$location\\zap207.exe\",0" ] || fail "the entry's icon is '$(entry_value DisplayIcon)'"
# In place (_?=), so that the uninstaller's status is its own.
[ "$(entry_value UninstallString)" = "\"$location\\uninstall.exe\" _?=$location" ] || fail "the entry uninstalls with '$(entry_value UninstallString)'"
quiet=$(entry_value QuietUninstallString)
[ "$quiet" = "\"$location\\uninstall.exe\" /S _?=$location" ] || fail "the entry uninstalls silently with '$quiet'"
# As a tool that uninstalls by the entry would: the program, then its arguments.
uninstall_quietly() { wine_ "$location\\uninstall.exe" /S "${quiet##* /S }"; }
size=$(entry_value EstimatedSize)
[ $((size)) -ge 1000 ] || fail "the entry gives a size of '$size' KiB"
INSTALLED=$(unix_path "$location")
[ "$(cat "$INSTALLED/Assets/highscore.txt")" = "0" ] || fail "the first install did not start the record at 0"

zip="$(dirname "$SETUP")/zap207-windows-x64.zip"
if [ -f "$zip" ]; then
    unzip -Z1 "$zip" | grep -v '/$' | sed 's|^zap207/||' | sort > "$WORK/zip-files"
    (cd "$INSTALLED" && find . -type f ! -name uninstall.exe | sed 's|^\./||' | sort) > "$WORK/installed-files"
    diff "$WORK/zip-files" "$WORK/installed-files" > "$WORK/files-diff" ||
        fail "the installer and the zip hold different files: $(cat "$WORK/files-diff")"
fi

# The Start-menu shortcut: its target (the link's plain path) is the installed
# game; among its UTF-16 strings (each led by its length) are the working
# directory, which is the install directory, and the icon's file, the game.
shortcut=$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/ZAP207.lnk' | head -n 1)
[ -n "$shortcut" ] || fail "no ZAP207 shortcut in the Start menu"
strings "$shortcut" | grep -q -x -F "$location\\zap207.exe" || fail "the shortcut does not start $location\\zap207.exe"
strings -el "$shortcut" | cut -c 2- > "$WORK/shortcut"
grep -q -x -F "$location" "$WORK/shortcut" || fail "the shortcut does not start in $location: $(paste -sd ' ' "$WORK/shortcut")"
grep -q -x -F "$location\\zap207.exe" "$WORK/shortcut" || fail "the shortcut's icon is not the game's"
# The show command in the link's header: minimised (2, or 7 without taking
# the focus), so that the console does not cover the game's window.
show=$(od -An -tu4 -j 60 -N 4 "$shortcut" | tr -d ' ')
[ "$show" = 7 ] || [ "$show" = 2 ] || fail "the shortcut starts the console with show command $show, not minimised"
[ -z "$(desktop_shortcut)" ] || fail "a desktop shortcut nobody asked for"

# The game as the shortcut starts it: from the install directory.
GAME_DIR="$INSTALLED" start_game "$WINE_RUN" "$location\\zap207.exe"
window=$(wait_window)
wait_picture "$window" title 240x50+225+250 white min 300 || fail "no title text: the game did not find its Assets"
xdo keydown space
wait_picture "$window" playing 60x80+70+260 'rgb(76,229,255)' min 40 || fail "Space did not start a game"
xdo keyup space
[ -z "$(settings_file)" ] || fail "settings were written before anything was changed"
music_down
resume
settings=$(settings_file)
[ -n "$settings" ] || fail "no settings.txt in the roaming profile after the music was turned down"
grep -qx 'music_volume = 90' "$settings" || fail "the music volume was not kept: $(cat "$settings")"
record=$(wait_for_saved_record "$INSTALLED/Assets/highscore.txt")
quit_with_escape
wait_wine

install
[ "$(cat "$INSTALLED/Assets/highscore.txt")" = "$record" ] || fail "installing again reset the record $record"
[ -f "$INSTALLED/zap207.exe" ] || fail "installing again left no game"

# Uninstalling while the game runs would strand the files the game holds: the
# uninstaller refuses with status 2, and keeps every file and its entry for a
# later try.
# The settings survive the restart: a step down from the kept 90 % is 80 %.
# Seed 12 leaves the ship untouched for half a minute, and the game stays
# paused while the uninstaller tries.
installed_files() { (cd "$INSTALLED" && find . | sort); }
# Started this time as the shortcut starts it, minimised, in a console
# window of its own (Wine's start waits for no program started by a link),
# which must not take the first Space from the game.
GAME_DIR="$INSTALLED" start_game "$WINE_RUN" start /wait /min /d "$location" "$location\\zap207.exe" --seed 12
window=$(wait_window)
xdo keydown space
wait_picture "$window" playing 60x80+70+260 'rgb(76,229,255)' min 40 || fail "Space did not start a game"
xdo keyup space
music_down
resume
grep -qx 'music_volume = 80' "$settings" || fail "the second run did not start from the kept volume: $(cat "$settings")"
press_until p "P did not pause the game" menu_shown
installed_files > "$WORK/before-refused"
status=0
uninstall_quietly || status=$?
[ "$status" -eq 2 ] || fail "uninstalling while the game ran gave status $status, not 2 (refused)"
installed_files | diff "$WORK/before-refused" - > "$WORK/refused-diff" ||
    fail "uninstalling while the game ran changed the files: $(cat "$WORK/refused-diff")"
uninstall_entry
[ "$(entry_value DisplayName)" = "ZAP207" ] || fail "uninstalling while the game ran removed the uninstall entry"
# Only that it ends: its status is checked after the round above. (Under Wine,
# a game ended soon after the uninstaller has run is now and then killed as
# it exits, status 137.)
xdo keydown Escape
wait_exit "$PATIENCE"
xdo keyup Escape
[ "$EXIT_STATUS" != running ] || fail "Escape did not end the game"
wait_no_window
wait_wine

uninstall_quietly || fail "the uninstaller exited with status $?"
wait_wine
left=$(cd "$INSTALLED" && find . | sed 's|^\./||' | sort | paste -sd ' ')
# The record stays, and with it the replay of the run that set it.
case $left in
    ". Assets Assets/highscore.txt" | ". Assets Assets/highscore.replay Assets/highscore.txt") ;;
    *) fail "after uninstalling, the install directory holds: $left" ;;
esac
[ "$(cat "$INSTALLED/Assets/highscore.txt")" = "$record" ] || fail "uninstalling changed the record $record"
grep -qx 'music_volume = 80' "$settings" || fail "uninstalling did not keep the settings"
[ -z "$(find "$WINEPREFIX/drive_c/users" -name 'ZAP207.lnk')$(desktop_shortcut)" ] || fail "a shortcut is left after uninstalling"
uninstall_entry
[ ! -s "$WORK/entry" ] || fail "the uninstall entry is left: $(cat "$WORK/entry")"
echo "ok (record $record kept through a reinstall and the uninstall)"
