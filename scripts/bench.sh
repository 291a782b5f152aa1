#!/usr/bin/env bash
# Builds the benchmark in an optimised build folder and runs it: the shipped
# conversion of a large CP against the full-scan reference lookup and the
# input/output floor, in both source formats. Extra arguments go to
# pamiro_bench (--runs N, --work DIR to keep the generated CP).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${PAMIRO_BENCH_BUILD_DIR:-build-bench}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAMIRO_BUILD_GUI=OFF \
    -DPAMIRO_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" --target pamiro_bench
"$dir/bin/pamiro_bench" "$@"
