#!/usr/bin/env bash
# Builds the engine, the command line and every test with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ (or $PAMIRO_ASAN_BUILD_DIR) and runs
# the tests, the fuzzers' regression inputs among them. Any sanitizer report
# fails its test. With CI=true warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${PAMIRO_ASAN_BUILD_DIR:-build-asan}"
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAMIRO_WERROR="$werror" \
    -DPAMIRO_SANITIZE=ON -DPAMIRO_BUILD_GUI=OFF >/dev/null
cmake --build "$dir"
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
