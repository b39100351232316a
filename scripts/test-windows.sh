#!/usr/bin/env bash
# Builds the Windows game and its unit tests (scripts/build-windows.sh) and runs
# them under Wine: the unit tests headless on SDL's dummy drivers, then the
# end-to-end tests (tests/windows/*.sh) with the zap207.exe from
# dist/zap207-windows-x64.zip on a private Xvfb display, and the installer
# from dist/ installed, played, reinstalled and uninstalled.
#   BUILD_DIR  build directory (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
source scripts/ensure-packages.sh
ensure_packages "${WINDOWS_BUILD_PACKAGES[@]}" "${WINDOWS_TEST_PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build-windows}
start=$SECONDS
ZAP207_TESTS=ON BUILD_DIR="$BUILD_DIR" scripts/build-windows.sh
echo "Windows build: $((SECONDS - start)) s"

start=$SECONDS
scripts/wine-run.sh --hold
trap 'scripts/wine-run.sh --release' EXIT
# Tests not run under Wine, each with the reason.
NOT_UNDER_WINE=(
    "HighScoreStoreTest.WithoutRoomForANewFileAWritableRecordIsRewrittenInPlace|Windows ignores a directory's read-only attribute when a file is created in it, so permission bits cannot make a directory without room for a new file"
    "RestingPlay.AnHourPlaysAlikeWithAndWithoutRestingActors|three simulated hours read the record file at every step, 650 000 times, which takes Wine over ten minutes; the rules it compares are the same code on every platform, and the golden replays show under Wine that they end alike"
)
excluded=""
for entry in "${NOT_UNDER_WINE[@]}"; do
    echo "Not run under Wine: ${entry%%|*}: ${entry#*|}"
    excluded+="${excluded:+|}^${entry%%|*}\$"
done
(cd "$BUILD_DIR" && ctest --output-on-failure -j "$JOBS" -LE e2e -E "$excluded")
scripts/wine-run.sh --release
echo "Windows unit tests under Wine: $((SECONDS - start)) s"

# The end-to-end tests play the game exactly as it is shipped.
start=$SECONDS
unpacked=$(mktemp -d "${TMPDIR:-/tmp}/zap207-zip.XXXXXX")
trap 'rm -rf "$unpacked"; scripts/wine-run.sh --release' EXIT
unzip -q dist/zap207-windows-x64.zip -d "$unpacked"
for test in tests/windows/*.sh; do
    case "$(basename "$test")" in lib.sh | installer_round_trip.sh) continue ;; esac
    echo "$(basename "$test" .sh):"
    # Tools a test needs beside the game come from the build.
    bash "$test" "$unpacked/zap207/zap207.exe" "$BUILD_DIR/tests/windows/raise_console_event.exe"
done
echo "installer_round_trip:"
bash tests/windows/installer_round_trip.sh "$(ls dist/zap207-*-windows-x64-setup.exe)"
echo "Windows end-to-end test under Wine: $((SECONDS - start)) s"
