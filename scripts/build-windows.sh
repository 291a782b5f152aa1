#!/usr/bin/env bash
# Cross-builds the window and the command line for 64-bit Windows into build-windows/ (or
# $PAMIRO_WINDOWS_BUILD_DIR): the engine, pamiro.exe, pamiro-cli.exe and the
# data files, then the zip pamiro-VERSION-win64.zip and the installer
# pamiro-VERSION-setup.exe in $dir/package, both of the same stripped files.
# The data files are made by a Linux pamiro-cli built first into
# build-windows-host/ (or $PAMIRO_HOST_BUILD_DIR): the format does not depend
# on the platform, and the tests check the Windows datfile command itself.
# Extra arguments name the targets to build instead.
# With PAMIRO_WINDOWS_TESTS=1 (scripts/test-windows.sh) the build also holds
# the tests: GoogleTest from Debian's sources with the same toolchain, and the
# test executables, listed (and run by ctest) under Wine's wine64.
# With CI=true warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix cmake ninja-build libcli11-dev \
    nlohmann-json3-dev libgcrypt20-dev libgcrypt-mingw-w64-dev nsis cmark
tests="${PAMIRO_WINDOWS_TESTS:-0}"
dir="${PAMIRO_WINDOWS_BUILD_DIR:-build-windows}"
host="${PAMIRO_HOST_BUILD_DIR:-build-windows-host}"
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
toolchain="$PWD/cmake/mingw-w64-x86_64.cmake"

cmake -S . -B "$host" -G Ninja -DPAMIRO_BUILD_GUI=OFF -DPAMIRO_BUILD_TESTS=OFF \
    -DPAMIRO_WERROR="$werror" >/dev/null
nice cmake --build "$host" --target pamiro-cli

# Only the header folders of the host's header-only libraries.
deps="$(realpath -m "$dir")/deps"
mkdir -p "$deps/include"
ln -sfn /usr/include/CLI "$deps/include/CLI"
ln -sfn /usr/include/nlohmann "$deps/include/nlohmann"

if [ "$tests" = 1 ] && [ ! -f "$deps/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$dir/googletest" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_GMOCK=ON >/dev/null
    nice cmake --build "$dir/googletest"
    cmake --install "$dir/googletest" >/dev/null
fi

# The test executables list their tests at build time, under Wine.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEPREFIX="${WINEPREFIX:-$(realpath -m "$dir")/wine}"
unset DISPLAY
test_build=OFF
[ "$tests" = 1 ] && test_build=ON
# The zip takes what is built (the stripped programs), not everything.
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64 -DPAMIRO_BUILD_TESTS="$test_build" \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON -DPAMIRO_BUILD_GUI=OFF -DPAMIRO_WERROR="$werror" \
    -DPAMIRO_CROSS_INCLUDE="$deps/include" -DCLI11_DIR="$PWD/cmake/cross" \
    -DGTest_DIR="$deps/lib/cmake/GTest" \
    -DPAMIRO_DATFILE_TOOL="$(realpath -m "$host")/bin/pamiro-cli" >/dev/null
if [ "$#" -gt 0 ]; then
    nice cmake --build "$dir" --target "$@"
    exit 0
fi
targets=(pamiro_shipped pamiro_installer)
[ "$tests" = 1 ] && targets+=(pamiro_tests pamiro_window_tests)
nice cmake --build "$dir" --target "${targets[@]}"
(cd "$dir" && cpack -G ZIP >/dev/null)
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")"
echo "Zip: $dir/package/pamiro-$version-win64.zip"
echo "Instalador: $dir/package/pamiro-$version-setup.exe"
