#!/usr/bin/env bash
# Installs the Debian packages the build, the demo content and the tests need; does nothing when all are present.
set -euo pipefail

packages=(
  cmake pkg-config g++ make
  clang libclang-rt-14-dev
  libsdl2-dev libepoxy-dev libvorbis-dev libogg-dev libgtk-3-dev libfreetype-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic
  libcairo2-dev libpango1.0-dev libespeak-ng-dev espeak-ng-data
  libgl1-mesa-dri libegl-mesa0
  xvfb xauth xdotool vorbis-tools imagemagick
  python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
