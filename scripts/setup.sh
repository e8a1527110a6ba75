#!/usr/bin/env bash
# Installs, on a Debian machine, every package Zel needs to build, test and run.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(
  # compiler and build
  g++ clang libclang-rt-14-dev cmake ninja-build ccache pkg-config
  # tests
  libgtest-dev libgmock-dev libxml2-utils
  # the desktop, printing and PDF
  qt6-base-dev libgl-dev
  # spreadsheet export, .xls and .dbf reading
  libxlsxwriter-dev libfreexl-dev libshp-dev
  # fonts with Polish letters
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
  # running the desktop without a screen (tests, screenshots)
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages are installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "setup: done"
