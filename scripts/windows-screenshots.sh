#!/usr/bin/env bash
# Takes docs/console-windows.png (pamiro-cli's help and a refused conversion in
# a Windows console) and docs/installer-windows.png (the installer's components
# page) under Wine on a virtual display, with Wine's own fonts and a Wine
# desktop, as scripts/window-screenshot.sh takes the window's picture.
# Run scripts/build-windows.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh wine64 xvfb xauth fonts-wine imagemagick xdotool
dir="${PAMIRO_WINDOWS_BUILD_DIR:-build-windows}"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")"
wine=/usr/lib/wine/wine64
WINEPREFIX="$(mktemp -d /tmp/pamiro-shot.XXXXXX)"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
display=":$((70 + RANDOM % 20))"
Xvfb "$display" -screen 0 1024x900x24 -nolisten tcp &
xvfb=$!
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
export DISPLAY="$display"
"$wine" wineboot -i >/dev/null 2>&1
/usr/lib/wine/wineserver64 -w
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x900 /f >/dev/null
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
# The desktop's picture, cut to what differs from its background.
shoot() {
    sleep "$2"
    import -display "$display" -window root +repage "$1.full.png"
    convert "$1.full.png" -trim +repage "$1"
    rm -f "$1.full.png"
    echo "$1: $(identify -format '%wx%h' "$1")"
}

# The console: the built programs (and their data files) on the PATH, a
# folder of the user's, a console wide enough for the help.
"$wine" reg add 'HKCU\Console' /v WindowSize /t REG_DWORD /d 0x00240078 /f >/dev/null
"$wine" reg add 'HKCU\Console' /v ScreenBufferSize /t REG_DWORD /d 0x00c80078 /f >/dev/null
folder="$WINEPREFIX/drive_c/users/Public/Pamiro"
mkdir -p "$folder/vacio"
printf '%s\r\n' '@echo off' 'title pamiro-cli' 'cd /d C:\users\Public\Pamiro' \
    "set PATH=$(windows_path "$PWD/$dir/bin");%PATH%" \
    'echo C:\users\Public\Pamiro^> pamiro-cli --help' 'pamiro-cli --help' \
    'echo C:\users\Public\Pamiro^> pamiro-cli convert --cp SMPL01 --platform aw51 --ia-version 620 --source wf --from vacio --dest foxcae --to salida' \
    'pamiro-cli convert --cp SMPL01 --platform aw51 --ia-version 620 --source wf --from vacio --dest foxcae --to salida' \
    >"$folder/demo.cmd"
"$wine" start cmd /k 'C:\users\Public\Pamiro\demo.cmd'
mkdir -p docs
shoot docs/console-windows.png 8
/usr/lib/wine/wineserver64 -k 2>/dev/null || true

# The installer: Next on the welcome page leads to the components.
"$wine" "$dir/package/pamiro-$version-setup.exe" &
sleep 8
xdotool key Return
shoot docs/installer-windows.png 3
