#!/usr/bin/env bash
# The installed zap207 command: it prepares each player's directory, keeps the
# player's record through every start, and refuses a broken installation with
# one line and status 1. The game itself is stood in for by a script that
# reports where it was started, so no display is needed.
#   launcher.sh <build dir>
set -euo pipefail
BUILD=$(readlink -f "$1")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zap207-launcher.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

fail() {
    echo "FAIL: $*" >&2
    for f in out err; do [ -f "$WORK/$f" ] && { echo "--- $f:" >&2; cat "$WORK/$f" >&2; }; done
    exit 1
}

PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" > /dev/null
LAUNCHER="$PREFIX/bin/zap207"
DATA="$PREFIX/share/zap207"
PROGRAM="$PREFIX/libexec/zap207/zap207"
cat > "$PROGRAM" <<'STAND_IN'
#!/bin/sh
pwd > "$ZAP207_TEST_MARK"
echo "$@" >> "$ZAP207_TEST_MARK"
exit 7
STAND_IN
export ZAP207_TEST_MARK="$WORK/started"

# Runs the launcher from an unrelated directory; sets STATUS.
run() {
    rm -f "$ZAP207_TEST_MARK"
    STATUS=0
    (cd "$WORK/elsewhere" && "$@" > "$WORK/out" 2> "$WORK/err") || STATUS=$?
}
mkdir -p "$WORK/elsewhere"

# A fresh player: links to every installed asset, a record of 0, the game started there.
export HOME="$WORK/home1"
mkdir -p "$HOME"
unset XDG_DATA_HOME
run "$LAUNCHER" one two
PLAY="$HOME/.local/share/zap207"
[ "$STATUS" -eq 7 ] || fail "the game's status 7 came back as $STATUS"
[ "$(head -n 1 "$ZAP207_TEST_MARK")" = "$PLAY" ] || fail "the game started in $(head -n 1 "$ZAP207_TEST_MARK"), not $PLAY"
[ "$(sed -n 2p "$ZAP207_TEST_MARK")" = "one two" ] || fail "the arguments were not passed on"
# A replay named from where the command was typed is still found from there.
run "$LAUNCHER" --seed 3 --replay run.replay --verify /abs/run.replay
[ "$(sed -n 2p "$ZAP207_TEST_MARK")" = "--seed 3 --replay $WORK/elsewhere/run.replay --verify /abs/run.replay" ] ||
    fail "replay paths were not named from the starting directory"
assets=0
for asset in "$DATA"/*; do
    name=${asset##*/}
    [ -L "$PLAY/Assets/$name" ] || fail "$name is not linked into the player's Assets"
    [ "$(readlink -f "$PLAY/Assets/$name")" = "$(readlink -f "$asset")" ] || fail "$name links elsewhere"
    assets=$((assets + 1))
done
[ "$assets" -ge 8 ] || fail "only $assets assets are installed"
[ -f "$PLAY/Assets/highscore.txt" ] && [ ! -L "$PLAY/Assets/highscore.txt" ] || fail "no record file of the player's own"
[ "$(cat "$PLAY/Assets/highscore.txt")" = "0" ] || fail "the new record does not hold 0"
[ ! -s "$WORK/err" ] || fail "a normal start printed on stderr"

# The record survives every later start, and so does a file the player put in
# place of an asset; a link to an older installation is renewed and one to
# nothing is dropped.
printf '4321' > "$PLAY/Assets/highscore.txt"
rm -f "$PLAY/Assets/asteroid.txt"
printf 'mine' > "$PLAY/Assets/asteroid.txt"
ln -sfn /nonexistent/old/font.ttf "$PLAY/Assets/font.ttf"
ln -sfn "$WORK/elsewhere" "$PLAY/Assets/ui.wav"
ln -s /nonexistent/old/retired.txt "$PLAY/Assets/retired.txt"
run "$LAUNCHER"
[ "$STATUS" -eq 7 ] || fail "second start gave status $STATUS"
[ "$(cat "$PLAY/Assets/highscore.txt")" = "4321" ] || fail "the record was overwritten"
[ "$(cat "$PLAY/Assets/asteroid.txt")" = "mine" ] || fail "the player's own asteroid.txt was replaced"
[ "$(readlink "$PLAY/Assets/font.ttf")" = "$DATA/font.ttf" ] || fail "a dangling font link was not renewed"
[ "$(readlink "$PLAY/Assets/ui.wav")" = "$DATA/ui.wav" ] || fail "a link to another place was not renewed"
[ ! -L "$PLAY/Assets/retired.txt" ] || fail "a link to nothing was kept"
[ -z "$(find "$PLAY" -name '*.new.*')" ] || fail "temporary files left behind"

