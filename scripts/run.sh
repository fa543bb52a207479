#!/bin/sh
# Sets up the machine, builds Linkwright and starts the desktop program on its built-in example.
# The program writes "Messages.txt", the output listings and the "Data" folder into the folder it
# is started from, which is the current folder.
set -eu
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

"$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$ROOT/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$ROOT/build/release" -j "$(nproc)"
exec "$ROOT/build/release/linkwright" "$@"
