#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, runs the suite, runs it
# again built with AddressSanitizer + UndefinedBehaviorSanitizer, then gives
# each fuzz target a short run.
#   scripts/test.sh           everything
#   scripts/test.sh --quick   the plain build's suite only
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
jobs=${ZEL_JOBS:-$(nproc)}

echo "== plain build"
bash scripts/build.sh plain
(cd build && ctest --output-on-failure -j "$jobs")
[ "${1:-}" = "--quick" ] && exit 0

echo "== sanitizer build (ASan + UBSan)"
bash scripts/build.sh sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
(cd build-san && ctest --output-on-failure -j "$jobs")

echo "== fuzz targets"
bash scripts/fuzz.sh "${ZEL_FUZZ_SECONDS:-5}"
