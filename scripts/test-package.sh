#!/usr/bin/env bash
# Builds the packages, checks the .deb with lintian (errors fail, warnings are
# shown), then installs it on this machine, plays it and removes it again.
# Needs root, as CI has.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" dpkg-dev file lintian

scripts/package.sh
deb=$(ls dist/zap207_*_amd64.deb)
lintian --fail-on error "$deb"
bash tests/package/deb_round_trip.sh "$deb"
