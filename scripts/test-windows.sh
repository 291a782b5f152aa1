#!/usr/bin/env bash
# Windows: installs mingw-w64, Wine and NSIS when missing, cross-builds the
# programs, the zip, the installer and the tests (scripts/build-windows.sh),
# runs the engine and command-line tests under Wine (a console's screen
# among them), then unpacks the zip and converts the bundled sample in all
# four combinations with the unpacked pamiro-cli.exe (Windows paths, data
# files from its own folder), comparing every output file and the redirected
# texts byte for byte with the Linux pamiro-cli's. Then the Win32 window's
# tests (headless: Wine without a display driver), and the installer: its
# size, a silent install of the zip's very files with the folder on the
# user's PATH, pamiro-cli found from another folder, one start of the
# installed window, a silent uninstall that leaves nothing behind and the
# PATH as it was. The HTML pages of compare and inspect are compared too.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64 googletest cmake ninja-build \
    libcli11-dev nlohmann-json3-dev libgcrypt20-dev libgcrypt-mingw-w64-dev unzip nsis cmark

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
export PAMIRO_WINDOWS_BUILD_DIR="$dir" PAMIRO_HOST_BUILD_DIR="$host" PAMIRO_WINDOWS_TESTS=1
bash scripts/build-windows.sh
# The Linux reference: the host pamiro-cli the cross build already needed.
nice cmake --build "$host" --target pamiro_data >/dev/null

echo "== Pruebas bajo Wine"
# Windows and consoles without a display: Wine's null display driver.
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
# Wine reads it when it starts: end the one that made the prefix.
/usr/lib/wine/wineserver64 -k 2>/dev/null || true
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
# Texts redirected to files: the same bytes and exit status as on Linux.
texts=("--help" "--version" "convert --help" "batch --help" "convert --cp" "inspect --bogus"
    "convert --cp SMPL01 --platform aw51 --ia-version 620 --source wf --from . --dest xx --to .")
for i in "${!texts[@]}"; do
    read -ra args <<<"${texts[$i]}"
    status=0
    "$host/bin/pamiro-cli" "${args[@]}" >"$work/linux/text$i.out" 2>"$work/linux/text$i.err" ||
        status=$?
    echo "$status" >"$work/linux/text$i.status"
    status=0
    "$wine" "$exe" "${args[@]}" >"$work/windows/text$i.out" 2>"$work/windows/text$i.err" ||
        status=$?
    echo "$status" >"$work/windows/text$i.status"
done
diff -r "$work/linux" "$work/windows"
echo "Iguales: $(find "$work/windows" -type f | wc -l) archivos"

echo "== Páginas HTML: Linux frente a Windows"
# The same bytes from the same input. The pages show the folders as given and
# the paths of the files read: both programs run in the same folder with the
# same relative folders (a data folder of their own too) and a fixed date.
# Paths the program joins itself use each system's separator, so the Windows
# page is compared with its "\" as "/"; the Linux page holds no "\" at all,
# so that no other byte can hide behind the exchange.
pages="$work/pages"
mkdir -p "$pages/datos" "$work/pages-linux" "$work/pages-windows"
cp "$host/bin/"*.dat "$pages/datos/"
cp "$host/bin/"*_base.s "$pages/datos/" 2>/dev/null || true
cp -r samples/save-all/SMPL01 "$pages/sa"
cp -r samples/working-file "$pages/wf"
linux_cli="$(cd "$host/bin" && pwd)/pamiro-cli"
page_args=(--cp SMPL01 --platform aw51 --ia-version 620 --data-dir datos --source sa --from sa)
for system in linux windows; do
    run=("$linux_cli")
    [ "$system" = windows ] && run=("$wine" "$exe")
    (cd "$pages" && export SOURCE_DATE_EPOCH=1796644800 &&
        { "${run[@]}" compare "${page_args[@]}" --with-source wf --with-from wf \
            --html "../pages-$system/compare.html" >/dev/null 2>&1 || true; } &&
        "${run[@]}" inspect "${page_args[@]}" --html "../pages-$system/inspect.html" >/dev/null 2>&1)
done
for page in compare inspect; do
    [ -s "$work/pages-linux/$page.html" ] || { echo "Falta la página $page de Linux" >&2; exit 1; }
    if grep -q '\\' "$work/pages-linux/$page.html"; then
        echo "La página $page de Linux tiene una \\" >&2
        exit 1
    fi
    tr '\\' / <"$work/pages-windows/$page.html" | cmp "$work/pages-linux/$page.html" -
done
echo "Páginas iguales byte a byte (separador de carpetas aparte)"

