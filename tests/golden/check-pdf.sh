#!/usr/bin/env bash
# Checks a PDF written by zel-batch: check-pdf.sh FILE TITLE portrait|landscape
#   - the page count N equals the "z N" of every page's "Strona i z N"
#   - page i says "Strona i z N" and the title (Polish letters readable)
#   - every font is embedded; the page is A4 in the given orientation
#   - no "FILE.part" is left beside it
set -euo pipefail
pdf=$1 title=$2 orientation=$3
[ -f "$pdf" ] || { echo "no PDF: $pdf"; exit 1; }
[ ! -e "$pdf.part" ] || { echo "part file left: $pdf.part"; exit 1; }
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
[ "$pages" -ge 1 ] || { echo "no pages"; exit 1; }
size=$(pdfinfo "$pdf" | awk '/^Page size:/ {print $3 "x" $5}')
if [ "$orientation" = portrait ]; then want=595x842; else want=842x595; fi
[ "$size" = "$want" ] || { echo "page size $size, expected $want"; exit 1; }
for ((i = 1; i <= pages; i++)); do
  text=$(pdftotext -f "$i" -l "$i" -layout "$pdf" -)
  grep -q "Strona $i z $pages\$" <<<"$text" || { echo "page $i lacks 'Strona $i z $pages'"; exit 1; }
  grep -qF "$title" <<<"$text" || { echo "page $i lacks the title '$title'"; exit 1; }
done
if pdffonts "$pdf" | tail -n +3 | awk '$(NF-4) != "yes" {bad = 1} END {exit !bad}'; then
  echo "a font is not embedded:"; pdffonts "$pdf"; exit 1
fi
