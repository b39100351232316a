# shellcheck shell=bash disable=SC2034  # the settings are for the sourcing scripts
# Sourced by every script that builds: the settings they share.
#   WERROR  ON when warnings are errors: ZAP207_WERROR, else ON under CI (CI=true)
#   JOBS    parallel build jobs (default: the number of cores)
#   HOST_BUILD_DIR  the ordinary build of this machine (default: build), which
#           play.sh, test.sh and `cmake -S . -B build` share
#   sanitizer_env  exports the sanitizers' run-time options
#   configure_new DIR ARGS...  configures DIR, with ARGS only when it is new
#   host_make_icons  builds make_icons in HOST_BUILD_DIR and prints its path
#   host_build TARGET FILE  builds TARGET there and prints the path of FILE
WERROR=${ZAP207_WERROR:-$([ "${CI:-}" = "true" ] && echo ON || echo OFF)}
JOBS=${JOBS:-$(nproc)}
HOST_BUILD_DIR=${HOST_BUILD_DIR:-build}

# A build that exists keeps its type and options: scripts that share it never
# switch it to theirs, which would compile everything again.
configure_new() {
    local dir=$1
    shift
    [ ! -f "$dir/CMakeCache.txt" ] || set --
    cmake -S . -B "$dir" "$@" > /dev/null
}

# The cross builds draw their icons with the tool the ordinary build already
# makes for this machine, rather than compiling the engine for it again.
host_make_icons() {
    host_build make_icons make_icons
}

# host_build TARGET FILE: builds TARGET in HOST_BUILD_DIR and prints the path
# of FILE, relative to that build, which it makes.
host_build() {
    # Called as $(host_build ...), where a failure would not end the script.
    configure_new "$HOST_BUILD_DIR" -DBUILD_TESTING=OFF -DZAP207_WERROR="$WERROR" || return 1
    cmake --build "$HOST_BUILD_DIR" --target "$1" -j "$JOBS" >&2 || return 1
    readlink -f "$HOST_BUILD_DIR/$2"
}

sanitizer_env() {
    # Leaks inside the system's X11, GL, font and sound libraries are theirs.
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
}
