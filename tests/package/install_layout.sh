#!/usr/bin/env bash
# What `cmake --install` lays out: the launcher, the game, read-only assets
# without a record, a valid desktop entry and AppStream file that agree, the
# icons at their sizes showing the ship, the manual page and the licences.
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

# The desktop entry and the AppStream file are named by one id, and each names the other's parts.
metainfo=$(ls "$P"/share/metainfo/*.metainfo.xml)
[ "$(echo "$metainfo" | wc -l)" -eq 1 ] || fail "not exactly one AppStream file: $metainfo"
id=$(basename "$metainfo" .metainfo.xml)
desktop="$P/share/applications/$id.desktop"
[ "$(ls "$P/share/applications")" = "$id.desktop" ] || fail "the desktop entry is not named $id.desktop"
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
grep -q -x 'Exec=zap207' "$desktop" || fail "the desktop entry does not start zap207"
grep -q -x 'Icon=zap207' "$desktop" || fail "the desktop entry names another icon"

# validate-tree also checks the file against the desktop entry it launches.
appstreamcli validate-tree --no-net --strict "$P" > "$WORK/validate" 2>&1 ||
    { cat "$WORK/validate" >&2; fail "the AppStream file does not validate cleanly"; }
tag() { grep -o "<$1[^>]*>[^<]*</$1>" "$metainfo" | sed 's/<[^>]*>//g'; }
[ "$(tag id)" = "$id" ] || fail "the AppStream id '$(tag id)' is not its file's name $id"
[ "$(tag launchable)" = "$id.desktop" ] || fail "the AppStream file launches '$(tag launchable)'"
[ -x "$P/bin/$(tag binary)" ] || fail "the AppStream file provides '$(tag binary)', which is not installed in bin/"
[ "$(tag control | sort | paste -sd ' ')" = "gamepad keyboard" ] || fail "the AppStream file names other controls"
grep -q '<content_rating type="oars-1.1">' "$metainfo" || fail "no OARS 1.1 content rating"
# The newest release is the one the changelog and the manual page announce.
release=$(grep -o '<release version="[^"]*" date="[^"]*"' "$metainfo" | head -n 1)
changelog="$P/share/doc/zap207/changelog.gz"
version=$(zcat "$changelog" | sed -n '1s/^zap207 (\(.*\)).*/\1/p')
day=$(date -u -d "$(zcat "$changelog" | sed -n 's/^ -- .*>  //p' | head -n 1)" +%F)
[ "$release" = "<release version=\"$version\" date=\"$day\"" ] ||
    fail "the AppStream file's newest release is '$release', the changelog's $version of $day"

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
grep -q '^\.TH ZAP207 6' <<< "$(zcat "$man")" || fail "the manual page has no title line for section 6"
grep -q 'highscore.txt' <<< "$(zcat "$man")" || fail "the manual page does not say where the record is kept"

doc="$P/share/doc/zap207"
cmp -s "$SOURCE/LICENSE" "$doc/LICENSE" || fail "no LICENSE in share/doc/zap207"
cmp -s "$SOURCE/Assets/FONT-LICENSE.txt" "$doc/FONT-LICENSE.txt" || fail "no FONT-LICENSE.txt in share/doc/zap207"
grep -q 'MIT License' "$doc/copyright" && grep -q 'LIBERATION' "$doc/copyright" ||
    fail "the copyright file lacks one of the two licences"

# Windows' icon holds each size asked for, small ones as bitmaps and 256 px as
# PNG; every image read back from it is the PNG drawn for that size, pixel for pixel.
"$MAKE_ICONS" "$SOURCE/Assets/falcon.txt" "$WORK/ico" 16 32 256 || fail "make_icons failed"
[ "$(icotool -l "$WORK/ico/zap207.ico" | grep -o -- '--width=[0-9]*' | paste -sd ' ')" = "--width=16 --width=32 --width=256" ] ||
    fail "the .ico holds other sizes: $(icotool -l "$WORK/ico/zap207.ico")"
mkdir "$WORK/ico/out"
icotool -x -o "$WORK/ico/out" "$WORK/ico/zap207.ico"
for size in 16 32 256; do
    differ=$(compare -metric AE "$WORK/ico/out/zap207_"*"_${size}x${size}x32.png" "$WORK/ico/$size/zap207.png" null: 2>&1 || true)
    [ "$differ" = "0" ] || fail "the .ico's $size px image differs from the PNG in $differ pixels"
done

# The icon tool refuses a model with nothing to draw instead of writing blank icons.
printf '{1, 1, 1}\n0\n' > "$WORK/empty.txt"
status=0
"$MAKE_ICONS" "$WORK/empty.txt" "$WORK/icons" 48 2> "$WORK/err" || status=$?
[ "$status" -ne 0 ] && grep -q 'empty.txt' "$WORK/err" || fail "make_icons accepted an empty model (status $status)"
[ ! -e "$WORK/icons/48/zap207.png" ] || fail "make_icons wrote an icon of an empty model"
echo "ok"
