#!/usr/bin/env bash
# Sets up this machine, builds Zel and starts the desktop program on the demo
# year (its first start writes the sample firm year into the Zel folder).
# On a machine without a screen it prints the demo year's trial balance in the
# terminal instead, through zel-batch.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh plain zel zel-batch zel-demo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/src/app/zel "$@"
fi
home=${ZEL_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/zel}
echo "run: no screen here (DISPLAY is not set): the demo year's trial balance follows;"
echo "     start the desktop with 'bash scripts/run.sh' in a graphical session"
if [ ! -d "$home/DEMO" ]; then
  mkdir -p "$home"
  ZEL_HOME="$home" build/src/app/zel-demo "$home/DEMO" --station-settings >/dev/null
fi
exec env ZEL_HOME="$home" build/src/app/zel-batch --db "$home/DEMO" ZOiSa
