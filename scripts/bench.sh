#!/usr/bin/env bash
# Builds and runs the benchmarks of zel-batch's trial balance:
#   scripts/bench.sh [--no-ledger]
# 1. writes demo years of 100,000 and 1,000,000 postings into /tmp/zel-bench
#    (zel-demo --postings N; kept between runs, rewritten when zel-demo is newer);
# 2. bench_batch: "zel-batch ZOiSa JPKo=N" beside a plain read of the same
#    annual file, the run with the JPK_KR fragments and file (XML rate), and
#    the analytic ledger "Anali";
# 3. maximum resident memory of zel-batch ZOiSa for 100k and 1M postings
#    (/usr/bin/time -v), which must not grow with the postings, and of Anali,
#    whose report holds a line per posting;
# 3a. bench_journal: the journals' sort and DzieP/DzieS beside a plain read,
#    a plain copy and Anali, for 100k and 1M postings, with the sort's memory;
# 4. ledger-cli's `balance` over the same 1M postings (the working file
#    converted by bench_batch_ledger), against zel-batch's whole process.
#    ledger is a peer tool to compare with, not a part of Zel; it is installed
#    from Debian when missing (needs root), else this step is skipped.
# Figures depend on the machine's load: run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."
with_ledger=1
[ "${1:-}" = "--no-ledger" ] && with_ledger=0

build=${ZEL_BUILD_DIR:-build-bench}
ZEL_BUILD_DIR=$build ZEL_JOBS=${ZEL_JOBS:-2} bash scripts/build.sh plain \
  zel-batch zel-demo bench_batch bench_batch_ledger bench_journal >/dev/null
batch=$build/src/app/zel-batch
demo=$build/src/app/zel-demo

root=/tmp/zel-bench
mkdir -p "$root"
export ZEL_HOME="$root/home"
rm -rf "$ZEL_HOME"
mkdir -p "$ZEL_HOME"
export TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8

year() {  # folder postings
  if [ ! -f "$1/N2024.DFX" ] || [ "$demo" -nt "$1/N2024.DFX" ]; then
    rm -rf "$1"
    echo "writing $1 ($2 postings)"
    "$demo" "$1" --postings "$2" >/dev/null
  fi
}
year "$root/100k" 100000
year "$root/1m" 1000000

echo "== trial balance beside a plain read; JPK_KR writing (1M postings)"
"$build/bench/bench_batch" "$root/1m" N2024 3

for option in "ZOiSa JPKo=N" Anali; do
  echo "== memory of zel-batch $option"
  for n in 100k 1m; do
    # shellcheck disable=SC2086 # the option and its field value are two arguments
    /usr/bin/time -v "$batch" --db "$root/$n" $option >/dev/null 2>"$root/time-$n.txt"
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$root/time-$n.txt")
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$root/time-$n.txt")
    echo "$n postings: max RSS $rss KB, wall $wall"
  done
done

echo "== journals: sort, DzieP and DzieS beside a plain read and Anali"
"$build/bench/bench_journal" "$root/100k" "$root/1m"

if [ "$with_ledger" = 1 ]; then
  if ! command -v ledger >/dev/null; then
    if [ "$(id -u)" = 0 ]; then
      DEBIAN_FRONTEND=noninteractive apt-get install -y ledger >/dev/null
    else
      echo "ledger is not installed (apt-get install ledger); skipped"; exit 0
    fi
  fi
  echo "== ledger balance against zel-batch (1M postings)"
  journal="$root/1m.ledger"
  if [ ! -f "$journal" ] || [ "$root/1m/R2024.DFX" -nt "$journal" ]; then
    "$build/bench/bench_batch_ledger" "$root/1m/R2024.DFX" "$journal"
  fi
  best=""
  for _ in 1 2 3; do
    t=$( { /usr/bin/time -f "%e" "$batch" --db "$root/1m" ZOiSa JPKo=N >/dev/null; } 2>&1 | tail -1)
    if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
  done
  /usr/bin/time -f "%e %M" ledger -f "$journal" balance >"$root/ledger-balance.txt" 2>"$root/time-ledger.txt"
  read -r lt lrss < <(tail -1 "$root/time-ledger.txt")
  echo "zel-batch ZOiSa: ${best} s (best of 3, whole process)"
  echo "ledger balance:  ${lt} s, max RSS ${lrss} KB"
  awk "BEGIN{printf \"zel-batch is %.0fx faster (limit 50)\n\", $lt / $best}"
fi
