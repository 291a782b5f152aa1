#!/usr/bin/env bash
# Takes docs/window-windows.png: the Win32 window of build-windows/ under Wine
# on a virtual display, with Wine's own fonts and a Wine desktop (so Wine
# draws the frame as Windows does), the sample's folders and CP name filled in.
# Run scripts/build-windows.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh wine64 xvfb xauth fonts-wine imagemagick
dir="${PAMIRO_WINDOWS_BUILD_DIR:-build-windows}"
wine=/usr/lib/wine/wine64
WINEPREFIX="$(mktemp -d /tmp/pamiro-shot.XXXXXX)"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
display=":$((70 + RANDOM % 20))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
export DISPLAY="$display"
"$wine" wineboot -i >/dev/null 2>&1
/usr/lib/wine/wineserver64 -w
# Debian's Wine does not look for the fonts of fonts-wine by itself.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
"$wine" reg add 'HKCU\Software\Pamiro\Parametros' /v Revision /d 302 /f >/dev/null
for setting in "SRCDIR=$(windows_path "$PWD/samples/working-file")" 'DSTDIR=C:\users\Public\Documents' \
    Last_IA=620 VERSION=620 PLTFRM=1 FUENTE=0 DESTINO=0; do
    "$wine" reg add 'HKCU\Software\Pamiro\Parametros' /v "${setting%%=*}" /d "${setting#*=}" /f >/dev/null
done
for version in "411=4.1.1" "423=4.2.3" "610=6.1" "611=6.1.1" "620=6.2 / 6.2.1 / 6.3"; do
    "$wine" reg add 'HKCU\Software\Pamiro\Version' /v "${version%%=*}" /d "${version#*=}" /f >/dev/null
done
"$wine" "$dir/bin/pamiro.exe" &
program=$!
read -r left top width height < <("$wine" "$dir/bin/pamiro_window_tests.exe" --prepare-screenshot | tr -d '\r')
sleep 2
mkdir -p docs
import -display "$display" -window root -crop "${width}x${height}+${left}+${top}" +repage docs/window-windows.png
"$wine" "$dir/bin/pamiro_window_tests.exe" --close-installed-window || true
# The picture is taken; a window that does not close goes with Wine at exit.
for _ in $(seq 40); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
echo "docs/window-windows.png: ${width}x${height}"
