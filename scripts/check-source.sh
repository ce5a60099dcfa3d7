#!/usr/bin/env bash
# Checks the source as ./test.sh's first stage: every C++ file as clang-format writes it, and every
# include pointing down the folders' layers (a folder includes only itself and those below it).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench fuzz -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror "${sources[@]}"

# folder: the folders it may include, itself first.
declare -A allowed=(
    [platform]="platform"
    [common]="common platform"
    [layout]="layout"
    [memo]="memo layout platform"
    [load]="load memo layout common platform"
    [tags]="tags memo common platform"
    [edit]="edit memo common platform"
    [about]="about common platform"
    [app]="app load tags edit about memo layout common platform"
)
status=0
for folder in "${!allowed[@]}"; do
    while IFS=: read -r file _ included; do
        target=$(sed -E 's/.*"([a-z]+)\/.*/\1/' <<<"$included")
        if ! grep -qw "$target" <<<"${allowed[$folder]}"; then
            echo "$file: $folder may not include $target ($included)" >&2
            status=1
        fi
    done < <(grep -n '#include "[a-z]*/' -r "src/$folder" || true)
done
exit $status
