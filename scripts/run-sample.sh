#!/usr/bin/env bash
# Installs what is missing, builds the command line and its installation data,
# converts the bundled sample CP SMPL01 from both source formats into both
# destination formats, and shows what it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
PAMIRO_BUILD_DIR="${PAMIRO_BUILD_DIR:-build}"
cli="$PAMIRO_BUILD_DIR/bin/pamiro-cli"
cmake -S . -B "$PAMIRO_BUILD_DIR" -G Ninja >/dev/null
cmake --build "$PAMIRO_BUILD_DIR" --target pamiro-cli pamiro_data
out="${1:-out/sample}"
# Only what this script made is removed: its four folders inside a folder
# that holds its mark. Any other file or folder given stops the script, an
# empty folder excepted.
mark="$out/.pamiro-run-sample"
if [ -e "$out" ] && [ ! -f "$mark" ] && { [ ! -d "$out" ] || [ -n "$(ls -A "$out")" ]; }; then
    echo "run-sample.sh: $out ya existe y no lo ha creado este programa; indique otra carpeta" >&2
    exit 1
fi
if [ -f "$mark" ]; then
    rm -rf "$out/wf-foxcae" "$out/wf-icc" "$out/sa-foxcae" "$out/sa-icc"
fi
mkdir -p "$out"
touch "$mark"
for source in wf sa; do
    from=samples/working-file
    [ "$source" = sa ] && from=samples/save-all/SMPL01
    for dest in foxcae icc; do
        to="$out/$source-$dest"
        mkdir -p "$to"
        echo
        echo "== pamiro-cli convert --cp SMPL01 --platform aw51 --ia-version 620 --source $source --from $from --dest $dest --to $to"
        "$cli" convert --cp SMPL01 --platform aw51 --ia-version 620 \
            --source "$source" --from "$from" --dest "$dest" --to "$to"
    done
done
echo
echo "== Archivos escritos en $out:"
find "$out" -type f ! -name .pamiro-run-sample | sort | while read -r f; do printf '%8d  %s\n' "$(stat -c %s "$f")" "$f"; done
echo
echo "== $out/wf-foxcae/cmp_list:"; cat "$out/wf-foxcae/cmp_list"
echo "== $out/wf-foxcae/src_list:"; cat "$out/wf-foxcae/src_list"
echo "== $out/wf-foxcae/cmp0002 (primeras líneas):"; head -n 12 "$out/wf-foxcae/cmp0002"
echo "== $out/sa-icc/SMPL01.cmd (primeras líneas):"; head -n 12 "$out/sa-icc/SMPL01.cmd"
