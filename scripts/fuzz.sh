#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 5).
# Seeds come from tests/fuzz/corpus/<target>/ when present; new finds go to a
# scratch folder, never into the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
bash scripts/build.sh fuzz
shopt -s nullglob
targets=(build-fuzz/tests/fuzz/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets yet"
  exit 0
fi
for t in "${targets[@]}"; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  scratch=$(mktemp -d)
  seeds=()
  [ -d "tests/fuzz/corpus/$name" ] && seeds=("$PWD/tests/fuzz/corpus/$name")
  echo "fuzz: $name for ${seconds}s"
  # Each target runs in a scratch folder of its own: whatever files it makes stay there.
  mkdir -p "$scratch/work" "$scratch/corpus"
  (cd "$scratch/work" && ZEL_HOME="$scratch/work" "$OLDPWD/$t" -max_total_time="$seconds" \
      -print_final_stats=0 "$scratch/corpus" "${seeds[@]}") 2>"$scratch.log" || {
    tail -40 "$scratch.log"; echo "fuzz: $name FAILED"; exit 1; }
  rm -rf "$scratch" "$scratch.log"
done
echo "fuzz: ${#targets[@]} targets clean"
