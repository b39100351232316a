#!/usr/bin/env bash
# Builds the libraries a cross build links, from Debian's source packages with
# Debian's patches, at the versions the desktop build uses (the installed -dev
# packages, or the ones apt would install), so every platform runs the same
# library code. Nothing is downloaded but Debian's sources.
#   scripts/deps.sh web       SDL2, FreeType, SDL2_ttf, SDL2_mixer (static) with Emscripten
#   scripts/deps.sh windows   the same (SDL's as DLLs) and GoogleTest with MinGW-w64,
#                             and Google Benchmark with ZAP207_BENCHMARKS=ON
# Each library is installed once into ~/.cache/zap207/<name>-<version>-<toolchain>/:
# built into <that>.partial and moved into place only when complete, so an
# interrupted build is never reused. Prints the prefixes, separated by ';', on
# stdout; progress goes to stderr.
#   ZAP207_CACHE  where the prefixes live (default: ~/.cache/zap207)
#   JOBS          parallel build jobs (default: the number of cores)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
source scripts/settings.sh
source scripts/ensure-packages.sh

TARGET=${1:-}
CACHE=${ZAP207_CACHE:-$HOME/.cache/zap207}
log() { echo "deps $TARGET: $*" >&2; }

# Bump a recipe's revision when the way the libraries are built changes, so
# that stale builds in the cache are not reused.
case $TARGET in
    web)
        ensure_packages emscripten node-acorn cmake make dpkg-dev >&2
        source scripts/web-env.sh
        TOOLCHAIN="emscripten-$(tr -d '"\n' < /usr/share/emscripten/emscripten-version.txt)-r4"
        ;;
    windows)
        ensure_packages "${WINDOWS_BUILD_PACKAGES[@]}" >&2
        TOOLCHAIN=mingw64-gcc$(x86_64-w64-mingw32-g++-posix -dumpfullversion)-r2
        ;;
    *)
        echo "usage: scripts/deps.sh web|windows" >&2
        exit 2
        ;;
esac

# The source version behind a package of the desktop build: the one installed,
# or else the one apt would install.
desktop_version() {
    local version
    version=$(dpkg-query -W -f='${source:Version}' "$1" 2> /dev/null || true)
    [ -n "$version" ] || version=$(apt-cache policy "$1" | awk '/Candidate:/ { print $2 }')
    [ -n "$version" ] && [ "$version" != "(none)" ] || { log "no version of $1 known to apt"; exit 1; }
    echo "$version"
}

