#!/usr/bin/env bash
# Installs every Debian 12 package that building, the content tools and the
# tests need. Does nothing when all of them are present already.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkgconf clang libclang-rt-14-dev
  # libraries of the program
  qt6-base-dev libgl-dev libjpeg62-turbo-dev
  # content tools: rendering, label checks, templates, font metrics, image encoding
  python3 python3-fonttools python3-pil librsvg2-bin fonts-dejavu-core
  gir1.2-rsvg-2.0 python3-gi python3-gi-cairo python3-cairo python3-svgelements
  # fonts the window may use
  fonts-wine
  # tests and benchmarks
  libgtest-dev libbenchmark-dev libjpeg-turbo-progs valgrind
  xvfb xauth imagemagick xdotool desktop-file-utils appstream
  # the accessibility check: a session bus, the AT-SPI registry and a client
  dbus at-spi2-core python3-gi gir1.2-atspi-2.0
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
