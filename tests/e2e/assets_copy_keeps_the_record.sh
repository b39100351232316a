#!/usr/bin/env bash
# The build copies Assets beside the game, but a record already there is the
# player's and survives every rebuild.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/zap207-assets.XXXXXX")
trap 'rm -rf "$work"' EXIT
copy() { cmake -DSOURCE="$source_dir/Assets" -DDEST="$work/Assets" -P "$source_dir/cmake/CopyAssets.cmake"; }

copy
[ "$(cat "$work/Assets/highscore.txt")" = "$(cat "$source_dir/Assets/highscore.txt")" ] || { echo "FAIL: no first record"; exit 1; }
[ -f "$work/Assets/falcon.txt" ] && [ -f "$work/Assets/font.ttf" ] || { echo "FAIL: assets missing"; exit 1; }

printf '4321' > "$work/Assets/highscore.txt"
echo "stale" > "$work/Assets/falcon.txt"
copy
[ "$(cat "$work/Assets/highscore.txt")" = "4321" ] || { echo "FAIL: the record was overwritten"; exit 1; }
cmp -s "$work/Assets/falcon.txt" "$source_dir/Assets/falcon.txt" || { echo "FAIL: a changed model was not refreshed"; exit 1; }
echo "ok"
