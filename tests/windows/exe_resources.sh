#!/usr/bin/env bash
# What Explorer shows of zap207.exe, read from its resources with wrestool:
# the ship's icon at every size from 16 to 256 px, the version details of the
# file's Properties at the project's version, and a manifest that declares
# per-monitor DPI awareness, the supported Windows versions and no elevation.
# Needs no Wine.
#   exe_resources.sh <dir>/zap207.exe
set -euo pipefail
EXE=$(readlink -f "$1")
SOURCE=$(readlink -f "$(dirname "$0")/../..")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zap207-resources.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

wrestool -x --type=14 "$EXE" > "$WORK/icon.ico" 2> /dev/null || true
[ -s "$WORK/icon.ico" ] || fail "no icon in $EXE"
sizes=$(icotool -l "$WORK/icon.ico" | grep -o -- '--width=[0-9]*' | cut -d= -f2 | paste -sd ' ')
[ "$sizes" = "16 24 32 48 64 128 256" ] || fail "the icon holds the sizes '$sizes'"
mkdir "$WORK/icons"
icotool -x -o "$WORK/icons" "$WORK/icon.ico"
# Each size shows the ship's colour (from falcon.txt) on a rounded square with see-through corners.
for size in 16 32 256; do
    png=$(ls "$WORK/icons/"*"_${size}x${size}x32.png")
    [ "$(convert "$png" -format '%[fx:p{0,0}.a]' info:)" = "0" ] || fail "the $size px icon's corner is not transparent"
    ship=$(convert "$png" -alpha off -fuzz 12% -fill black +opaque 'rgb(76,229,255)' -fill white -opaque 'rgb(76,229,255)' \
        -format '%[fx:round(mean*w*h)]' info:)
    [ "$ship" -gt $((size * size / 40)) ] || fail "the $size px icon shows only $ship pixels of the ship's colour"
done

# The version block's strings, UTF-16 in the file, one a line: each name is followed by its value.
wrestool -x --raw --type=16 "$EXE" 2> /dev/null | strings -el -n 3 > "$WORK/version" || true
value() { grep -A1 -x "$1" "$WORK/version" | sed -n 2p; }
version=$(sed -n 's/^project(zap207 VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")
[ "$(value ProductName)" = "ZAP207" ] || fail "ProductName is '$(value ProductName)'"
[ "$(value ProductVersion)" = "$version" ] || fail "ProductVersion is '$(value ProductVersion)', not $version"
[ "$(value FileVersion)" = "$version" ] || fail "FileVersion is '$(value FileVersion)', not $version"
[ "$(value OriginalFilename)" = "zap207.exe" ] || fail "OriginalFilename is '$(value OriginalFilename)'"
grep -q 'MIT License' <<< "$(value LegalCopyright)" || fail "the copyright does not name the licence: '$(value LegalCopyright)'"
grep -q . <<< "$(value FileDescription)" || fail "no FileDescription"

wrestool -x --raw --type=24 "$EXE" > "$WORK/manifest.xml" 2> /dev/null || true
manifest=$(tr -d '\n' < "$WORK/manifest.xml")
[[ "$manifest" == *'<dpiAwareness'*'>PerMonitorV2'* ]] || fail "the manifest does not declare per-monitor DPI awareness"
[[ "$manifest" == *'<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>'* ]] || fail "the manifest does not name Windows 10 and 11"
[[ "$manifest" == *'level="asInvoker"'* ]] || fail "the manifest does not run the game with the player's own rights"
echo "ok (icon sizes $sizes, version $version)"
