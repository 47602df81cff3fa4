#!/usr/bin/env bash
# Runs the data sheet reader's fuzz target (not a test). Installs clang when
# missing, builds with -DKV_FUZZ=ON in build-fuzz/, seeds the corpus with the
# sheets the sheet file tests write, and runs RUNS executions (default 1 M).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends clang
fi
runs=${RUNS:-1000000}
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON >/dev/null
cmake --build build-fuzz -j4 --target fuzz_sheetfile sheets_tst_sheetfile
corpus=build-fuzz/sheet-corpus
seeds=build-fuzz/sheet-seeds
rm -rf "$seeds"
mkdir -p "$corpus" "$seeds"
KV_SHEET_CORPUS="$PWD/$seeds" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
  build-fuzz/tests/sheets_tst_sheetfile >/dev/null
build-fuzz/fuzz/fuzz_sheetfile -runs="$runs" -max_len=65536 -rss_limit_mb=4096 \
  -print_final_stats=1 "$corpus" "$seeds"
