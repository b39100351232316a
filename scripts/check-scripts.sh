#!/usr/bin/env bash
# Runs shellcheck at warning level on every shell script in the repository (the
# *.sh files and every other file that starts with a shell's #! line).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages shellcheck git

scripts=()
while IFS= read -r -d '' file; do
    case $file in
        *.sh) scripts+=("$file") ;;
        *) head -c 64 "$file" | head -n 1 | grep -q -E '^#!.*\b(ba|da)?sh\b' && scripts+=("$file") ;;
    esac
done < <(git ls-files -z)
shellcheck --severity=warning --external-sources "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts clean"
