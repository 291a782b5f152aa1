#!/usr/bin/env bash
# The pages of compare and inspect as a browser shows them: headless Chromium
# loads each file and dumps its DOM, which must hold the differences, the
# summary's counts and a source value that looks like a script as plain text.
# Usage: pages-in-browser.sh PAMIRO_CLI SAMPLEGEN SOURCE_ROOT DATA_DIR
set -euo pipefail
cli=$1 samplegen=$2 root=$3 data=$4
browser=$(command -v chromium || command -v chromium-browser || true)
skip() {
    echo "SKIP: $*"
    [ "${CI:-}" = "true" ] && exit 1
    exit 77
}
[ -n "$browser" ] || skip "no hay chromium"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dom() {
    timeout 60 "$browser" --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
        --dump-dom "file://$1" 2>/dev/null
}
echo '<p id="x">ok</p>' > "$work/probe.html"
dom "$work/probe.html" | grep -q '<p id="x">ok</p>' || skip "chromium no arranca aquí"

fail=0
expect() {  # what, pattern, text
    grep -qF -- "$2" <<<"$3" || { echo "FALLO: $1: falta $2"; fail=1; }
}
refuse() {
    ! grep -qF -- "$2" <<<"$3" || { echo "FALLO: $1: sobra $2"; fail=1; }
}

# The sample, and a copy with a value that looks like a script, a value
# changed, a block removed, a type changed and a sequence source edited.
cp -r "$root/samples/sources" "$work/sources"
sed -e 's|DESCRP="Caudal de alimentacion"|DESCRP="<script>document.body.dataset.ran=1</script>"|' \
    -e 's|PBAND=150.0|PBAND=175.5|' -e '/block XV201 /d' -e 's|block MA301 MATH|block MA301 CALC|' \
    "$root/samples/SMPL01.txt" > "$work/SMPL01.txt"
echo "; editado" >> "$work/sources/UNIT01/SEQ01.s"
"$samplegen" "$work/SMPL01.txt" "$data/ver51_620.dat" "$work/changed" >/dev/null
side=(--cp SMPL01 --platform aw51 --ia-version 620 --data-dir "$data")
status=0
"$cli" compare "${side[@]}" --source sa --from "$root/samples/save-all/SMPL01" \
    --with-source sa --with-from "$work/changed/save-all/SMPL01" --html "$work/compare.html" \
    >/dev/null 2>&1 || status=$?
[ "$status" -eq 1 ] || { echo "FALLO: compare sale con $status"; fail=1; }
"$cli" inspect "${side[@]}" --source sa --from "$work/changed/save-all/SMPL01" \
    --html "$work/inspect.html" >/dev/null 2>&1 || { echo "FALLO: inspect"; fail=1; }

for page in compare inspect; do
    refuse "$page: nada de fuera" 'src="' "$(cat "$work/$page.html")"
    refuse "$page: nada de fuera" 'http' "$(grep -v generator "$work/$page.html")"
    text=$(dom "$work/$page.html")
    # The filter box is shown by the page's own script: the script ran, the
    # value's did not (it would have marked the body).
    expect "$page: filtro" '<input id="filtro" type="search" placeholder=' "$text"
    refuse "$page: script del valor" 'data-ran="1"' "$text"
    expect "$page: valor como texto" "&lt;script&gt;document.body.dataset.ran=1&lt;/script&gt;" "$text"
    declare "dom_$page=$text"
done
expect "compare: compuesto" '<h3>Compuesto UNIT01</h3>' "$dom_compare"
expect "compare: PBAND" '<td>FC101</td><td>PIDA</td><td>PBAND</td><td class="v old">150.0</td><td class="v new">175.5</td><td>valor distinto</td>' "$dom_compare"
expect "compare: bloque" '<td>XV201</td><td>COUT</td><td></td>' "$dom_compare"
expect "compare: tipo" '<td><i>tipo</i></td><td class="v old">MATH</td><td class="v new">CALC</td>' "$dom_compare"
expect "compare: secuencia" '<td>SEQ01</td><td>DEP</td><td><i>fuente de secuencia</i></td>' "$dom_compare"
expect "compare: resumen" '<tr><td>valor distinto</td><td class="n">2</td></tr>' "$dom_compare"
expect "compare: resumen" '<tr><td>bloque solo en la primera fuente</td><td class="n">1</td></tr>' "$dom_compare"
expect "inspect: índice" '<a href="#c1">ALARMS</a>' "$dom_inspect"
expect "inspect: valor" '<dt>PBAND</dt><dd>175.5</dd>' "$dom_inspect"
expect "inspect: tipo desconocido" 'OD301 <small>XYZBLK</small> <small class="note">tipo desconocido: se omite</small>' "$dom_inspect"
expect "inspect: secuencia" '/changed/save-all/SMPL01/UNIT01/SEQ01.s</td>' "$dom_inspect"

# A large CP with few differences: the unchanged compounds are only counted.
awk 'BEGIN { print "cp BIGCP1\nrevision R1\nplatform aw51"
    for (c = 0; c < 202; c++) { printf "compound C%03d\n", c
        for (b = 0; b < 100; b++) printf "  block B%02d%03d AIN DESCRP=\"Bloque %d\" PERIOD=1 HSCO1=100.0\n", b, c, b } }' \
    > "$work/big.txt"
awk '/block B0000[0-9] / { sub(/HSCO1=100.0/, "HSCO1=200.0") } { print }' "$work/big.txt" > "$work/big2.txt"
mkdir -p "$work/a" "$work/b"
cp "$work/big.txt" "$work/a/BIG.txt" && cp "$work/big2.txt" "$work/b/BIG.txt"
"$samplegen" "$work/a/BIG.txt" "$data/ver51_620.dat" "$work/a" >/dev/null
"$samplegen" "$work/b/BIG.txt" "$data/ver51_620.dat" "$work/b" >/dev/null
"$cli" compare --cp BIGCP1 --platform aw51 --ia-version 620 --data-dir "$data" --source sa \
    --from "$work/a/save-all/BIGCP1" --with-source sa --with-from "$work/b/save-all/BIGCP1" \
    --html "$work/big.html" >/dev/null 2>&1 || true
size=$(stat -c %s "$work/big.html")
[ "$size" -lt 2000000 ] || { echo "FALLO: la página grande ocupa $size bytes"; fail=1; }
big=$(dom "$work/big.html")
expect "grande: sin cambios" "192 compuesto(s) sin diferencias, con 19&nbsp;200 bloque(s)" "$big"
expect "grande: resumen" '<tr><td>valor distinto</td><td class="n">10</td></tr>' "$big"
exit $fail
