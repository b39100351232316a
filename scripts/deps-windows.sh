#!/usr/bin/env bash
# Builds the libraries the Windows build links against (SDL2, FreeType,
# SDL2_ttf, SDL2_mixer with WAV only, GoogleTest) from Debian's source packages
# with the MinGW-w64 toolchain, at the versions the Linux build uses. Each is
# installed once to ~/.cache/zap207/<name>-<version>-<toolchain>/; later runs
# reuse it. Prints the installed prefixes, one a line, on stdout.
#   ZAP207_CACHE  cache directory (default: ~/.cache/zap207)
#   JOBS          parallel build jobs (default: 2)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
source scripts/ensure-packages.sh

# The source version behind a Linux package of the build: the one installed,
# or else the one apt would install.
linux_version() {
    local version
    version=$(dpkg-query -W -f='${source:Version}' "$1" 2>/dev/null || true)
    [ -n "$version" ] || version=$(apt-cache policy "$1" | awk '/Candidate:/ { print $2 }')
    [ -n "$version" ] && [ "$version" != "(none)" ] || { echo "no version of $1 known to apt" >&2; exit 1; }
    echo "$version"
}

# The same versions as the Linux build (on Debian 12: SDL2 2.26.5, SDL2_ttf
# 2.20.1, SDL2_mixer 2.6.2, FreeType 2.12.1). Bump the revision when the way
# they are built changes, so stale builds in the cache are not reused.
SDL2_VERSION=$(linux_version libsdl2-dev)
SDL2_TTF_VERSION=$(linux_version libsdl2-ttf-dev)
SDL2_MIXER_VERSION=$(linux_version libsdl2-mixer-dev)
FREETYPE_VERSION=$(linux_version libfreetype-dev)
RECIPE=r1

CACHE=${ZAP207_CACHE:-$HOME/.cache/zap207}
JOBS=${JOBS:-2}
TOOLCHAIN_FILE=$ROOT/cmake/toolchains/mingw-w64-x86_64.cmake
log() { echo "deps-windows: $*" >&2; }

ensure_packages "${WINDOWS_BUILD_PACKAGES[@]}" >&2
TOOLCHAIN=mingw64-gcc$(x86_64-w64-mingw32-g++-posix -dumpfullversion)-$RECIPE

