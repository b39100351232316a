#!/usr/bin/env bash
# Builds the release packages into dist/: zap207_<version>_amd64.deb and
# zap207-<version>-linux-<arch>.tar.gz, with Debian's hardening build flags.
#   BUILD_DIR  build directory (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/settings.sh
source scripts/ensure-packages.sh
# dpkg-dev computes the package's dependencies; CPack needs file to find the binaries.
ensure_packages "${BUILD_PACKAGES[@]}" dpkg-dev file

BUILD_DIR=${BUILD_DIR:-build-package}
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

configure() {
    cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DZAP207_BENCHMARKS=OFF \
        -DCMAKE_INSTALL_BINDIR="$1" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" > /dev/null
}

rm -rf dist/_CPack_Packages
mkdir -p dist
# Debian keeps the commands of games in /usr/games; the tarball keeps bin/.
# Only the install rules differ, so the second package builds nothing again.
configure games
cmake --build "$BUILD_DIR" -j "$JOBS"
cpack --config "$BUILD_DIR/CPackConfig.cmake" -G DEB -B "$PWD/dist"
configure bin
cpack --config "$BUILD_DIR/CPackConfig.cmake" -G TGZ -B "$PWD/dist"
rm -rf dist/_CPack_Packages
ls -l dist
