#!/usr/bin/env bash
# Installs the built programs into a temporary prefix (`cmake --install`, no
# rebuilding) and uses them from there as a user of the package would: the
# version and the data folder the installed zel-batch finds, the help's last
# newline, the desktop entry, icon and manual pages, and the sample year's
# trial balance written by the installed zel-demo, compared with its reviewed
# golden text.
#   installed_programs.sh CMAKE BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
cmake=$1 build=$2 source=$3 version=$4
tmp=$(mktemp -d "${TMPDIR:-/tmp}/zel-install-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
"$cmake" --install "$build" --prefix "$tmp/prefix" >/dev/null
prefix=$(cd "$tmp/prefix" && pwd -P)
failed=0
fail() { echo "installed: $*" >&2; failed=1; }

for f in bin/zel-batch bin/zel-demo; do
  [ -x "$prefix/$f" ] || { fail "missing $f"; exit 1; }
done
[ -d "$prefix/share/zel" ] || fail "missing share/zel"

got=$(env -u ZEL_DATA_DIR "$prefix/bin/zel-batch" --version)
want="zel-batch $version
dane programu: $prefix/share/zel"
[ "$got" = "$want" ] || fail "zel-batch --version printed '$got', expected '$want'"
got=$("$prefix/bin/zel-demo" --version)
[ "$got" = "zel-demo $version" ] || fail "zel-demo --version printed '$got'"
last=$("$prefix/bin/zel-batch" --help | tail -c 1 | od -An -tx1 | tr -d ' \n')
[ "$last" = 0a ] || fail "zel-batch --help does not end with a newline"

pages=(zel-batch zel-demo)
if [ -x "$prefix/bin/zel" ]; then
  pages+=(zel)
  # Answered before Qt starts: no screen needed.
  got=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/zel" --version)
  [ "$got" = "zel $version" ] || fail "zel --version printed '$got'"
  desktop=$prefix/share/applications/zel.desktop
  if [ ! -f "$desktop" ]; then
    fail "missing share/applications/zel.desktop"
  elif command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "zel.desktop does not validate"
  fi
  icon=$prefix/share/icons/hicolor/scalable/apps/zel.svg
  [ -f "$icon" ] || fail "missing the icon"
  if command -v xmllint >/dev/null && [ -f "$icon" ]; then
    xmllint --noout "$icon" || fail "the icon is not well-formed XML"
  fi
fi
for p in "${pages[@]}"; do
  page=$prefix/share/man/man1/$p.1.gz
  [ -f "$page" ] || page=$prefix/share/man/man1/$p.1
  if [ ! -f "$page" ]; then
    fail "missing the manual page of $p"
  elif [[ $page == *.gz ]]; then
    gzip -t "$page" || fail "$page is not a whole gzip file"
  fi
done

# The installed zel-demo writes the sample year, the installed zel-batch
# prints its trial balance.
bash "$source/tests/golden/run-case.sh" "$prefix/bin/zel-batch" \
  "$source/tests/golden/ZOiSa/year" || fail "the trial balance from the installed programs differs"

exit $failed
