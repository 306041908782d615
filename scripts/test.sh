#!/usr/bin/env bash
# Sets everything up and runs every test headless, in a normal and an AddressSanitizer+UBSan build,
# the audio tests (the ones with threads of their own) in a ThreadSanitizer build, and every
# reader's fuzz harness for a few seconds over its seeds (clang, ASan+UBSan).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs=$(nproc)
root=$(pwd)

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
export GLIBC_TUNABLES=glibc.malloc.trim_threshold=268435456
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_suite() {
  local dir=$1; shift
  echo "== $dir: configure and build"
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  echo "== $dir: tests"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" --timeout 600)
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DTR2_SANITIZE=ON -DTR2_BENCH=OFF

echo "== build-tsan: configure and build the audio tests"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DTR2_TSAN=ON -DTR2_BENCH=OFF -DTR2_CONTENT=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target tr2_audio_tests
echo "== build-tsan: tests"
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1" ctest --output-on-failure -j"$jobs" --timeout 600)
echo "== build-fuzz: configure and build the fuzz harnesses (clang)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTR2_FUZZ=ON \
  -DTR2_TESTS=OFF -DTR2_BENCH=OFF -DTR2_CONTENT=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target tr2_fuzzers
echo "== build-fuzz: short fuzz runs"
(cd build-fuzz && ctest --output-on-failure -j"$jobs" --timeout 120 -L fuzz)
echo "All tests passed."