prefix_of() { local version=${2//+/_}; echo "$CACHE/$1-${version//:/_}-$TOOLCHAIN"; }

# apt-get source needs deb-src entries. As root, one file mirrors every
# configured Debian entry (same mirrors, suites and keys, so apt sees no
# conflicting Signed-By); earlier set-ups' files are replaced by it.
SOURCES_DIR=/etc/apt/sources.list.d
# The whole listing is read before matching: with grep -q the listing would be
# cut short at the first match (a version is listed once per suite), and under
# pipefail apt-cache's SIGPIPE would read as "not found".
source_known() {
    local listing
    listing=$(apt-cache showsrc "$1" 2> /dev/null) || return 1
    grep -q -x "Version: $2" <<< "$listing"
}
ensure_deb_src() {
    local package=$1 version=$2
    source_known "$package" "$version" && return 0
    if [ "$(id -u)" -ne 0 ]; then
        log "apt knows no source of $package $version: add deb-src entries for your Debian mirrors and run apt-get update"
        exit 1
    fi
    local new
    new=$(mktemp "$SOURCES_DIR/.zap207-src.XXXXXX")
    if [ -f "$SOURCES_DIR/debian.sources" ]; then
        sed -e 's/^Types:.*/Types: deb-src/' "$SOURCES_DIR/debian.sources" > "$new"
        chmod 644 "$new"
        mv "$new" "$SOURCES_DIR/zap207-src.sources"
        rm -f "$SOURCES_DIR/zap207-src.list"
    else
        grep -h -E '^deb ' /etc/apt/sources.list "$SOURCES_DIR"/*.list 2> /dev/null |
            grep -v -F zap207 | sed 's/^deb /deb-src /' > "$new" || true
        chmod 644 "$new"
        mv "$new" "$SOURCES_DIR/zap207-src.list"
        rm -f "$SOURCES_DIR/zap207-src.sources"
    fi
    rm -f "$SOURCES_DIR/zap207-windows-src.list"
    log "added deb-src entries; updating apt's lists"
    apt_get update -qq >&2
    source_known "$package" "$version" || { log "no Debian source for $package $version"; exit 1; }
}

# Unpacks a Debian source package, with Debian's patches applied, and prints
# the directory.
unpack_source() {
    local package=$1 version=$2
    ensure_deb_src "$package" "$version"
    (cd "$WORK" && apt-get source -qq --download-only "$package=$version" > "source-$package.log" 2>&1) ||
        { cat "$WORK/source-$package.log" >&2; log "apt-get source $package=$version failed"; exit 1; }
    (cd "$WORK" && dpkg-source -q -x "${package}_${version#*:}.dsc" "src-$package" > /dev/null 2>&1) ||
        { log "unpacking $package $version failed"; exit 1; }
    echo "$WORK/src-$package"
}

# prepare_tree NAME SOURCE: changes a library's unpacked sources before they
# are built.
prepare_tree() {
    case $TARGET:$1 in
        web:freetype-*) cp "$ROOT/scripts/freetype-modules.h" "$2/include/freetype/config/ftmodule.h" ;;
    esac
}

# configure SOURCE BUILD PREFIX [cmake arguments...] for the target's toolchain.
configure() {
    local source=$1 build=$2 prefix=$3
    shift 3
    if [ "$TARGET" = web ]; then
        # Built for size, as the game is: the page is downloaded on every first visit.
        emcmake cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_C_FLAGS_RELEASE="-Oz -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-Oz -DNDEBUG" \
            -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
            -DCMAKE_FIND_ROOT_PATH="$FOUND" "$@"
    else
        cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
            -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_BINDIR=bin \
            -DCMAKE_PREFIX_PATH="$FOUND" "$@"
    fi
}

# build NAME SOURCE-PACKAGE VERSION [cmake arguments...]: sets PREFIX to the
# library's prefix, building it first if the cache has none. SOURCE-PACKAGE
# "-" builds GoogleTest from the sources Debian installs in /usr/src.
build() {
    local name=$1 package=$2 version=$3
    shift 3
    PREFIX=$(prefix_of "$name" "$version")
    [ -d "$PREFIX" ] && return 0

    log "building $name $version (once; kept in $PREFIX)"
    [ -n "${WORK:-}" ] || WORK=$(mktemp -d "$CACHE/work.XXXXXX")
    local source build="$WORK/build-$name" logfile="$WORK/build-$name.log"
    if [ "$package" = - ]; then
        source=/usr/src/googletest
    else
        source=$(unpack_source "$package" "$version")
        prepare_tree "$name" "$source"
    fi
    rm -rf "$PREFIX.partial"
    PARTIAL="$PREFIX.partial"
    { configure "$source" "$build" "$PARTIAL" "$@" &&
        cmake --build "$build" -j "$JOBS" &&
        cmake --install "$build"; } > "$logfile" 2>&1 || { tail -n 40 "$logfile" >&2; exit 1; }
    mv "$PARTIAL" "$PREFIX"
    PARTIAL=""
}

# One build per target at a time: a second run waits, then finds the prefixes.
mkdir -p "$CACHE"
exec 9> "$CACHE/deps-$TARGET.lock"
flock 9

WORK=""
PARTIAL=""
trap '[ -z "$WORK" ] || rm -rf "$WORK"; [ -z "$PARTIAL" ] || rm -rf "$PARTIAL"' EXIT

# Every prefix found so far, for the libraries built on top of them.
FOUND=""
found() { FOUND=${FOUND:+$FOUND;}$PREFIX; }

if [ "$TARGET" = web ]; then
    # Without what a page never uses: threads, the off-screen and disk drivers,
    # haptics, sensors, battery, locale, URLs, USB devices.
    SDL_OPTIONS=(-DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF
        -DSDL_OFFSCREEN=OFF -DSDL_DISKAUDIO=OFF -DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF
        -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_HIDAPI=OFF)
    LIBRARY_OPTIONS=(-DBUILD_SHARED_LIBS=OFF)
    FREETYPE_OPTIONS=()
    # Every byte counts in the browser: FreeType registers only the TrueType
    # driver and what SDL2_ttf needs (scripts/freetype-modules.h, whose
    # contents name the build).
    FREETYPE_NAME="freetype-$(sha256sum "$ROOT/scripts/freetype-modules.h" | cut -c1-8)"
else
    FREETYPE_NAME=freetype
    SDL_OPTIONS=(-DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_UNINSTALL=ON)
    LIBRARY_OPTIONS=(-DBUILD_SHARED_LIBS=ON)
    # Linked into SDL2_ttf.dll.
    FREETYPE_OPTIONS=(-DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON)
fi

build sdl2 libsdl2 "$(desktop_version libsdl2-dev)" "${SDL_OPTIONS[@]}"
found
SDL2_PREFIX=$PREFIX

# The game's font is a plain TrueType file: no compressed or bitmap-font codecs.
build "$FREETYPE_NAME" freetype "$(desktop_version libfreetype-dev)" "${FREETYPE_OPTIONS[@]}" \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
found

build sdl2-ttf libsdl2-ttf "$(desktop_version libsdl2-ttf-dev)" "${LIBRARY_OPTIONS[@]}" \
    -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF
found

# Every sound the game plays is a WAV file, loaded whole as a chunk, which
# SDL itself decodes; every other decoder stays out. The page also leaves out
# the mixer's streamed WAV music, whose tag reader brings in the C library's
# character set tables (some 120 KB).
# (SDL2_mixer needs only SDL2 among the prefixes.)
ALL=$FOUND
FOUND=$SDL2_PREFIX
if [ "$TARGET" = web ]; then STREAMED_WAVE=OFF; else STREAMED_WAVE=ON; fi
build sdl2-mixer libsdl2-mixer "$(desktop_version libsdl2-mixer-dev)" "${LIBRARY_OPTIONS[@]}" \
    -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF \
    -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS= -DSDL2MIXER_WAVE="$STREAMED_WAVE"
FOUND="$ALL;$PREFIX"

if [ "$TARGET" = windows ]; then
    # The same GoogleTest sources the Linux tests are built from.
    build googletest - "$(dpkg-query -W -f='${Version}' googletest)" \
        -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=ON
    found
    # Google Benchmark, for the benchmarks under Wine; only when asked.
    if [ "${ZAP207_BENCHMARKS:-OFF}" = ON ]; then
        # Its version comes from git, which a source package lacks; the
        # checks it would run cannot run in a cross build (MinGW has both).
        version=$(desktop_version libbenchmark-dev)
        build benchmark benchmark "$version" -DGIT_VERSION="${version%%-*}" \
            -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
            -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_INSTALL_DOCS=OFF \
            -DRUN_HAVE_STD_REGEX=0 -DRUN_HAVE_STEADY_CLOCK=0
        found
    fi
fi

echo "$FOUND"