# apt-get source needs a deb-src entry for the mirror already configured.
ensure_debian_sources() {
    if apt-cache showsrc libsdl2 2>/dev/null | grep -q '^Package: libsdl2$'; then return 0; fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "No deb-src entry: add 'deb-src http://deb.debian.org/debian bookworm main' and run apt-get update" >&2
        exit 1
    fi
    local mirror
    mirror=$( (grep -rhoE 'https?://[^ ]+/debian/?( |$)' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null || true) |
             grep -v security | head -n1 | tr -d ' ')
    mirror=${mirror:-http://deb.debian.org/debian}
    local suite
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    log "adding deb-src $mirror $suite"
    echo "deb-src ${mirror%/} $suite main" > /etc/apt/sources.list.d/zap207-windows-src.list
    apt-get update -qq >&2
}

# Unpacks a Debian source package, with Debian's patches, into $WORK/src-<package>.
unpack_source() {
    local package=$1 version=$2
    (cd "$WORK" && apt-get source -qq --download-only "$package=$version" > /dev/null 2>&1) ||
        { echo "apt-get source $package=$version failed" >&2; exit 1; }
    (cd "$WORK" && dpkg-source -q -x --skip-debianization "${package}_${version#*:}.dsc" "src-$package" > /dev/null 2>&1) ||
        { echo "unpacking $package $version failed" >&2; exit 1; }
}

# Configures, builds and installs one CMake project into a fresh prefix, then
# moves it into the cache in one step so a broken build is never reused.
cmake_install() {
    local source=$1 prefix=$2; shift 2
    local build=$WORK/build-$(basename "$prefix")
    rm -rf "$prefix.partial"
    cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN_FILE" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix.partial" \
        -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_BINDIR=bin \
        "$@" > "$build.log" 2>&1 || { tail -n 40 "$build.log" >&2; exit 1; }
    cmake --build "$build" -j "$JOBS" >> "$build.log" 2>&1 || { tail -n 40 "$build.log" >&2; exit 1; }
    cmake --install "$build" >> "$build.log" 2>&1 || { tail -n 40 "$build.log" >&2; exit 1; }
    rm -rf "$prefix"
    mv "$prefix.partial" "$prefix"
}

prefix_of() { echo "$CACHE/$1-${2//+/_}-$TOOLCHAIN"; }

SDL2_PREFIX=$(prefix_of sdl2 "$SDL2_VERSION")
FREETYPE_PREFIX=$(prefix_of freetype "$FREETYPE_VERSION")
SDL2_TTF_PREFIX=$(prefix_of sdl2-ttf "$SDL2_TTF_VERSION")
SDL2_MIXER_PREFIX=$(prefix_of sdl2-mixer "$SDL2_MIXER_VERSION")
GTEST_VERSION=$(dpkg-query -W -f='${Version}' googletest)
GTEST_PREFIX=$(prefix_of googletest "$GTEST_VERSION")

needed=()
for prefix in "$SDL2_PREFIX" "$FREETYPE_PREFIX" "$SDL2_TTF_PREFIX" "$SDL2_MIXER_PREFIX" "$GTEST_PREFIX"; do
    [ -d "$prefix" ] || needed+=("$prefix")
done

if [ ${#needed[@]} -gt 0 ]; then
    mkdir -p "$CACHE"
    WORK=$(mktemp -d "$CACHE/work.XXXXXX")
    trap 'rm -rf "$WORK"' EXIT
    ensure_debian_sources
    start=$SECONDS

    if [ ! -d "$SDL2_PREFIX" ]; then
        log "building SDL2 $SDL2_VERSION"
        unpack_source libsdl2 "$SDL2_VERSION"
        cmake_install "$WORK/src-libsdl2" "$SDL2_PREFIX" \
            -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_UNINSTALL=ON
    fi
    if [ ! -d "$FREETYPE_PREFIX" ]; then
        # Only TrueType outlines are needed: no compressed fonts, no PNG glyphs.
        log "building FreeType $FREETYPE_VERSION"
        unpack_source freetype "$FREETYPE_VERSION"
        cmake_install "$WORK/src-freetype" "$FREETYPE_PREFIX" \
            -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
            -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
            -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    fi
    if [ ! -d "$SDL2_TTF_PREFIX" ]; then
        log "building SDL2_ttf $SDL2_TTF_VERSION"
        unpack_source libsdl2-ttf "$SDL2_TTF_VERSION"
        cmake_install "$WORK/src-libsdl2-ttf" "$SDL2_TTF_PREFIX" \
            -DCMAKE_PREFIX_PATH="$SDL2_PREFIX;$FREETYPE_PREFIX" \
            -DBUILD_SHARED_LIBS=ON -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF
    fi
    if [ ! -d "$SDL2_MIXER_PREFIX" ]; then
        # The game plays WAV files only; every other decoder stays out.
        log "building SDL2_mixer $SDL2_MIXER_VERSION"
        unpack_source libsdl2-mixer "$SDL2_MIXER_VERSION"
        cmake_install "$WORK/src-libsdl2-mixer" "$SDL2_MIXER_PREFIX" \
            -DCMAKE_PREFIX_PATH="$SDL2_PREFIX" \
            -DBUILD_SHARED_LIBS=ON -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
            -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF \
            -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS= -DSDL2MIXER_WAVE=ON
    fi
    if [ ! -d "$GTEST_PREFIX" ]; then
        # The same GoogleTest sources the Linux tests are built from.
        log "building GoogleTest $GTEST_VERSION"
        cmake_install /usr/src/googletest "$GTEST_PREFIX" \
            -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=ON
    fi
    log "dependencies built in $((SECONDS - start)) s"
fi

printf '%s\n' "$SDL2_PREFIX" "$FREETYPE_PREFIX" "$SDL2_TTF_PREFIX" "$SDL2_MIXER_PREFIX" "$GTEST_PREFIX"
