# shellcheck shell=bash disable=SC2034  # the lists are for the sourcing scripts
# Sourced by the build and test scripts: installs the Debian packages that are missing.
# As root it installs them with apt-get; otherwise it prints the command to run.
#   apt_get ARGS...  apt-get that waits up to APT_LOCK_WAIT seconds (default 600)
#                    for another apt to finish instead of failing
source "$(dirname "${BASH_SOURCE[0]}")/waiting.sh"

# A fresh machine often runs apt at the same moment (an upgrade at boot, a
# second build). apt waits for dpkg's lock when told to, but not for the lock
# on its package lists (apt-get update) or its download folder: those are
# tried again until the wait is over.
apt_get() {
    local wait=${APT_LOCK_WAIT:-600} errors status
    local deadline=$(($(now_ms) + wait * 1000))
    errors=$(mktemp)
    while :; do
        status=0
        apt-get -o DPkg::Lock::Timeout="$wait" "$@" 2> "$errors" || status=$?
        if [ "$status" -eq 0 ] || ! grep -q '^E: Could not get lock' "$errors" ||
            [ "$(now_ms)" -ge "$deadline" ]; then
            break
        fi
        sleep 1
    done
    cat "$errors" >&2
    rm -f "$errors"
    return "$status"
}

ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    if [ "$(id -u)" -ne 0 ]; then
        echo "These packages are missing: ${missing[*]}" >&2
        echo "Install them with:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt_get update -qq
    apt_get install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(cmake make g++ pkg-config libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev zlib1g-dev)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev python3-fonttools strace libx11-dev xvfb xauth xdotool x11-utils imagemagick procps desktop-file-utils appstream icoutils openbox)
# The Windows build (scripts/build-windows.sh) and its tests under Wine. The
# build draws the exe's icon with a tool built for this machine, so it needs
# the Linux build's packages too, and NSIS for the installer.
WINDOWS_BUILD_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix dpkg-dev googletest zip nsis "${BUILD_PACKAGES[@]}")
WINDOWS_TEST_PACKAGES=(wine64 unzip xvfb xauth xdotool x11-utils imagemagick procps icoutils binutils)
