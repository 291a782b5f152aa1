#!/usr/bin/env bash
# Starts the window on a virtual display (Xvfb) and saves a picture of it in
# docs/window.png (or the file given). It uses a settings store of its own in a
# temporary folder, pointed at the bundled sample (source) and out/ (destination),
# so the picture is the same on every machine and the user's own settings are
# never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="${1:-docs/window.png}"
build="${PAMIRO_BUILD_DIR:-build}"
cmake --build "$build" --target pamiro pamiro-screengrab >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Pamiro" "$root/out"
source_dir="$root/samples/working-file"
[ -d "$source_dir" ] || source_dir="$root/samples"
cat >"$work/config/Pamiro/Pamiro.ini" <<INI
[Parametros]
Revision=302
Last_IA=620
SRCDIR=$source_dir
DSTDIR=$root/out
VERSION=620
PLTFRM=1
FUENTE=0
DESTINO=0

[Version]
411=4.1.1 o anterior
423=4.2.x
610=6.1 / 4.3
611=6.1.1
620=6.2 / 6.2.1 / 6.3
INI

mkdir -p "$(dirname "$out")"
export XDG_CONFIG_HOME="$work/config" HOME="$work" QT_QPA_PLATFORM=xcb LANG=C.UTF-8
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1/bin/pamiro" & app=$!
    sleep "${PAMIRO_SHOT_DELAY:-3}"
    "$1/bin/pamiro-screengrab" "$2"; status=$?
    kill "$app"; wait "$app" 2>/dev/null
    exit $status' _ "$build" "$out"
echo "$out"
