#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# only those that are missing. Safe to run again.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth file
  fonts-dejavu-core fonts-liberation
  dpkg-dev desktop-file-utils xdotool openbox x11-utils imagemagick locales
  sway qt6-wayland wtype python3-pyatspi at-spi2-core dbus
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine wine64 nsis wixl msitools zip unzip
)

# The fuzzers need clang and its libFuzzer runtime as well.
if [ "${1:-}" = "--fuzz" ]; then packages+=(clang libclang-rt-14-dev); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The Windows suites start programs under a Cyrillic system locale (ANSI
# code page 1251) and an English one (1252); Wine takes its code pages from
# the Linux locale, which must exist.
for wanted in ru_RU en_US; do
  if ! locale -a 2>/dev/null | grep -qix "$wanted.utf-\?8"; then
    $sudo localedef -i "$wanted" -f UTF-8 "$wanted.UTF-8"
  fi
done