echo "== Ventana Win32 bajo Wine"
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
size=$(stat -c %s "$setup")
echo "Instalador: $((size / 1024)) KiB"
[ "$size" -lt $((8 * 1024 * 1024)) ] || { echo "El instalador pasa de 8 MiB" >&2; exit 1; }
installed="$WINEPREFIX/drive_c/Program Files/Pamiro"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
shortcuts=("$menu/Pamiro.lnk" "$menu/Pamiro (línea de órdenes).lnk")
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pamiro'
# The user's PATH before: a value of the type Windows gives it, naming a
# variable, which must come back exactly.
"$wine" reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d '%USERPROFILE%\bin;C:\otros' /f \
    >/dev/null
user_path() { "$wine" reg query 'HKCU\Environment' /v Path 2>/dev/null | tr -d '\r' | grep Path; }
path_before="$(user_path)"
"$wine" "$setup" /S
/usr/lib/wine/wineserver64 -w
# Exactly the zip's files, byte for byte, and the uninstaller.
zipped="$work/zip/pamiro-$version-win64"
(cd "$zipped" && ls) >"$work/zip.list"
(cd "$installed" && ls | grep -vx "Desinstalar Pamiro.exe") >"$work/installed.list"
diff "$work/zip.list" "$work/installed.list"
while read -r file; do cmp "$zipped/$file" "$installed/$file"; done <"$work/zip.list"
[ -f "$installed/Desinstalar Pamiro.exe" ] || { echo "Falta el desinstalador" >&2; exit 1; }
head -c 3 "$installed/LEEME.txt" | cmp - <(printf '\xEF\xBB\xBF')
for link in "${shortcuts[@]}"; do
    [ -f "$link" ] || { echo "Falta el acceso directo $link" >&2; exit 1; }
done
# The console's greeting names the command line's help (UTF-16 in the link).
{
    iconv -f UTF-16LE -t UTF-8 -c <"${shortcuts[1]}" || true
    tail -c +2 "${shortcuts[1]}" | iconv -f UTF-16LE -t UTF-8 -c || true
} >"$work/console-link.txt" 2>/dev/null
grep -aq 'Escriba pamiro-cli --help' "$work/console-link.txt"
"$wine" reg query "$uninstall_key" /v DisplayName | grep -q "Pamiro $version"
"$wine" reg query "$uninstall_key" /v DisplayVersion | grep -q "$version"
[ "$(user_path)" = "${path_before};C:\Program Files\Pamiro" ] ||
    { echo "PATH tras instalar: $(user_path)" >&2; exit 1; }
# A new console in another folder finds pamiro-cli through the PATH.
/usr/lib/wine/wineserver64 -k 2>/dev/null || true
"$wine" cmd /c 'cd /d C:\users && pamiro-cli --version' | tr -d '\r' | tee "$work/version.out"
grep -qx "pamiro-cli (Pamiro) $version" "$work/version.out"
# The installed window comes up (a window titled "Pamiro [ß3]") and closes.
timeout 120 "$wine" 'C:\Program Files\Pamiro\pamiro.exe' &
window_pid=$!
"$wine" "$dir/bin/pamiro_window_tests.exe" --close-installed-window
wait "$window_pid"
"$wine" 'C:\Program Files\Pamiro\Desinstalar Pamiro.exe' /S
/usr/lib/wine/wineserver64 -w
if [ -e "$installed" ] || [ -e "${shortcuts[0]}" ] || [ -e "${shortcuts[1]}" ]; then
    echo "La desinstalación dejó archivos:" >&2
    find "$installed" "${shortcuts[@]}" >&2 2>/dev/null || true
    exit 1
fi
if "$wine" reg query "$uninstall_key" >/dev/null 2>&1; then
    echo "La desinstalación dejó $uninstall_key" >&2
    exit 1
fi
[ "$(user_path)" = "$path_before" ] || { echo "PATH tras desinstalar: $(user_path)" >&2; exit 1; }
# The user's settings stay, as programs usually leave them.
"$wine" reg query 'HKCU\Software\Pamiro\Parametros' /v Revision >/dev/null
echo "Instalado, abierto y desinstalado; PATH como estaba"
# Without a Path value of the user's, the uninstaller deletes the one it made.
"$wine" reg delete 'HKCU\Environment' /v Path /f >/dev/null
"$wine" "$setup" /S /PATH=1
/usr/lib/wine/wineserver64 -w
[ "$(user_path)" = "    Path    REG_EXPAND_SZ    C:\Program Files\Pamiro" ] ||
    { echo "PATH creado: $(user_path)" >&2; exit 1; }
"$wine" 'C:\Program Files\Pamiro\Desinstalar Pamiro.exe' /S
/usr/lib/wine/wineserver64 -w
[ -z "$(user_path)" ] || { echo "PATH tras desinstalar: $(user_path)" >&2; exit 1; }
echo "PATH creado y quitado"
echo "== scripts/test-windows.sh: $((SECONDS - started)) s"
