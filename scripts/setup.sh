#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test, and
# the further packages named as arguments (e.g. clang for the fuzz targets).
set -euo pipefail
pkgs=(g++ make cmake pkg-config qt6-base-dev qt6-serialport-dev libgl-dev zlib1g-dev
      fonts-wqy-microhei qt6-translations-l10n xvfb xauth openbox libxcb1-dev libxtst6 "$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
