#!/usr/bin/env bash
# Builds the packages, checks the .deb with lintian (errors fail, warnings are
# shown), then installs it on this machine, plays it and removes it again.
# Needs root, as CI has.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" dpkg-dev file lintian

# dist/ may hold packages of earlier versions: test the one built now.
stamp=$(mktemp)
trap 'rm -f "$stamp"' EXIT
scripts/package.sh
debs=()
while IFS= read -r -d '' file; do debs+=("$file"); done < <(find dist -maxdepth 1 -name 'zap207_*_amd64.deb' -newer "$stamp" -print0)
[ ${#debs[@]} -eq 1 ] || { echo "package.sh built ${#debs[@]} .deb files, expected one" >&2; exit 1; }
deb=${debs[0]}
lintian --fail-on error "$deb"
bash tests/package/deb_round_trip.sh "$deb"
