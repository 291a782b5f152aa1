#!/usr/bin/env bash
# Windows: installs mingw-w64, Wine and NSIS when missing, cross-builds
# (scripts/build-windows.sh), runs the engine and command-line tests under
# Wine, then unpacks the zip and converts the bundled sample in all four
# combinations with the unpacked pamiro-cli.exe (Windows paths, data files
# from its own folder), comparing every output file byte for byte with the
# Linux pamiro-cli's conversion. Then the Win32 window's tests (headless: Wine
# without a display driver), and the installer: a silent install, one start
# of the installed window, a silent uninstall that leaves nothing behind.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64 googletest cmake ninja-build \
    libcli11-dev nlohmann-json3-dev libgcrypt20-dev libgcrypt-mingw-w64-dev unzip nsis

wine=/usr/lib/wine/wine64
WINEPREFIX="$(mktemp -d /tmp/pamiro-wine.XXXXXX)"
export WINEPREFIX WINEDEBUG=-all
# Neither Wine's Mono and Gecko add-ons nor menu entries in the home folder.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
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
unzip -q "$dir/package/pamiro-$version-win64.zip" -d "$work/zip"
exe="$work/zip/pamiro-$version-win64/pamiro-cli.exe"
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

echo "== Ventana Win32 bajo Wine"
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
# A drive letter whose medium is missing, as an empty removable drive. Wine
# reads its drive letters when it starts: end it first, so that Q: is seen.
/usr/lib/wine/wineserver64 -k 2>/dev/null || true
ln -sfn "$work/no-medium" "$WINEPREFIX/dosdevices/q:"
PAMIRO_SAMPLE_WF="$(windows_path "$PWD/samples/working-file")" \
    PAMIRO_REFERENCE_WF_FOXCAE="$(windows_path "$work/linux/wf-foxcae")" \
    WINEDEBUG=-all "$wine" "$dir/bin/pamiro_window_tests.exe" --gtest_brief=1 2>&1 |
    tee "$work/window.log" || true
if ! grep -qE '^\[  PASSED  \] [0-9]+ tests?\.' "$work/window.log" ||
    grep -q '^\[  FAILED  \]' "$work/window.log"; then
    echo "== Ventana Win32: FALLIDA" >&2
    exit 1
fi

echo "== Instalador"
setup="$dir/package/pamiro-$version-setup.exe"
installed="$WINEPREFIX/drive_c/Program Files/Pamiro"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pamiro.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pamiro'
"$wine" "$setup" /S
/usr/lib/wine/wineserver64 -w
for file in pamiro.exe pamiro-cli.exe LEEME.txt ver51_620.dat ver20_411.dat DEP_base.s \
    "Desinstalar Pamiro.exe"; do
    [ -f "$installed/$file" ] || { echo "Falta tras instalar: $file" >&2; exit 1; }
done
[ -f "$shortcut" ] || { echo "Falta el acceso directo del menú Inicio" >&2; exit 1; }
"$wine" reg query "$uninstall_key" /v DisplayVersion | grep -q "$version"
# The installed window comes up (a window titled "Pamiro [ß3]") and closes.
timeout 120 "$wine" 'C:\Program Files\Pamiro\pamiro.exe' &
window_pid=$!
"$wine" "$dir/bin/pamiro_window_tests.exe" --close-installed-window
wait "$window_pid"
"$wine" 'C:\Program Files\Pamiro\Desinstalar Pamiro.exe' /S
/usr/lib/wine/wineserver64 -w
if [ -e "$installed" ] || [ -e "$shortcut" ]; then
    echo "La desinstalación dejó archivos:" >&2
    find "$installed" "$shortcut" >&2 2>/dev/null || true
    exit 1
fi
if "$wine" reg query "$uninstall_key" >/dev/null 2>&1; then
    echo "La desinstalación dejó $uninstall_key" >&2
    exit 1
fi
# The user's settings stay, as programs usually leave them.
"$wine" reg query 'HKCU\Software\Pamiro\Parametros' /v Revision >/dev/null
echo "Instalado, abierto y desinstalado"
echo "== scripts/test-windows.sh: $((SECONDS - started)) s"