# XDG_DATA_HOME picks the place when it is absolute; a relative one is ignored.
export XDG_DATA_HOME="$WORK/xdg"
run "$LAUNCHER"
[ "$(head -n 1 "$ZAP207_TEST_MARK")" = "$XDG_DATA_HOME/zap207" ] || fail "XDG_DATA_HOME was not used"
[ "$(cat "$XDG_DATA_HOME/zap207/Assets/highscore.txt")" = "0" ] || fail "no record under XDG_DATA_HOME"
export XDG_DATA_HOME="relative/xdg"
run "$LAUNCHER"
[ "$(head -n 1 "$ZAP207_TEST_MARK")" = "$PLAY" ] || fail "a relative XDG_DATA_HOME was not ignored"
[ ! -e "$WORK/elsewhere/relative" ] || fail "a relative XDG_DATA_HOME created a directory"
unset XDG_DATA_HOME

# Started through a link, as a menu or a PATH entry elsewhere may do.
ln -s "$LAUNCHER" "$WORK/linked-zap207"
run "$WORK/linked-zap207"
[ "$STATUS" -eq 7 ] || fail "started through a link: status $STATUS"

# Failures: one line on stderr, status 1, and the game never starts.
expect_refusal() {
    local what=$1 pattern=$2
    [ "$STATUS" -eq 1 ] || fail "$what: status $STATUS, not 1"
    [ ! -e "$ZAP207_TEST_MARK" ] || fail "$what: the game was started anyway"
    [ "$(wc -l < "$WORK/err")" -eq 1 ] || fail "$what: not exactly one line on stderr"
    grep -q -- "$pattern" "$WORK/err" || fail "$what: the message does not name $pattern"
}

mv "$DATA/font.ttf" "$WORK/font.ttf"
run "$LAUNCHER"
expect_refusal "a missing asset" "font.ttf"
mv "$WORK/font.ttf" "$DATA/font.ttf"

mv "$PROGRAM" "$WORK/program"
run "$LAUNCHER"
[ "$STATUS" -eq 1 ] && [ "$(wc -l < "$WORK/err")" -eq 1 ] && grep -q "libexec/zap207/zap207" "$WORK/err" ||
    fail "a missing program: status $STATUS"
mv "$WORK/program" "$PROGRAM"

(unset HOME; run "$LAUNCHER"; expect_refusal "no HOME" "HOME")
(export HOME="relative/home"; run "$LAUNCHER"; expect_refusal "a relative HOME" "not an absolute path")
[ ! -e "$WORK/elsewhere/relative" ] || fail "a relative HOME created a directory"
(export HOME="$WORK/no-such-home"; run "$LAUNCHER"; expect_refusal "a missing HOME" "no-such-home")
[ ! -e "$WORK/no-such-home" ] || fail "a missing HOME was created"

export HOME="$WORK/home3"
mkdir -p "$HOME/.local/share/zap207"
printf 'a file' > "$HOME/.local/share/zap207/Assets"
run "$LAUNCHER"
expect_refusal "a file named Assets" "Assets is a file, not a directory"

# Root with a player's HOME (sudo -E zap207) must not leave directories the
# player cannot use. Only root can give a directory away to test this.
if [ "$(id -u)" -eq 0 ]; then
    export HOME="$WORK/player-home"
    mkdir -p "$HOME"
    chown 65534:65534 "$HOME"
    run "$LAUNCHER"
    expect_refusal "root with a player's fresh HOME" "another user"
    [ -z "$(ls -A "$HOME")" ] || fail "root created $(ls -A "$HOME") in the player's HOME"

    mkdir -p "$HOME/.local/share/zap207/Assets"
    printf '777' > "$HOME/.local/share/zap207/Assets/highscore.txt"
    chown -R 65534:65534 "$HOME"
    run "$LAUNCHER"
    expect_refusal "root with a player's prepared HOME" "another user"
    [ "$(stat -c %U "$HOME/.local/share/zap207/Assets/highscore.txt")" != root ] || fail "the record changed hands"
    [ "$(find "$HOME" -user root | wc -l)" -eq 0 ] || fail "root left files in the player's HOME"

    # A shared sticky directory such as /tmp is fine to make one's own inside.
    export XDG_DATA_HOME="$WORK/shared/data"
    mkdir -p "$WORK/shared"
    chown 65534:65534 "$WORK/shared"
    chmod 1777 "$WORK/shared"
    run "$LAUNCHER"
    [ "$STATUS" -eq 7 ] || fail "a sticky shared directory was refused: status $STATUS"
    unset XDG_DATA_HOME
fi

export HOME="$WORK/home2"
mkdir -p "$HOME/.local/share"
printf 'not a directory' > "$HOME/.local/share/zap207"
run "$LAUNCHER"
expect_refusal "a file in the way" "$HOME/.local/share/zap207"

echo "ok"
