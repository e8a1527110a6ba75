#!/usr/bin/env bash
# Configures and builds Zel with Ninja in a build folder.
#   scripts/build.sh [plain|sanitize|fuzz] [ninja targets...]
# plain -> build/ (Release, as packaged), sanitize -> build-san/ (ASan + UBSan),
# fuzz -> build-fuzz/ (clang, libFuzzer); ZEL_BUILD_DIR names another folder.
# Warnings are errors here (ZEL_WERROR); a plain cmake configure only shows them.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-plain}
[ $# -gt 0 ] && shift
jobs=${ZEL_JOBS:-$(nproc)}
# Let ccache reuse objects between clones of the tree (CI builds a fresh clone).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
case "$kind" in
  plain)    dir=build;      flags=(-DCMAKE_BUILD_TYPE=Release) ;;
  sanitize) dir=build-san;  flags=(-DZEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
  fuzz)     dir=build-fuzz; flags=(-DZEL_FUZZ=ON -DZEL_QT=OFF -DZEL_TESTS=OFF
                                   -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  *) echo "build: unknown kind '$kind' (plain, sanitize, fuzz)" >&2; exit 2 ;;
esac
# A developer working beside others may keep a build folder of their own.
dir=${ZEL_BUILD_DIR:-$dir}
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DZEL_WERROR=ON "${flags[@]}" >/dev/null
elif ! grep -q '^ZEL_WERROR:BOOL=ON$' "$dir/CMakeCache.txt"; then
  # A folder configured before warnings became an option keeps them errors.
  cmake "$dir" -DZEL_WERROR=ON >/dev/null
fi
ninja -C "$dir" -j "$jobs" "$@"
