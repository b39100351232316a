#!/usr/bin/env bash
# Asset files swapped for things that once hung or swamped the game: a FIFO as
# the font, a sound and the record (open() blocked for ever), a link to
# /dev/zero as the music (read without end), and a 121-byte sound whose header
# claims 1 GB of samples. The game still opens its window, names each broken
# file on stderr once, stays small, and quits on Escape.
source "$(dirname "$0")/lib.sh"
start_xvfb
prepare_assets
assets="$GAME_DIR/Assets"
rm -f "$assets/font.ttf" "$assets/damage.wav" "$assets/highscore.txt" "$assets/bgm.wav"
mkfifo "$assets/font.ttf" "$assets/damage.wav" "$assets/highscore.txt"
ln -s /dev/zero "$assets/bgm.wav"
# RIFF/WAVE, a 16-byte PCM format chunk, then a data chunk claiming 2^30 bytes.
{
    printf 'RIFF\x71\x00\x00\x00WAVEfmt \x10\x00\x00\x00'
    printf '\x01\x00\x01\x00\x22\x56\x00\x00\x44\xac\x00\x00\x02\x00\x10\x00'
    printf 'data\x00\x00\x00\x40'
    head -c 77 /dev/zero
} > "$assets/ui.wav"
[ "$(stat -c %s "$assets/ui.wav")" = "121" ] || fail "the hostile sound is not 121 bytes"

start_game
wait_window > /dev/null
# The record cannot be read either, which the game says every frame.
wait_lines 30 "$NO_RECORD_LINE" || fail "the game did not keep drawing frames on hostile assets"
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$GAME_PID/status")
[ "$rss_kb" -lt 307200 ] || fail "the game holds $rss_kb kB after start-up"

for file in font.ttf bgm.wav ui.wav damage.wav; do
    [ "$(grep -c "$file" "$WORK/stderr")" = "1" ] || fail "$file was not reported exactly once"
done

quit_with_escape
echo "ok"
