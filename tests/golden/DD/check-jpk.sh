# Shared by the DD cases that write a JPK_VAT file: the file validates
# against the schema, its rows are the register's entries, and its control
# element holds the row count and each row's tax once.
#   bash check-jpk.sh KIND   (S or Z), with DB and OUT set by run-case.sh
set -euo pipefail
kind=$1
validator="$ZEL_SOURCE_DIR/../shared/jpk-xsd/validate-jpk"
if [ ! -x "$validator" ]; then
  echo "the JPK validator is missing: $validator"; exit 1
fi
file=$(tail -n 1 "$OUT")
[ -f "$file" ] || { echo "no JPK file: $file"; exit 1; }
"$validator" "$file"
entries=$(grep -cE '^ +[0-9]+\. ' "$OUT" || true)
awk -v kind="$kind" -v entries="$entries" '
  function cents(line, tag,   v) {
    v = line; sub(".*<" tag ">", "", v); sub("</" tag ">.*", "", v)
    return sprintf("%.0f", v * 100) + 0
  }
  /<SprzedazWiersz typ=|<ZakupWiersz typ=/ { rows++ }
  kind == "S" && /<K_(16|18|20|24|26|28|30|33|35|36)>/ { match($0, /K_[0-9]+/); t = substr($0, RSTART, RLENGTH); tax += cents($0, t) }
  kind == "Z" && /<K_(43|45|46|47)>/ { match($0, /K_[0-9]+/); t = substr($0, RSTART, RLENGTH); tax += cents($0, t) }
  /<K_48>/ { print "K_48 written"; bad = 1 }
  /BRAK<\/Data/ { print "BRAK in a date"; bad = 1 }
  /<LiczbaWierszy(Sprzedazy|Zakupow)>/ { c_rows = cents($0, "LiczbaWierszy[A-Za-z]*") / 100 }
  /<PodatekNale[z]ny>/ { c_tax = cents($0, "PodatekNalezny") }
  /<PodatekNaliczony>/ { c_tax = cents($0, "PodatekNaliczony") }
  END {
    if (rows != entries) { print "rows " rows " register entries " entries; bad = 1 }
    if (rows > 0 && rows != c_rows) { print "rows " rows " control " c_rows; bad = 1 }
    if (rows > 0 && tax != c_tax) { print "tax " tax " control " c_tax; bad = 1 }
    exit bad
  }' "$file"
