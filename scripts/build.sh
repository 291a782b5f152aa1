#!/usr/bin/env bash
# Configures and builds into build/ (or $PAMIRO_BUILD_DIR). Extra arguments go
# to CMake. With CI=true warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${PAMIRO_BUILD_DIR:-build}"
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$dir" -G Ninja -DPAMIRO_WERROR="$werror" "$@" >/dev/null
cmake --build "$dir"
