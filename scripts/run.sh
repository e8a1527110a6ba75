#!/usr/bin/env bash
# Sets up, builds and starts Zel. Until the desktop program exists this shows
# zel-batch's help.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh plain
if [ -x build/src/app/zel ]; then
  exec build/src/app/zel "$@"
fi
exec build/src/app/zel-batch --help
