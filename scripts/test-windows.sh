#!/usr/bin/env bash
# The Windows command line: installs mingw-w64 and Wine when missing,
# cross-builds (scripts/build-windows.sh), runs the engine and command-line
# tests under Wine, then unpacks the zip and converts the bundled sample in
# all four combinations with the unpacked pamiro-cli.exe (Windows paths, data
# files from its own folder), comparing every output file byte for byte with
# the Linux pamiro-cli's conversion.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64 googletest cmake ninja-build \
    libcli11-dev nlohmann-json3-dev libgcrypt20-dev libgcrypt-mingw-w64-dev unzip

wine=/usr/lib/wine/wine64
WINEPREFIX="$(mktemp -d /tmp/pamiro-wine.XXXXXX)"
export WINEPREFIX WINEDEBUG=-all
unset DISPLAY
work="$(mktemp -d /tmp/pamiro-windows-test.XXXXXX)"
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$work"' EXIT

dir="${PAMIRO_WINDOWS_BUILD_DIR:-build-windows}"
host="${PAMIRO_HOST_BUILD_DIR:-build-windows-host}"
export PAMIRO_WINDOWS_BUILD_DIR="$dir" PAMIRO_HOST_BUILD_DIR="$host"
bash scripts/build-windows.sh
# The Linux reference: the host pamiro-cli the cross build already needed.
nice cmake --build "$host" --target pamiro_data >/dev/null

echo "== Pruebas bajo Wine"
# Wine's own exit status is not to be trusted after a crash: the verdict is
# GoogleTest's closing line.
"$wine" "$dir/bin/pamiro_tests.exe" --gtest_brief=1 2>&1 | tee "$work/tests.log" || true
if ! grep -qE '^\[  PASSED  \] [0-9]+ tests?\.' "$work/tests.log" ||
    grep -q '^\[  FAILED  \]' "$work/tests.log"; then
    echo "== Pruebas bajo Wine: FALLIDAS" >&2
    exit 1
fi

echo "== Muestra: Linux frente a Windows"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")"
unzip -q "$dir/package/pamiro-cli-$version-win64.zip" -d "$work/zip"
exe="$work/zip/pamiro-cli-$version-win64/pamiro-cli.exe"
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
for source in wf sa; do
    from="$PWD/samples/working-file"
    [ "$source" = sa ] && from="$PWD/samples/save-all/SMPL01"
    for dest in foxcae icc; do
        mkdir -p "$work/linux/$source-$dest" "$work/windows/$source-$dest"
        args=(convert --cp SMPL01 --platform aw51 --ia-version 620 --source "$source" --dest "$dest")
        "$host/bin/pamiro-cli" "${args[@]}" --from "$from" --to "$work/linux/$source-$dest" \
            >"$work/linux/$source-$dest.out" 2>&1
        "$wine" "$exe" "${args[@]}" --from "$(windows_path "$from")" \
            --to "$(windows_path "$work/windows/$source-$dest")" >"$work/windows/$source-$dest.out" 2>&1
    done
done
diff -r "$work/linux" "$work/windows"
echo "Iguales: $(find "$work/windows" -type f | wc -l) archivos"
echo "== scripts/test-windows.sh: $((SECONDS - started)) s"
