#!/usr/bin/env bash
# The Windows installer as a player meets it, in a Wine prefix of its own: a
# silent install (/S) puts the game under the user's profile with a Start-menu
# shortcut and an uninstall entry; the game started as the shortcut starts it
# plays a round and saves the record; installing again keeps the record; a
# silent uninstall removes the program, its shortcut and its entry and keeps
# the record. With the zip beside the installer, both hold the same files.
#   installer_round_trip.sh <dir>/zap207-<version>-windows-x64-setup.exe
source "$(dirname "$0")/lib.sh"
SETUP=$GAME
KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZAP207'
# Wine would copy the Start-menu shortcut to this machine's own menu.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

wine_() { "$WINE_RUN" "$@"; }
# Installers and uninstallers hand work to other processes (the uninstaller
# runs a copy of itself): a step is over when the prefix's last process is.
wait_wine() { timeout 300 /usr/lib/wine/wineserver -w || fail "Wine was still busy after five minutes"; }
unix_path() { wine_ winepath -u "$1" | tr -d '\r'; }
uninstall_entry() { wine_ reg query "$KEY" 2> /dev/null | tr -d '\r' > "$WORK/entry" || true; }
entry_value() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p" "$WORK/entry"; }
install() {
    wine_ "$SETUP" /S || fail "the installer exited with status $?"
    wait_wine
}

start_xvfb
[ -z "$(find "$WINEPREFIX/drive_c/users" -iname 'ZAP207*')" ] || fail "the fresh prefix already holds ZAP207"
install

uninstall_entry
[ "$(entry_value DisplayName)" = "ZAP207" ] || fail "no uninstall entry named ZAP207: $(cat "$WORK/entry")"
version=$(basename "$SETUP" | sed -n 's/^zap207-\(.*\)-windows-x64-setup\.exe$/\1/p')
[ "$(entry_value DisplayVersion)" = "$version" ] || fail "the entry's version is '$(entry_value DisplayVersion)', not $version"
[ -n "$(entry_value Publisher)" ] || fail "the entry names no publisher"
location=$(entry_value InstallLocation)
[[ "$location" =~ ^C:\\users\\[^\\]+\\AppData\\Local\\Programs\\ZAP207$ ]] || fail "installed in '$location', not the user's programs folder"
[ "$(entry_value DisplayIcon)" = "\"$location\\zap207.exe\",0" ] || fail "the entry's icon is '$(entry_value DisplayIcon)'"
[ "$(entry_value UninstallString)" = "\"$location\\uninstall.exe\"" ] || fail "the entry uninstalls with '$(entry_value UninstallString)'"
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

# The Start-menu shortcut's strings (UTF-16 in the file): its working directory
# and its icon both name the install directory.
shortcut=$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/ZAP207.lnk' | head -n 1)
[ -n "$shortcut" ] || fail "no ZAP207 shortcut in the Start menu"
strings -el "$shortcut" > "$WORK/shortcut"
grep -q -x -F "$location" "$WORK/shortcut" || fail "the shortcut does not start in $location: $(cat "$WORK/shortcut")"
grep -q -x -F "$location\\zap207.exe" "$WORK/shortcut" || fail "the shortcut's icon is not the game's: $(cat "$WORK/shortcut")"
[ -z "$(find "$WINEPREFIX/drive_c/users" -path '*/Desktop/ZAP207.lnk')" ] || fail "a desktop shortcut nobody asked for"

# The game as the shortcut starts it: from the install directory.
start_installed() {
    (cd "$INSTALLED" && exec "$WINE_RUN" "$location\\zap207.exe" > "$WORK/stdout" 2> "$WORK/stderr") &
    GAME_PID=$!
}
quit() {
    xdotool keydown Escape
    wait_exit 20
    xdotool keyup Escape
    [ "$EXIT_STATUS" = "0" ] || fail "Escape gave status $EXIT_STATUS"
}
start_installed
wait_window > /dev/null
hold_key space 0.3
record=$(wait_for_saved_record "$INSTALLED/Assets/highscore.txt")
quit
wait_wine

install
[ "$(cat "$INSTALLED/Assets/highscore.txt")" = "$record" ] || fail "installing again reset the record $record"
[ -f "$INSTALLED/zap207.exe" ] || fail "installing again left no game"

wine_ "$INSTALLED/uninstall.exe" /S || fail "the uninstaller exited with status $?"
wait_wine
left=$(cd "$INSTALLED" && find . | sed 's|^\./||' | sort | paste -sd ' ')
[ "$left" = ". Assets Assets/highscore.txt" ] || fail "after uninstalling, the install directory holds: $left"
[ "$(cat "$INSTALLED/Assets/highscore.txt")" = "$record" ] || fail "uninstalling changed the record $record"
[ -z "$(find "$WINEPREFIX/drive_c/users" -name 'ZAP207.lnk')" ] || fail "a shortcut is left after uninstalling"
uninstall_entry
[ ! -s "$WORK/entry" ] || fail "the uninstall entry is left: $(cat "$WORK/entry")"
echo "ok (record $record kept through a reinstall and the uninstall)"
