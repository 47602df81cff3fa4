#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (no display needed).
# Then builds the suite a second time, in build-asan, with AddressSanitizer
# (leak checking on) and UndefinedBehaviorSanitizer, and runs it there too:
# any finding fails the run. Last, builds every fuzz target in build-fuzz
# (clang, installed when missing) and runs each on its seeds for 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check_includes.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure -j"$(nproc)")

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Sanitize \
  -DCMAKE_C_FLAGS_SANITIZE="-O1 -g1 $sanitize" -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -g1 $sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS_SANITIZE="$sanitize" -DCMAKE_SHARED_LINKER_FLAGS_SANITIZE="$sanitize"
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
(cd build-asan && ctest --output-on-failure -j"$(nproc)")

bash scripts/fuzz.sh 20
