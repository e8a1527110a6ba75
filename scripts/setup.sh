#!/usr/bin/env bash
# Installs, on a Debian machine, every package Zel needs to build, test and run.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(
  # compiler and build
  g++ clang libclang-rt-14-dev cmake ninja-build ccache pkg-config
  # tests
  libgtest-dev libgmock-dev libxml2-utils
  # the open-items file check of the golden reports
  python3
  # the Debian package (dpkg-shlibdeps) and the check of its desktop entry
  dpkg-dev desktop-file-utils
  # reading the PDF files and workbooks the tests write, independently
  poppler-utils python3-openpyxl unzip
  # writing the small .xls fixture of the chart import (tests/books/data)
  python3-xlwt
  # the desktop, printing and PDF
  qt6-base-dev libgl-dev
  # spreadsheet export, .xls and .dbf reading
  libxlsxwriter-dev libfreexl-dev libshp-dev
  # the program update: download over HTTPS and the signature check
  libcurl4-openssl-dev libssl-dev
  # fonts with Polish letters
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
  # running the desktop without a screen (tests, screenshots)
  xvfb xauth
  # a Polish locale, so the tests can check that amounts ignore the C locale
  locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages are installed"
else
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^pl_PL\.utf-\?8$'; then
  echo "setup: generating the pl_PL.UTF-8 locale"
  grep -q '^pl_PL.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'pl_PL.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
echo "setup: done"
