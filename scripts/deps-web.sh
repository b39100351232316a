#!/usr/bin/env bash
# Builds the libraries the browser build links, SDL2, FreeType, SDL2_ttf and
# SDL2_mixer, from Debian's source packages with Debian's Emscripten, and
# installs each into its own prefix under ~/.cache/zap207/ named after the
# library, its Debian version and the toolchain. A prefix that is already
# complete is reused; nothing is downloaded but Debian's sources.
# Prints the prefixes, separated by ';', on stdout; progress goes to stderr.
#   ZAP207_CACHE  where the prefixes live (default: ~/.cache/zap207)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages emscripten node-acorn cmake make dpkg-dev >&2

source scripts/web-env.sh

CACHE=${ZAP207_CACHE:-$HOME/.cache/zap207}
TOOLCHAIN="emscripten-$(tr -d '"\n' < /usr/share/emscripten/emscripten-version.txt)"
JOBS=${JOBS:-2}
mkdir -p "$CACHE"

# apt-get source needs a deb-src entry; reuse the mirror and key of the
# configured Debian entry so apt sees one consistent source.
ensure_deb_src() {
    if apt-cache showsrc libsdl2 2>/dev/null | grep -q '^Version:'; then return 0; fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "No deb-src entry for Debian; add one, e.g. as root:" >&2
        echo "  echo 'deb-src http://deb.debian.org/debian bookworm main' > /etc/apt/sources.list.d/zap207-src.list && apt-get update" >&2
        exit 1
    fi
    local codename
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        awk -v suite="$codename" '
            /^$/ { if (found) exit; uris = ""; key = ""; next }
            /^URIs:/ { uris = $2 }
            /^Signed-By:/ { key = $2 }
            /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite) found = 1 }
            END {
                if (!found) exit 1
                print "Types: deb-src"; print "URIs: " uris; print "Suites: " suite
                print "Components: main"; if (key != "") print "Signed-By: " key
            }' /etc/apt/sources.list.d/debian.sources > /tmp/zap207-src.sources ||
            { echo "No $codename entry in /etc/apt/sources.list.d/debian.sources" >&2; exit 1; }
        mv /tmp/zap207-src.sources /etc/apt/sources.list.d/zap207-src.sources
    else
        local mirror
        mirror=$(grep -hE '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
            grep -v security | awk '{print $2}' | head -n1)
        echo "deb-src ${mirror:-http://deb.debian.org/debian} $codename main" \
            > /etc/apt/sources.list.d/zap207-src.list
    fi
    apt-get update -qq >&2
}

source_version() {
    apt-cache showsrc "$1" | awk '/^Version:/ {print $2}' | sort -V | tail -n1
}

# prepare_tree NAME TREE: changes a library's source tree before it is built.
prepare_tree() {
    case $1 in
    freetype-*) cp scripts/freetype-modules.h "$2/include/freetype/config/ftmodule.h" ;;
    esac
}

# build_dep NAME SOURCE-PACKAGE [cmake arguments...]: sets PREFIX to the
# library's prefix, building it there first if it is not complete.
build_dep() {
    local name=$1 package=$2
    shift 2
    local version
    version=$(source_version "$package")
    [ -n "$version" ] || { echo "No Debian source package $package" >&2; exit 1; }
    PREFIX="$CACHE/$name-$version-$TOOLCHAIN"
    if [ -f "$PREFIX/.complete" ]; then return 0; fi

    echo "Building $name $version for the browser (once; kept in $PREFIX)" >&2
    local work
    work=$(mktemp -d)
    (cd "$work" && apt-get source -qq "$package=$version" > source.log 2>&1) || {
        cat "$work/source.log" >&2
        exit 1
    }
    local tree
    tree=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n1)
    prepare_tree "$name" "$tree"
    rm -rf "$PREFIX"
    emcmake cmake -S "$tree" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=OFF \
        -DCMAKE_FIND_ROOT_PATH="$DEP_PREFIXES" "$@" > "$work/configure.log" 2>&1 ||
        { tail -n 40 "$work/configure.log" >&2; exit 1; }
    cmake --build "$work/build" -j "$JOBS" > "$work/build.log" 2>&1 ||
        { tail -n 40 "$work/build.log" >&2; exit 1; }
    cmake --install "$work/build" > /dev/null
    touch "$PREFIX/.complete"
    rm -rf "$work"
}

ensure_deb_src
DEP_PREFIXES=""

build_dep sdl2 libsdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF
SDL2_PREFIX=$PREFIX
DEP_PREFIXES=$SDL2_PREFIX

# The game's font is a plain TrueType file: no compressed or bitmap-font codecs,
# and only the TrueType driver (scripts/freetype-modules.h, whose contents name
# the build).
build_dep "freetype-$(sha256sum scripts/freetype-modules.h | cut -c1-8)" freetype -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
FREETYPE_PREFIX=$PREFIX

DEP_PREFIXES="$SDL2_PREFIX;$FREETYPE_PREFIX"
build_dep sdl2-ttf libsdl2-ttf -DSDL2TTF_VENDORED=OFF -DSDL2TTF_SAMPLES=OFF -DSDL2TTF_HARFBUZZ=OFF
TTF_PREFIX=$PREFIX

# Every sound the game plays is a WAV file.
DEP_PREFIXES=$SDL2_PREFIX
build_dep sdl2-mixer libsdl2-mixer -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF \
    -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS= \
    -DSDL2MIXER_WAVE=ON
MIXER_PREFIX=$PREFIX

echo "$SDL2_PREFIX;$FREETYPE_PREFIX;$TTF_PREFIX;$MIXER_PREFIX"
