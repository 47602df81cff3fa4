#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check_includes.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)"
