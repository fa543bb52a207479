#!/bin/sh
# Checks that every C++ source is laid out as .clang-format says. In a git checkout the tracked
# sources are checked, elsewhere every .h and .cpp outside build/ and the hidden folders. On a
# violation it names the files and the command that puts them right, and fails.
set -eu
cd "$(dirname "$0")/.."
ROOT="$(pwd -P)"

if ! command -v clang-format >/dev/null 2>&1; then
    echo "check-format: clang-format is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if [ "$(git rev-parse --show-toplevel 2>/dev/null || true)" = "$ROOT" ]; then
    git ls-files -- '*.h' '*.cpp' >"$work/listed"
else
    find . \( -path ./build -o -path './.*' \) -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print |
        sed 's|^\./||' | sort >"$work/listed"
fi
# A tracked file that has just been deleted in the working tree is not there to check.
while IFS= read -r file; do
    if [ -f "$file" ]; then printf '%s\n' "$file"; fi
done <"$work/listed" >"$work/sources"

if [ ! -s "$work/sources" ]; then
    echo "check-format: no C++ sources found under $ROOT" >&2
    exit 1
fi

if tr '\n' '\0' <"$work/sources" | xargs -0 clang-format --dry-run --Werror >"$work/report" 2>&1; then
    echo "check-format: $(wc -l <"$work/sources") sources are formatted"
    exit 0
fi

sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' "$work/report" |
    sed "s|^$ROOT/||" | sort -u >"$work/unformatted"
head -n 40 "$work/report" >&2
echo >&2
if [ -s "$work/unformatted" ]; then
    echo "check-format: these sources are not formatted as .clang-format says:" >&2
    sed 's/^/    /' "$work/unformatted" >&2
    echo "Fix them with, in $ROOT:" >&2
    echo "    clang-format -i $(tr '\n' ' ' <"$work/unformatted")" >&2
else
    echo "check-format: clang-format failed (see above)" >&2
fi
exit 1
