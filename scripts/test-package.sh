#!/usr/bin/env bash
# Builds the packages, checks the .deb with lintian (errors fail, warnings are
# shown) and that both packages carry the AppStream file, then installs the
# .deb on this machine, plays it and removes it again.
# Needs root, as CI has.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" dpkg-dev file lintian appstream

scripts/package.sh
deb=$(ls dist/zap207_*_amd64.deb)
tarball=$(ls dist/zap207-*-linux-*.tar.gz)
lintian --fail-on error "$deb"
# Both packages carry the AppStream file; the .deb's is checked again once installed.
dpkg-deb -c "$deb" | grep '/usr/share/metainfo/.*\.metainfo\.xml$' > /dev/null || { echo "FAIL: no AppStream file in $deb" >&2; exit 1; }
tar -tzf "$tarball" | grep '/share/metainfo/.*\.metainfo\.xml$' > /dev/null || { echo "FAIL: no AppStream file in $tarball" >&2; exit 1; }
bash tests/package/deb_round_trip.sh "$deb"
