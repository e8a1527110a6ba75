#!/usr/bin/env bash
# Builds the Debian package of Zel from a Release build and checks it.
#   scripts/package.sh        -> build-pkg/zel_VERSION_ARCH.deb
# Install it with: sudo apt install ./build-pkg/zel_*.deb
# The package is checked before it is called done: its control fields and
# dependencies (dpkg-deb --info), the files it holds (dpkg-deb --contents),
# its desktop entry (desktop-file-validate), and its zel-batch run from the
# unpacked tree; lintian, when installed, reports on it without failing it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
jobs=${ZEL_JOBS:-$(nproc)}
dir=${ZEL_BUILD_DIR:-build-pkg}
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEL_WERROR=ON -DZEL_TESTS=OFF >/dev/null
fi
ninja -C "$dir" -j "$jobs"
rm -f "$dir"/zel_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
debs=("$dir"/zel_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "package: cpack made no zel_*.deb in $dir" >&2; exit 1; }

failed=0
fail() { echo "package: $*" >&2; failed=1; }

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = zel ] || fail "Package is '$(field Package)'"
version=$(sed -n 's/^project(Zel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', CMakeLists.txt says '$version'"
depends=$(field Depends)
for lib in libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins libxlsxwriter4 libfreexl1 libshp2 libcurl4 libssl3 \
           fonts-dejavu-core libstdc++6 libc6; do
  tr ',|' '\n\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$lib" ||
    fail "Depends lacks $lib: $depends"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in ./usr/bin/zel ./usr/bin/zel-batch ./usr/bin/zel-demo ./usr/share/zel/ \
         ./usr/share/applications/zel.desktop ./usr/share/icons/hicolor/scalable/apps/zel.svg \
         ./usr/share/man/man1/zel.1.gz ./usr/share/man/man1/zel-batch.1.gz \
         ./usr/share/man/man1/zel-demo.1.gz ./usr/share/doc/zel/copyright \
         ./usr/share/doc/zel/changelog.gz; do
  grep -qxF "$f" <<<"$contents" || fail "the package lacks $f"
done
if grep -v '^\./usr/' <<<"$contents" | grep -qv '^\./$'; then
  fail "files outside /usr: $(grep -v '^\./usr/' <<<"$contents" | grep -v '^\./$' | head -3)"
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/zel.desktop" || fail "zel.desktop does not validate"
got=$(env -u ZEL_DATA_DIR "$unpacked/usr/bin/zel-batch" --version | sed -n 2p)
[ "$got" = "dane programu: $(cd "$unpacked" && pwd -P)/usr/share/zel" ] ||
  fail "the packaged zel-batch finds its data at '$got'"

if command -v lintian >/dev/null; then
  echo "== lintian (for information)"
  lintian --tag-display-limit 0 "$deb" || true
fi

echo "== $deb"
dpkg-deb --field "$deb"
[ "$failed" -eq 0 ] || { echo "package: checks failed" >&2; exit 1; }
echo "package: $deb checked; install it with: sudo apt install ./$deb"
