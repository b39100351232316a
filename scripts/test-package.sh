#!/usr/bin/env bash
# Builds the packages, checks the .deb with lintian (errors fail, warnings are
# shown) and that both packages carry the AppStream file, then installs the
# .deb on this machine, plays it and removes it again.
# Needs root, as CI has.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" dpkg-dev file lintian appstream

# dist/ may hold packages of earlier versions: test the one built now.
stamp=$(mktemp)
trap 'rm -f "$stamp"' EXIT
scripts/package.sh
debs=()
while IFS= read -r -d '' file; do debs+=("$file"); done < <(find dist -maxdepth 1 -name 'zap207_*_amd64.deb' -newer "$stamp" -print0)
[ ${#debs[@]} -eq 1 ] || { echo "package.sh built ${#debs[@]} .deb files, expected one" >&2; exit 1; }
deb=${debs[0]}
tarball=$(find dist -maxdepth 1 -name 'zap207-*-linux-*.tar.gz' -newer "$stamp" | head -n 1)
[ -n "$tarball" ] || { echo "package.sh built no .tar.gz" >&2; exit 1; }
lintian --fail-on error "$deb"
# Both packages carry the AppStream file; the .deb's is checked again once installed.
dpkg-deb -c "$deb" | grep '/usr/share/metainfo/.*\.metainfo\.xml$' > /dev/null || { echo "FAIL: no AppStream file in $deb" >&2; exit 1; }
tar -tzf "$tarball" | grep '/share/metainfo/.*\.metainfo\.xml$' > /dev/null || { echo "FAIL: no AppStream file in $tarball" >&2; exit 1; }
bash tests/package/deb_round_trip.sh "$deb"
