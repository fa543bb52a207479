#!/bin/sh
# Sets up the machine, checks that the sources are clang-formatted, builds Linkwright and runs every
# test: the full build under CTest, then the core tests again built with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
ROOT="$(pwd)"

scripts/setup.sh
scripts/check-format.sh

JOBS="$(nproc)"
export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 0700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

cmake -S "$ROOT" -B "$ROOT/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$ROOT/build/release" -j "$JOBS"
ctest --test-dir "$ROOT/build/release" --output-on-failure -j "$JOBS"

cmake -S "$ROOT" -B "$ROOT/build/sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DLINKWRIGHT_CORE_ONLY=ON -DLINKWRIGHT_SANITIZE=ON
cmake --build "$ROOT/build/sanitize" -j "$JOBS"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir "$ROOT/build/sanitize" --output-on-failure -j "$JOBS"
