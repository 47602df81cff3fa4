#!/usr/bin/env bash
# Runs benchmarks in the two builds a user may run: the default build
# (RelWithDebInfo, -O2, in ./build) and a Release build (-O3, in
# ./build-release), alternately, ROUNDS times (default 3), and prints each
# run's ratio lines under its build line and the machine's load:
#   bash scripts/bench.sh [ROUNDS] [BENCH...]      (default: bench_memwave)
# Each bench compares its figures with a baseline measured in the same run,
# so the ratios of both builds can be set side by side.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
shift || true
benches=("$@")
[ ${#benches[@]} -gt 0 ] || benches=(bench_memwave)
jobs=${KV_BUILD_JOBS:-$(nproc)}

declare -A trees=([RelWithDebInfo]=build [Release]=build-release)
for type in RelWithDebInfo Release; do
  dir=${trees[$type]}
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" >/dev/null
  cmake --build "$dir" -j"$jobs" --target "${benches[@]}" >/dev/null
done

for ((r = 1; r <= rounds; ++r)); do
  for b in "${benches[@]}"; do
    for type in RelWithDebInfo Release; do
      echo "== round $r, $b, $type; load: $(cut -d' ' -f1-3 /proc/loadavg)"
      # The build line and every ratio line (they hold "=" or "bar").
      "${trees[$type]}/bench/$b" | grep -E '^[A-Za-z]+ build,|=|bar'
    done
  done
done
