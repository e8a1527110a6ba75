#!/usr/bin/env bash
# Runs one golden case through zel-batch and compares its output.
#   run-case.sh ZEL_BATCH CASE_DIR
# CASE_DIR holds:
#   args          zel-batch's arguments, one per line; @DB stands for the database folder
#   demo          (optional) zel-demo's arguments, one per line: the database is written
#                 fresh into a scratch folder; without it CASE_DIR/db is used
#   expected.txt  what zel-batch prints on standard output
#   exit          (optional) the expected exit code, 0 when absent
#   stderr.txt    (optional) what it prints on standard error
# ZEL_GOLDEN_UPDATE=1 rewrites the expected files from this run; a missing
# expected.txt is a failure, never created silently.
set -euo pipefail
batch=$1
case_dir=$2
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
sed -i "s#$db#@DB#g" "$scratch/out.txt" "$scratch/err.txt"

want_code=0
[ -f "$case_dir/exit" ] && want_code=$(cat "$case_dir/exit")

if [ "${ZEL_GOLDEN_UPDATE:-}" = 1 ]; then
  cp "$scratch/out.txt" "$case_dir/expected.txt"
  [ "$code" -ne 0 ] && echo "$code" > "$case_dir/exit"
  [ -s "$scratch/err.txt" ] && cp "$scratch/err.txt" "$case_dir/stderr.txt"
  echo "updated $case_dir"
  exit 0
fi

status=0
if [ ! -f "$case_dir/expected.txt" ]; then
  echo "missing $case_dir/expected.txt (run with ZEL_GOLDEN_UPDATE=1 and review it)"
  exit 1
fi
if ! diff -u "$case_dir/expected.txt" "$scratch/out.txt"; then status=1; fi
if [ -f "$case_dir/stderr.txt" ] && ! diff -u "$case_dir/stderr.txt" "$scratch/err.txt"; then status=1; fi
if [ "$code" != "$want_code" ]; then
  echo "exit code $code, expected $want_code"; cat "$scratch/err.txt"; status=1
fi
exit $status
