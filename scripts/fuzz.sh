#!/usr/bin/env bash
# Builds every fuzz target (fuzz/fuzz_<name>.cpp; clang with libFuzzer, the
# sanitizers on) in build-fuzz and runs each one for SECONDS (default 20), all
# at once: bash scripts/fuzz.sh [SECONDS] [NAME...]. Installs clang when
# missing. Seeds: fuzz/corpus/<name>, and for the sheet and waveform readers
# the files their tests write (the tests are built in ./build). What a run
# finds new is kept in build-fuzz/corpus/<name> for the next run; a crash is
# saved in build-fuzz/artifacts/ and fails the script with the target's log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
bash scripts/setup.sh clang libclang-rt-dev

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for src in fuzz/fuzz_*.cpp; do n=${src#fuzz/fuzz_}; names+=("${n%.cpp}"); done
fi
# The targets whose seeds a test writes: <test target> <environment variable>.
declare -A seed_test=([sheetfile]="sheets_tst_sheetfile KV_SHEET_CORPUS"
                      [wfmfile]="memwave_tst_wfmfile KV_WFM_CORPUS")
declare -A max_len=([sheetfile]=65536 [wfmfile]=16384)

cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${names[@]/#/fuzz_}"

tests=()
for n in "${names[@]}"; do [ -n "${seed_test[$n]:-}" ] && tests+=("${seed_test[$n]%% *}"); done
if [ ${#tests[@]} -gt 0 ]; then
  [ -f build/CMakeCache.txt ] || cmake -S . -B build >/dev/null
  cmake --build build -j"$(nproc)" --target "${tests[@]}"
fi

mkdir -p build-fuzz/logs build-fuzz/artifacts
pids=()
for n in "${names[@]}"; do
  dirs=()
  [ -d "fuzz/corpus/$n" ] && dirs+=("fuzz/corpus/$n")
  if [ -n "${seed_test[$n]:-}" ]; then
    read -r tst var <<<"${seed_test[$n]}"
    seeds=build-fuzz/seeds/$n
    # Written again only when the test changed.
    if [ ! -d "$seeds" ] || [ "build/tests/$tst" -nt "$seeds" ]; then
      rm -rf "$seeds"
      env "$var=$PWD/$seeds" QT_QPA_PLATFORM=offscreen "build/tests/$tst" >/dev/null
      touch "$seeds"
    fi
    dirs+=("$seeds")
  fi
  if [ ${#dirs[@]} -eq 0 ]; then
    echo "fuzz_$n has no seeds: add some to fuzz/corpus/$n" >&2
    exit 1
  fi
  mkdir -p "build-fuzz/corpus/$n"
  opts=(-max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -print_final_stats=1
        -artifact_prefix="build-fuzz/artifacts/$n-")
  [ -n "${max_len[$n]:-}" ] && opts+=(-max_len="${max_len[$n]}")
  "build-fuzz/fuzz/fuzz_$n" "${opts[@]}" "build-fuzz/corpus/$n" "${dirs[@]}" \
    >"build-fuzz/logs/$n.log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!names[@]}"; do
  n=${names[$i]}
  if wait "${pids[$i]}"; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/logs/$n.log")
    echo "fuzz_$n: ${runs:-?} inputs in ${seconds} s, no finding"
  else
    echo "fuzz_$n FAILED (build-fuzz/logs/$n.log):" >&2
    tail -n 60 "build-fuzz/logs/$n.log" >&2
    failed=1
  fi
done
exit "$failed"
