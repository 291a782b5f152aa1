#!/usr/bin/env bash
# Builds the .deb, installs it with dpkg -i, runs the installed pamiro-cli
# (its version, then the bundled sample in both source formats, from the
# installed copy and its own data files) and removes the package again,
# checking that nothing of it stays behind. Build folder: build/ or
# $PAMIRO_BUILD_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
dir="${PAMIRO_BUILD_DIR:-build}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

bash scripts/install-deps.sh
PAMIRO_BUILD_DIR="$dir" bash scripts/build.sh -DPAMIRO_BUILD_GUI=ON
rm -f "$dir"/package/pamiro_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb="$(ls "$dir"/package/pamiro_*.deb)"
echo "Paquete: $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,/Description:/p'

if dpkg-query -W -f='${Status}' pamiro 2>/dev/null | grep -q "install ok installed"; then
    echo "pamiro ya esta instalado en esta maquina: no se toca" >&2
    exit 1
fi
work="$(mktemp -d)"
cleanup() {
    if dpkg-query -W -f='${Status}' pamiro 2>/dev/null | grep -q "install ok"; then
        "${as_root[@]}" dpkg -r pamiro >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

"${as_root[@]}" dpkg -i "$deb" >/dev/null
fail() { echo "FALLO: $*" >&2; exit 1; }

[ "$(readlink -f /usr/bin/pamiro-cli)" = /usr/lib/pamiro/pamiro-cli ] || fail "/usr/bin/pamiro-cli"
version="$(cd "$work" && /usr/bin/pamiro-cli --version)"
[ "$version" = "pamiro-cli (Pamiro) 3.0.2" ] || fail "version: $version"
echo "$version"
for code in 411 423 610 611 620; do
    for family in 20 51; do
        [ -f "/usr/lib/pamiro/ver${family}_${code}.dat" ] || fail "falta ver${family}_${code}.dat"
    done
done
for type in DEP IND MON EXC; do
    cmp -s "/usr/lib/pamiro/${type}_base.s" "data/${type}_base.s" || fail "${type}_base.s"
done
if [ -e /usr/lib/pamiro/pamiro ]; then
    [ "$(readlink -f /usr/bin/pamiro)" = /usr/lib/pamiro/pamiro ] || fail "/usr/bin/pamiro"
    [ -f /usr/share/applications/pamiro.desktop ] || fail "pamiro.desktop"
    [ -f /usr/share/icons/hicolor/scalable/apps/pamiro.svg ] || fail "pamiro.svg"
fi

# From a folder with no data files, so only the installed ones can be found.
for source in "wf $root/samples/working-file" "sa $root/samples/save-all/SMPL01"; do
    set -- $source
    mkdir -p "$work/$1"
    (cd "$work" && pamiro-cli convert --cp SMPL01 --platform aw51 --ia-version 620 \
        --source "$1" --from "$2" --dest foxcae --to "$work/$1") 2>/dev/null || fail "convert $1"
    [ -s "$work/$1/cmp_list" ] && [ -s "$work/$1/cmp0001" ] && [ -s "$work/$1/src0001" ] ||
        fail "convert $1: faltan archivos"
    (cd "$work" && pamiro-cli inspect --cp SMPL01 --platform aw51 --ia-version 620 \
        --source "$1" --from "$2" --json) 2>/dev/null | grep -q '"dataFile": "/usr/lib/pamiro/ver51_620.dat"' ||
        fail "inspect $1"
    echo "Conversion $1 desde la copia instalada: $(wc -l <"$work/$1/cmp_list") compuesto(s)"
done

"${as_root[@]}" dpkg -r pamiro >/dev/null
for path in /usr/lib/pamiro /usr/bin/pamiro-cli /usr/bin/pamiro /usr/share/applications/pamiro.desktop \
            /usr/share/icons/hicolor/scalable/apps/pamiro.svg; do
    [ ! -e "$path" ] && [ ! -L "$path" ] || fail "queda $path tras desinstalar"
done
echo "Paquete instalado, probado y desinstalado sin restos"
