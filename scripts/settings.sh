# shellcheck shell=bash disable=SC2034  # the settings are for the sourcing scripts
# Sourced by every script that builds: the settings they share.
#   WERROR  ON when warnings are errors: ZAP207_WERROR, else ON under CI (CI=true)
#   JOBS    parallel build jobs (default: the number of cores)
#   sanitizer_env  exports the sanitizers' run-time options
WERROR=${ZAP207_WERROR:-$([ "${CI:-}" = "true" ] && echo ON || echo OFF)}
JOBS=${JOBS:-$(nproc)}

sanitizer_env() {
    # Leaks inside the system's X11, GL, font and sound libraries are theirs.
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
}
