#!/usr/bin/env bash
# What `cmake --install` lays out: the launcher, the game, read-only assets
# without a record, a valid desktop entry, the icons at their sizes showing the
# ship, the manual page and the licences.
#   install_layout.sh <build dir> <make_icons>
set -euo pipefail
BUILD=$(readlink -f "$1")
MAKE_ICONS=$2
SOURCE=$(readlink -f "$(dirname "$0")/../..")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zap207-layout.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

P="$WORK/prefix"
cmake --install "$BUILD" --prefix "$P" > /dev/null

[ -x "$P/bin/zap207" ] || fail "no launcher in bin/"
[ -x "$P/libexec/zap207/zap207" ] || fail "no game in libexec/zap207/"
for asset in falcon.txt asteroid.txt powerup.txt empire.txt font.ttf bgm.wav ui.wav damage.wav; do
    cmp -s "$SOURCE/Assets/$asset" "$P/share/zap207/$asset" || fail "share/zap207/$asset is missing or differs"
done
[ ! -e "$P/share/zap207/highscore.txt" ] || fail "a record is installed: an update would reset it"

desktop-file-validate "$P/share/applications/zap207.desktop" || fail "the desktop entry is not valid"
grep -q -x 'Exec=zap207' "$P/share/applications/zap207.desktop" || fail "the desktop entry does not start zap207"
grep -q -x 'Icon=zap207' "$P/share/applications/zap207.desktop" || fail "the desktop entry names another icon"

# Each PNG at its size, transparent outside the rounded square, the ship's
# colour (from falcon.txt) along its outline and a dark field around it.
for size in 48 128 256; do
    png="$P/share/icons/hicolor/${size}x${size}/apps/zap207.png"
    [ "$(identify -format '%m %w %h' "$png")" = "PNG $size $size" ] || fail "$png is not a ${size}x$size PNG"
    [ "$(convert "$png" -format '%[fx:p{0,0}.a]' info:)" = "0" ] || fail "the $size px icon's corner is not transparent"
    ship=$(convert "$png" -alpha off -fuzz 12% -fill black +opaque 'rgb(76,229,255)' -fill white -opaque 'rgb(76,229,255)' \
        -format '%[fx:round(mean*w*h)]' info:)
    [ "$ship" -gt $((size * size / 40)) ] || fail "the $size px icon shows only $ship pixels of the ship's colour"
    [ "$(convert "$png" -format '%[fx:p{w/2,h/8}.intensity < 0.2]' info:)" = "1" ] || fail "the $size px icon's field is not dark"
done
svg="$P/share/icons/hicolor/scalable/apps/zap207.svg"
[ "$(grep -o '<polyline points="[^"]*"' "$svg" | head -n 1 | tr ' ' '\n' | wc -l)" -eq 16 ] ||
    fail "the SVG outline does not have the model's 15 points"

man="$P/share/man/man6/zap207.6.gz"
gzip -t "$man" || fail "the manual page is not a valid gzip file"
zcat "$man" | grep -q '^\.TH ZAP207 6' || fail "the manual page has no title line for section 6"
zcat "$man" | grep -q 'highscore.txt' || fail "the manual page does not say where the record is kept"

doc="$P/share/doc/zap207"
cmp -s "$SOURCE/LICENSE" "$doc/LICENSE" || fail "no LICENSE in share/doc/zap207"
cmp -s "$SOURCE/Assets/FONT-LICENSE.txt" "$doc/FONT-LICENSE.txt" || fail "no FONT-LICENSE.txt in share/doc/zap207"
grep -q 'MIT License' "$doc/copyright" && grep -q 'LIBERATION' "$doc/copyright" ||
    fail "the copyright file lacks one of the two licences"

# The icon tool refuses a model with nothing to draw instead of writing blank icons.
printf '{1, 1, 1}\n0\n' > "$WORK/empty.txt"
status=0
"$MAKE_ICONS" "$WORK/empty.txt" "$WORK/icons" 48 2> "$WORK/err" || status=$?
[ "$status" -ne 0 ] && grep -q 'empty.txt' "$WORK/err" || fail "make_icons accepted an empty model (status $status)"
[ ! -e "$WORK/icons/48/zap207.png" ] || fail "make_icons wrote an icon of an empty model"
echo "ok"
