#!/bin/sh
# Runs the pipeline fuzzer (load -> drawing -> revolution -> analysis -> diagrams -> family -> editor
# -> save -> load, for every gear kind) for the given number of seconds, 600 by default, built with
# clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz. It starts from
# fuzz/corpus and grows a working corpus in build/fuzz/corpus; what it finds is written to
# build/fuzz/findings, to be added to fuzz/corpus once mended (the test command replays fuzz/corpus).
set -eu
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
SECONDS_TO_RUN="${1:-600}"

scripts/setup.sh clang
cmake -S "$ROOT" -B "$ROOT/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DLINKWRIGHT_FUZZ=ON -DLINKWRIGHT_CORE_ONLY=ON
cmake --build "$ROOT/build/fuzz" -j "$(nproc)" --target pipeline_fuzzer

mkdir -p "$ROOT/build/fuzz/corpus" "$ROOT/build/fuzz/findings"
cp -n "$ROOT"/fuzz/corpus/* "$ROOT/build/fuzz/corpus/"
"$ROOT/build/fuzz/pipeline_fuzzer" -max_total_time="$SECONDS_TO_RUN" -timeout=30 -rss_limit_mb=4096 \
    -max_len=6000 -print_final_stats=1 -artifact_prefix="$ROOT/build/fuzz/findings/" \
    "$ROOT/build/fuzz/corpus"
