#!/usr/bin/env bash
# Cross-compiles the game for 64-bit Windows and packs it for players:
#   dist/zap207-windows-x64.zip
#     zap207/zap207.exe, SDL2.dll, SDL2_ttf.dll, SDL2_mixer.dll,
#     zap207/Assets/, zap207/README.txt, zap207/LICENSE.txt
#   dist/zap207-<version>-windows-x64-setup.exe
#     the same files in an installer (packaging/windows/installer.nsi)
# Installs what is missing and builds the dependencies once (see deps.sh).
#   BUILD_DIR         build directory (default: build-windows)
#   ZAP207_TESTS      ON to build the unit tests as well (default: OFF)
#   ZAP207_WERROR     ON to treat warnings as errors (default: ON under CI)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
source scripts/ensure-packages.sh
ensure_packages "${WINDOWS_BUILD_PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build-windows}
TESTS=${ZAP207_TESTS:-OFF}

prefixes=$(scripts/deps.sh windows)
make_icons=$(host_make_icons)
cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DCMAKE_PREFIX_PATH="$prefixes" -DCMAKE_BUILD_TYPE=Release -DZAP207_HOST_MAKE_ICONS="$make_icons" \
    -DBUILD_TESTING="$TESTS" -DZAP207_WERROR="$WERROR" > /dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"

# The zip holds one folder, laid out the way the game expects to be started.
stage=$(mktemp -d "${TMPDIR:-/tmp}/zap207-windows.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/zap207"
cp "$BUILD_DIR/zap207.exe" "$BUILD_DIR"/*.dll "$stage/zap207/"
cp -r Assets "$stage/zap207/Assets"
sed 's/$/\r/' docs/windows-README.txt > "$stage/zap207/README.txt"
sed 's/$/\r/' LICENSE > "$stage/zap207/LICENSE.txt"
x86_64-w64-mingw32-strip --strip-unneeded "$stage/zap207/"*.exe "$stage/zap207/"*.dll

mkdir -p dist
rm -f dist/zap207-windows-x64.zip
(cd "$stage" && zip -q -r -X "$OLDPWD/dist/zap207-windows-x64.zip" zap207)
echo "dist/zap207-windows-x64.zip ($(du -k dist/zap207-windows-x64.zip | cut -f1) KiB)"

# The installer installs and removes every file of the zip but the record,
# which it only ever creates.
files="$stage/files.nsh"
mapfile -t game_files < <(cd "$stage/zap207" && find . -type f ! -path ./Assets/highscore.txt | sed 's|^\./||' | sort)
{
    echo '!macro InstallFiles'
    for file in "${game_files[@]}"; do
        dir=$(dirname "$file")
        [ "$dir" = . ] && dir="" || dir="\\${dir//\//\\}"
        echo "  SetOutPath \"\$INSTDIR$dir\""
        echo "  File \"$stage/zap207/$file\""
    done
    echo '!macroend'
    echo '!macro RemoveFiles'
    for file in "${game_files[@]}"; do echo "  Delete \"\$INSTDIR\\${file//\//\\}\""; done
    echo '!macroend'
} > "$files"
# The pages' pictures are drawn from the ship, as the icons are.
"$make_icons" --installer-art Assets "$stage/art"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
IFS=. read -r -a parts <<< "$version.0.0.0"
setup="dist/zap207-$version-windows-x64-setup.exe"
rm -f dist/zap207-*-windows-x64-setup.exe
makensis -V2 -WX -DVERSION="$version" -DVERSION_QUAD="${parts[0]}.${parts[1]}.${parts[2]}.${parts[3]}" \
    -DSTAGE="$stage/zap207" -DFILES="$files" -DICON="$(readlink -f "$BUILD_DIR")/packaging/windows/icons/zap207.ico" -DART="$stage/art" \
    -DOUTFILE="$PWD/$setup" packaging/windows/installer.nsi
echo "$setup ($(du -k "$setup" | cut -f1) KiB)"
