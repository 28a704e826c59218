#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing quorin need.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  libsdl2-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev mesa-utils
  libpng-dev zlib1g-dev libjpeg62-turbo-dev
  libmpg123-dev libkissfft-dev libmp3lame-dev
  libfreetype-dev libfontconfig-dev fonts-liberation
  libimgui-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev llvm
  xvfb xauth xdotool x11-utils imagemagick
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
