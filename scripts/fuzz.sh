#!/usr/bin/env bash
# Runs every fuzz target for SECONDS seconds (default 600), two at a time, from
# seeds made from in-code tree descriptions and the bundled sample, plus the
# committed regression inputs. Each input runs a whole conversion in memory.
# Crashers land in build-fuzz/crashes/<target>/; copy the ones that reproduce a
# fixed fault to tests/fuzz/regressions/<target>/. Fails when a target finds
# something.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   targets: working_file save_all data_file
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(working_file save_all data_file)
dir="${PAMIRO_FUZZ_BUILD_DIR:-build-fuzz}"
cxx="$(command -v clang++-14)" || { echo "fuzz.sh: falta clang++-14 (paquete clang-14)" >&2; exit 2; }
cc="$(command -v clang-14)"

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
    -DPAMIRO_FUZZ=ON -DPAMIRO_BUILD_GUI=OFF -DPAMIRO_BUILD_TESTS=ON >/dev/null
targets_to_build=(pamiro_fuzz_seeds)
for t in "${targets[@]}"; do targets_to_build+=("fuzz_$t"); done
cmake --build "$dir" -j2 --target "${targets_to_build[@]}"

rm -rf "$dir/seeds"
"$dir/bin/pamiro_fuzz_seeds" "$dir/seeds" samples
run_one() {
    local t="$1"
    local corpus="$dir/corpus/$t"
    mkdir -p "$corpus" "$dir/crashes/$t"
    local extra=()
    [ -d "tests/fuzz/regressions/$t" ] && extra+=("tests/fuzz/regressions/$t")
    echo "== $t: $seconds s"
    # -timeout catches hangs; -rss_limit_mb a run that grows without bound.
    "$dir/bin/fuzz_$t" "$corpus" "$dir/seeds/$t" "${extra[@]}" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -artifact_prefix="$dir/crashes/$t/" -print_final_stats=1 \
        >"$dir/fuzz-$t.log" 2>&1 && echo "== $t: sin hallazgos" || { echo "== $t: HALLAZGO, ver $dir/fuzz-$t.log"; return 1; }
}
status=0
pids=()
for t in "${targets[@]}"; do
    run_one "$t" &
    pids+=($!)
    # Two at a time: the machine has two cores.
    if [ "${#pids[@]}" -ge 2 ]; then
        wait "${pids[0]}" || status=1
        pids=("${pids[@]:1}")
    fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
exit $status
