#!/usr/bin/env bash
# Runs one golden case through zel-batch and compares its output.
#   run-case.sh ZEL_BATCH CASE_DIR
# CASE_DIR holds:
#   args          zel-batch's arguments, one per line; @DB stands for the database folder
#   demo          (optional) zel-demo's arguments, one per line: the database is written
#                 fresh into a scratch folder; without it CASE_DIR/db is used
#   expected.txt  what zel-batch prints on standard output
#   exit          (optional) the expected exit code, 0 when absent
#   stderr.txt    (optional) what it prints on standard error; when absent,
#                 standard error must stay empty
#   check         (optional) a bash script run after zel-batch, before the
#                 comparison, with DB (the database folder), OUT (standard
#                 output as printed) and ZEL_SOURCE_DIR (the source tree) set;
#                 its failure fails the case
# ZEL_GOLDEN_UPDATE=1 rewrites the expected files from this run; a missing
# expected.txt is a failure, never created silently.
set -euo pipefail
batch=$1
case_dir=$(cd "$2" && pwd)
ZEL_SOURCE_DIR=${ZEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
export ZEL_SOURCE_DIR
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

db="$case_dir/db"
if [ -f "$case_dir/demo" ]; then
  demo="$(dirname "$batch")/zel-demo"
  mapfile -t demo_args < "$case_dir/demo"
  db="$scratch/db"
  "$demo" "$db" "${demo_args[@]}" >/dev/null
fi

mapfile -t raw_args < "$case_dir/args"
args=()
for a in "${raw_args[@]}"; do
  [ -n "$a" ] && args+=("${a//@DB/$db}")
done

export ZEL_HOME="$scratch/home"
mkdir -p "$ZEL_HOME"
set +e
"$batch" "${args[@]}" >"$scratch/out.txt" 2>"$scratch/err.txt"
code=$?
set -e

status=0
if [ -f "$case_dir/check" ]; then
  if ! DB="$db" OUT="$scratch/out.txt" bash "$case_dir/check"; then
    echo "check failed: $case_dir/check"; status=1
  fi
fi

sed -i "s#$db#@DB#g" "$scratch/out.txt" "$scratch/err.txt"

want_code=0
[ -f "$case_dir/exit" ] && want_code=$(cat "$case_dir/exit")

if [ "${ZEL_GOLDEN_UPDATE:-}" = 1 ]; then
  cp "$scratch/out.txt" "$case_dir/expected.txt"
  rm -f "$case_dir/exit" "$case_dir/stderr.txt"
  if [ "$code" -ne 0 ]; then echo "$code" > "$case_dir/exit"; fi
  if [ -s "$scratch/err.txt" ]; then cp "$scratch/err.txt" "$case_dir/stderr.txt"; fi
  echo "updated $case_dir"
  exit $status
fi

if [ ! -f "$case_dir/expected.txt" ]; then
  echo "missing $case_dir/expected.txt (run with ZEL_GOLDEN_UPDATE=1 and review it)"
  exit 1
fi
if ! diff -u "$case_dir/expected.txt" "$scratch/out.txt"; then status=1; fi
if [ -f "$case_dir/stderr.txt" ]; then
  if ! diff -u "$case_dir/stderr.txt" "$scratch/err.txt"; then status=1; fi
elif [ -s "$scratch/err.txt" ]; then
  echo "unexpected standard error:"; cat "$scratch/err.txt"; status=1
fi
if [ "$code" != "$want_code" ]; then
  echo "exit code $code, expected $want_code"; cat "$scratch/err.txt"; status=1
fi
exit $status
