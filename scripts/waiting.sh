# shellcheck shell=bash disable=SC2034  # REAPED_STATUS is for the caller
# Sourced by scripts and tests that start background processes: waiting for a
# condition or for a process to end, with a deadline instead of a fixed sleep,
# so that a loaded machine makes a check slower but never makes it fail.

# Milliseconds since the epoch, without starting a process.
now_ms() {
    local t=${EPOCHREALTIME//[.,]/}
    echo $((t / 1000))
}

# True while the process runs. A process that has died but has not been reaped
# yet (a zombie, which kill -0 still finds) has ended.
alive() {
    local stat
    # read, not $(< file): a failed $(< file) ends a shell under set -e.
    { read -r stat < "/proc/$1/stat"; } 2> /dev/null || return 1
    stat=${stat##*) }
    case ${stat%% *} in
        Z | X) return 1 ;;
        *) return 0 ;;
    esac
}

ended() { ! alive "$1"; }

# wait_until SECONDS COMMAND...: runs the command until it succeeds; status 1
# when it has not succeeded within the given (whole) seconds.
wait_until() {
    local seconds=$1
    shift
    local deadline=$(($(now_ms) + seconds * 1000))
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# reap PID SECONDS: waits for a child of this shell to end, then collects its
# exit status with `wait` into REAPED_STATUS ("running" when it did not end in
# time). Not in a subshell: only the parent can collect a status.
reap() {
    REAPED_STATUS=running
    wait_until "$2" ended "$1" || return 0
    REAPED_STATUS=0
    wait "$1" || REAPED_STATUS=$?
}
