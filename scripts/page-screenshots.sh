#!/usr/bin/env bash
# Remakes docs/compare-page.png and docs/inspect-page.png: the bundled sample
# and a copy of it with a few changes, rendered by headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${PAMIRO_BUILD_DIR:-build}"
cmake --build "$build" --target pamiro-cli pamiro-samplegen pamiro_data >/dev/null
browser=$(command -v chromium || command -v chromium-browser)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r samples/sources "$work/sources"
sed -e 's|PBAND=150.0|PBAND=175.5|' -e 's|INT=0.5|INT=0.8|' -e '/block XV201 /d' \
    -e 's|DESCRP="Alarma general"|DESCRP="Alarma general de planta"|' samples/SMPL01.txt \
    > "$work/SMPL01.txt"
echo "; paso nuevo" >> "$work/sources/UNIT01/SEQ01.s"
root=$PWD
bin=$(cd "$build" && pwd)/bin
"$build/tools/pamiro-samplegen" "$work/SMPL01.txt" "$build/bin/ver51_620.dat" "$work/gen" >/dev/null
# Relative folders, so that the pictures show no machine's own paths.
mkdir -p "$work/datos" "$work/en-planta" "$work/ingenieria"
cp "$build/bin/ver51_620.dat" "$build/bin/"*_base.s "$work/datos/" 2>/dev/null || true
cp -r samples/save-all/SMPL01 "$work/en-planta/SMPL01"
mv "$work/gen/save-all/SMPL01" "$work/ingenieria/SMPL01"
export SOURCE_DATE_EPOCH=1796644800
side=(--cp SMPL01 --platform aw51 --ia-version 620 --data-dir datos --source sa)
cd "$work"
"$bin/pamiro-cli" compare "${side[@]}" --from en-planta/SMPL01 --with-source sa \
    --with-from ingenieria/SMPL01 --html compare.html >/dev/null || true
"$bin/pamiro-cli" inspect "${side[@]}" --from ingenieria/SMPL01 \
    --html inspect.html >/dev/null
cd "$root"
for page in compare inspect; do
    "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$work/profile" \
        --window-size=1280,1500 --screenshot="docs/$page-page.png" "file://$work/$page.html" 2>/dev/null
    echo "docs/$page-page.png"
done
