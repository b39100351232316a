#!/usr/bin/env bash
# The .deb on this machine, as a player meets it: install it, start `zap207`
# from an unrelated directory with a fresh HOME, play a round, see the record on
# the next start after the package is installed again, and remove the package
# with the record left in place.
# Needs root; the package is removed again however the test ends.
#   deb_round_trip.sh <zap207_*.deb>
source "$(dirname "$0")/../e2e/lib.sh"
DEB=$GAME
INSTALLED=""
HIGH_SCORE_TEXT='275x40+525+10'

uninstall() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2> /dev/null || true
    GAME_PID=""
    if [ -n "$INSTALLED" ] && dpkg-query -W -f='${Status}' zap207 2> /dev/null | grep -q 'installed'; then
        apt-get purge -y -qq zap207 > /dev/null 2>&1 || dpkg --purge zap207 > /dev/null 2>&1 || true
    fi
    cleanup
}
trap uninstall EXIT
trap "exit 130" INT TERM

[ "$(id -u)" -eq 0 ] || fail "installing the package needs root"
if dpkg-query -W -f='${Status}' zap207 2>/dev/null | grep -q 'install ok installed'; then
    fail "zap207 is already installed here; this test installs and removes its own copy"
fi

export DEBIAN_FRONTEND=noninteractive
INSTALLED=yes
apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$DEB" > "$WORK/apt.log" 2>&1 ||
    { cat "$WORK/apt.log" >&2; fail "apt-get could not install $DEB"; }

desktop=$(dpkg -L zap207 | grep '^/usr/share/applications/.*\.desktop$' || true)
desktop-file-validate "$desktop" || fail "the installed desktop entry '$desktop' is not valid"
metainfo=$(dpkg -L zap207 | grep '^/usr/share/metainfo/.*\.metainfo\.xml$' || true)
appstreamcli validate --no-net --strict "$metainfo" > "$WORK/validate" 2>&1 ||
    { cat "$WORK/validate" >&2; fail "the installed AppStream file '$metainfo' does not validate cleanly"; }
for size in 48 128 256; do
    icon=$(dpkg -L zap207 | grep "/hicolor/${size}x${size}/apps/zap207.png$" || true)
    [ "$(identify -format '%w %h' "$icon")" = "$size $size" ] || fail "no ${size}x$size icon at $icon"
done
[ -f /usr/share/icons/hicolor/scalable/apps/zap207.svg ] || fail "no scalable icon"

# A player's login PATH on Debian (/etc/profile), not root's, which lacks /usr/games.
export PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
[ "$(command -v zap207)" = "/usr/games/zap207" ] || fail "zap207 on the PATH is '$(command -v zap207 || true)'"

export HOME="$WORK/home"
unset XDG_DATA_HOME
mkdir -p "$HOME" "$WORK/elsewhere"
RECORD="$HOME/.local/share/zap207/Assets/highscore.txt"

start_xvfb
# Every start is from an unrelated directory.
# shellcheck disable=SC2034  # read by start_game
GAME_DIR="$WORK/elsewhere"

# Saves the "HIGH SCORE n" corner of the title screen as <name>.png.
high_score_shot() {
    wait_picture "$1" "$2-window" "$HIGH_SCORE_TEXT" white min 100 || fail "no high score on the title screen"
    convert "$WORK/$2-window.png" -crop "$HIGH_SCORE_TEXT" +repage "$WORK/$2.png"
}

# Pixels that differ between two shots (a star or two may drift through).
differing_pixels() {
    compare -metric AE -fuzz 10% "$WORK/$1.png" "$WORK/$2.png" null: 2>&1 || true
}

# First start: the player's directory appears with a record of 0; one round saves a new one.
start_game zap207
window=$(wait_window)
[ "$(cat "$RECORD")" = "0" ] || fail "the first start did not seed the record with 0"
high_score_shot "$window" first
# Space held until the title text is gone: the game has started.
xdo keydown space
wait_picture "$window" playing 240x50+225+250 white max 50 || fail "Space did not start a game"
xdo keyup space
record=$(wait_for_saved_record "$RECORD")
quit_with_escape

# An update puts every installed file in place again; the record is the player's.
apt-get install -y -qq --reinstall -o DPkg::Lock::Timeout=300 "$DEB" > "$WORK/apt.log" 2>&1 ||
    { cat "$WORK/apt.log" >&2; fail "apt-get could not reinstall $DEB"; }

# Second start: the title shows the record. A copy of the game started directly
# on a directory holding the same record draws the same text.
start_game zap207
window=$(wait_window)
high_score_shot "$window" second
[ "$(cat "$RECORD")" = "$record" ] || fail "the second start changed the record"
quit_with_escape

mkdir -p "$WORK/reference/Assets"
cp -L /usr/share/zap207/* "$WORK/reference/Assets/"
printf '%s' "$record" > "$WORK/reference/Assets/highscore.txt"
GAME_DIR="$WORK/reference" start_game /usr/libexec/zap207/zap207
window=$(wait_window)
high_score_shot "$window" reference
quit_with_escape
from_fresh=$(differing_pixels second first)
from_reference=$(differing_pixels second reference)
[ "$from_reference" -le 8 ] || fail "the second start's high score differs from record $record's in $from_reference pixels"
[ "$from_fresh" -ge 30 ] || fail "the second start's high score looks like a fresh player's ($from_fresh pixels differ)"

# Removing the package takes the program and its files but not the record.
apt-get purge -y -qq zap207 > "$WORK/apt.log" 2>&1 || { cat "$WORK/apt.log" >&2; fail "apt-get could not remove zap207"; }
INSTALLED=""
[ ! -e /usr/games/zap207 ] && [ ! -e /usr/share/zap207 ] && [ ! -e /usr/libexec/zap207 ] ||
    fail "files of the package are left after its removal"
[ "$(cat "$RECORD")" = "$record" ] || fail "removing the package lost the record"
echo "ok (record $record; its high-score text differs from a fresh start in $from_fresh pixels, from the reference in $from_reference)"
