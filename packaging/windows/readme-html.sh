#!/bin/sh
# The README as a web page for the Windows folder: CMARK README.md TITLE OUT.
# Pictures are left out (they are not shipped); the page says it is UTF-8.
set -e
cmark="$1" readme="$2" title="$3" out="$4"
{
    printf '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
    printf '<title>%s</title>\n</head>\n<body>\n' "$title"
    sed '/^!\[/d' "$readme" | "$cmark" --to html
    printf '</body>\n</html>\n'
} >"$out.new"
mv "$out.new" "$out"
