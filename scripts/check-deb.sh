#!/usr/bin/env bash
# Builds the .deb in a build folder of its own (build-deb/, or
# $PAMIRO_DEB_BUILD_DIR; never build/) and checks it: pamiro-cli's version,
# the bundled sample converted in both source formats with the package's own
# data files, the links, the manual pages and documentation files, and
# lintian. By default the package is only unpacked (dpkg-deb -x) into a
# temporary folder and checked there; with --install it is installed with
# dpkg -i, checked in place and removed again, checking that nothing of it
# stays behind.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
install=false
for argument in "$@"; do
    case "$argument" in
        --install) install=true ;;
        *) echo "uso: $0 [--install]" >&2; exit 2 ;;
    esac
done
dir="${PAMIRO_DEB_BUILD_DIR:-build-deb}"
[ "$(cd "$(dirname "$dir")" && pwd)/$(basename "$dir")" != "$root/build" ] ||
    { echo "la carpeta build/ no se usa para el paquete" >&2; exit 2; }
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

bash scripts/install-deps.sh
# Built with Debian's hardening flags, as a package of the archive would be.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
PAMIRO_BUILD_DIR="$dir" bash scripts/build.sh -DPAMIRO_BUILD_GUI=ON -DPAMIRO_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)"
rm -f "$dir"/package/pamiro_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb="$(ls "$dir"/package/pamiro_*.deb)"
echo "Paquete: $deb"
dpkg-deb --field "$deb"

work="$(mktemp -d)"
installed=false
cleanup() {
    if $installed && dpkg-query -W -f='${Status}' pamiro 2>/dev/null | grep -q "install ok"; then
        "${as_root[@]}" dpkg -r pamiro >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FALLO: $*" >&2; exit 1; }

if $install; then
    if dpkg-query -W -f='${Status}' pamiro 2>/dev/null | grep -q "install ok installed"; then
        echo "pamiro ya esta instalado en esta maquina: no se toca" >&2
        exit 1
    fi
    "${as_root[@]}" dpkg -i "$deb" >/dev/null
    installed=true
    top=""
else
    dpkg-deb -x "$deb" "$work/root"
    top="$work/root"
fi
program_dir="$top/usr/lib/pamiro"
cli="$top/usr/bin/pamiro-cli"

[ "$(readlink -f "$cli")" = "$program_dir/pamiro-cli" ] || fail "/usr/bin/pamiro-cli"
version="$(cd "$work" && "$cli" --version)"
[ "$version" = "pamiro-cli (Pamiro) 3.0.2" ] || fail "version: $version"
echo "$version"
for code in 411 423 610 611 620; do
    for family in 20 51; do
        [ -f "$program_dir/ver${family}_${code}.dat" ] || fail "falta ver${family}_${code}.dat"
    done
done
for type in DEP IND MON EXC; do
    cmp -s "$program_dir/${type}_base.s" "data/${type}_base.s" || fail "${type}_base.s"
done
manuals=(pamiro-cli)
if [ -e "$program_dir/pamiro" ]; then
    [ "$(readlink -f "$top/usr/bin/pamiro")" = "$program_dir/pamiro" ] || fail "/usr/bin/pamiro"
    [ -f "$top/usr/share/applications/pamiro.desktop" ] || fail "pamiro.desktop"
    [ -f "$top/usr/share/icons/hicolor/scalable/apps/pamiro.svg" ] || fail "pamiro.svg"
    manuals+=(pamiro)
fi
for page in "${manuals[@]}"; do
    file="$top/usr/share/man/man1/$page.1.gz"
    gzip -t "$file" 2>/dev/null || fail "falta o esta mal $file"
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "$page.1: $warnings"
done
doc="$top/usr/share/doc/pamiro"
[ -s "$doc/copyright" ] || fail "falta $doc/copyright"
gzip -dc "$doc/changelog.gz" | grep -q '^pamiro (3\.0\.2) ' || fail "falta o esta mal $doc/changelog.gz"

# From a folder with no data files, so only the package's can be found.
for source in "wf $root/samples/working-file" "sa $root/samples/save-all/SMPL01"; do
    set -- $source
    mkdir -p "$work/$1"
    (cd "$work" && "$cli" convert --cp SMPL01 --platform aw51 --ia-version 620 \
        --source "$1" --from "$2" --dest foxcae --to "$work/$1") 2>/dev/null || fail "convert $1"
    [ -s "$work/$1/cmp_list" ] && [ -s "$work/$1/cmp0001" ] && [ -s "$work/$1/src0001" ] ||
        fail "convert $1: faltan archivos"
    (cd "$work" && "$cli" inspect --cp SMPL01 --platform aw51 --ia-version 620 \
        --source "$1" --from "$2" --json) 2>/dev/null |
        grep -qF "\"dataFile\": \"$program_dir/ver51_620.dat\"" || fail "inspect $1"
    echo "Conversion $1 desde el paquete: $(wc -l <"$work/$1/cmp_list") compuesto(s)"
done

echo "lintian:"
lintian --fail-on error "$deb" || fail "lintian informa de errores"

if $install; then
    "${as_root[@]}" dpkg -r pamiro >/dev/null
    installed=false
    for path in /usr/lib/pamiro /usr/bin/pamiro-cli /usr/bin/pamiro /usr/share/applications/pamiro.desktop \
                /usr/share/icons/hicolor/scalable/apps/pamiro.svg /usr/share/man/man1/pamiro.1.gz \
                /usr/share/man/man1/pamiro-cli.1.gz /usr/share/doc/pamiro; do
        [ ! -e "$path" ] && [ ! -L "$path" ] || fail "queda $path tras desinstalar"
    done
    echo "Paquete instalado, probado y desinstalado sin restos"
else
    echo "Paquete desempaquetado y probado; nada instalado"
fi
