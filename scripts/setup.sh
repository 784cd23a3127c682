#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Mirel need (Debian 12, as root).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  portaudio19-dev libasound2-dev libasound2-plugins libsndfile1-dev libsoxr-dev libfftw3-dev
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core
  pulseaudio pulseaudio-utils sox
  xvfb xauth
  desktop-file-utils appstream man-db dpkg-dev file librsvg2-bin lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
