#!/usr/bin/env bash
# A saved record must survive a power cut: the new digits are written to a
# temporary file and flushed to the disk before the file is renamed over the
# record (a first record is linked to its name instead, which cannot replace
# one another game made meanwhile), and the directory is flushed after that. Where no file can be
# made beside the record, it is written over without being emptied first, then
# cut to length and flushed. Traces the system calls of the store's own save
# tests and checks those orders for every save.
# Usage: record_reaches_the_disk.sh <game_tests binary>
set -euo pipefail
TESTS=$(readlink -f "$1")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zap207-durable.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

command -v strace > /dev/null || { echo "FAIL: strace is not installed"; exit 1; }
# LeakSanitizer cannot run under a tracer; leaks are the unit tests' business.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# trace <test> <file>: the test's system calls, one a line, without the pid.
trace() {
    strace -f -qq -o "$WORK/raw" \
        -e trace=open,openat,write,ftruncate,fsync,fdatasync,close,rename,renameat,renameat2,link,linkat \
        "$TESTS" --gtest_filter="HighScoreStoreTest.$1" > "$WORK/out" 2>&1 ||
        { cat "$WORK/out"; echo "FAIL: the traced test $1 failed"; exit 1; }
    sed -E 's/^[0-9]+ +//' "$WORK/raw" > "$2"
}
trace SavesBareDigitsThatReadBack "$WORK/trace"
trace WithoutRoomForANewFileAWritableRecordIsRewrittenInPlace "$WORK/in-place"

# Each save: create the temporary file, write, fsync, close, rename it over
# the record (or link it to a record's name that is free), open the
# directory, fsync it.
awk '
function fd_of(line) { sub(/.*= /, "", line); return line + 0 }
function fail(msg) { print "FAIL: " msg ": " $0; bad = 1; exit 1 }
/^open(at)?\(.*\.tmp", .*O_EXCL/ {
    if (state != 0) fail("a new temporary file before the last save finished")
    tmp = fd_of($0); state = 1; next
}
state == 1 && $0 ~ "^write\\(" tmp ","     { state = 2; next }
state == 2 && $0 ~ "^f(data)?sync\\(" tmp "\\)" { state = 3; next }
state >= 1 && state <= 3 && $0 ~ "^close\\(" tmp "\\)" {
    if (state != 3) fail("the temporary file was closed before its bytes were flushed")
    state = 4; next
}
/^(rename(at2?)?|link(at)?)\(.*\.tmp".*highscore\.txt"/ {
    if (state != 4) fail("renamed before the new record was on the disk")
    state = 5; next
}
state == 5 && /^open(at)?\(.*O_DIRECTORY/ { dir = fd_of($0); state = 6; next }
state == 6 && $0 ~ "^fsync\\(" dir "\\)" { state = 0; saves++; next }
END {
    if (bad) exit 1
    if (state != 0) { print "FAIL: a save stopped at step " state " of 6"; exit 1 }
    if (saves != 4) { print "FAIL: " saves + 0 " durable saves traced, 4 expected"; exit 1 }
    print "4 saves, each flushed before the rename and the directory after it"
}' "$WORK/trace"

# The rewrite in place: opened without O_TRUNC, written, cut, flushed, closed.
awk '
function fd_of(line) { sub(/.*= /, "", line); return line + 0 }
function fail(msg) { print "FAIL: " msg ": " $0; bad = 1; exit 1 }
# (The test writes its starting record itself, with O_CREAT.)
/^open(at)?\(.*highscore\.txt", O_WRONLY/ && !/O_CREAT/ {
    if ($0 ~ /O_TRUNC/) fail("the record was emptied before the new digits were written")
    if ($0 ~ /= -1/) next
    fd = fd_of($0); state = 1; next
}
state == 1 && $0 ~ "^write\\(" fd ","        { state = 2; next }
state == 2 && $0 ~ "^ftruncate\\(" fd ","    { state = 3; next }
state == 3 && $0 ~ "^f(data)?sync\\(" fd "\\)" { state = 4; next }
state >= 1 && $0 ~ "^close\\(" fd "\\)" {
    if (state != 4) fail("the record was closed before it was written, cut and flushed")
    state = 0; saves++; next
}
END {
    if (bad) exit 1
    if (saves != 1) { print "FAIL: " saves + 0 " rewrites in place traced, 1 expected"; exit 1 }
    print "1 rewrite in place, written over, cut to length and flushed"
}' "$WORK/in-place"
