#!/usr/bin/env bash
# Fails, naming each file, when C++ sources differ from what clang-format
# makes of them with the house style (.clang-format). To format in place:
#   scripts/check-format.sh --fix
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages clang-format-14 git
CLANG_FORMAT=clang-format-14

sources=()
while IFS= read -r -d '' file; do sources+=("$file"); done < <(git ls-files -z '*.cpp' '*.h')

if [ "${1:-}" = "--fix" ]; then
    "$CLANG_FORMAT" -i "${sources[@]}"
    exit 0
fi
# One run over every file: clang-format names each file that would change.
status=0
report=$("$CLANG_FORMAT" --dry-run --Werror "${sources[@]}" 2>&1) || status=$?
mapfile -t unformatted < <(sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<< "$report" | sort -u)
if [ "$status" -ne 0 ] && [ ${#unformatted[@]} -eq 0 ]; then
    echo "$report" >&2
    exit 1
fi
if [ ${#unformatted[@]} -gt 0 ]; then
    printf 'Not formatted (scripts/check-format.sh --fix formats them):\n' >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "clang-format: ${#sources[@]} files formatted"
