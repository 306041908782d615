#!/usr/bin/env bash
# Fuzzes every reader: builds the libFuzzer harnesses with clang (ASan + UBSan) in build-fuzz/
# and runs each for SECONDS (default 60), as many at once as there are cores. New inputs stay
# in build-fuzz/fuzz-runs/NAME/corpus; a crash, leak, timeout (2 s) or memory overrun (512 MB)
# is written to build-fuzz/fuzz-runs/NAME/ and reported at the end.
#   ./scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=${FUZZ_JOBS:-$(nproc)}
root=$(pwd)
./scripts/install-deps.sh

export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTR2_FUZZ=ON \
  -DTR2_TESTS=OFF -DTR2_BENCH=OFF -DTR2_CONTENT=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target tr2_fuzzers

runs=build-fuzz/fuzz-runs
harnesses=$(cd build-fuzz/tests/fuzz && ls tr2_fuzz_* | grep -v seeds | sed 's/^tr2_fuzz_//')
for name in $harnesses; do mkdir -p "$runs/$name/corpus"; done

fuzz_one() {
  local name=$1 seconds=$2 runs=$3
  build-fuzz/tests/fuzz/tr2_fuzz_"$name" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$runs/$name/" "$runs/$name/corpus" "build-fuzz/tests/fuzz/seeds/$name" \
    >"$runs/$name/log" 2>&1 || true
}
export -f fuzz_one
echo "Fuzzing $(echo $harnesses | wc -w) harnesses for ${seconds}s each, $jobs at a time"
printf '%s\n' $harnesses | xargs -P "$jobs" -I{} bash -c 'fuzz_one {} '"$seconds $runs"

status=0
printf '%-10s %12s %10s  %s\n' harness executions exec/s finding
for name in $harnesses; do
  log=$runs/$name/log
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  finding=$(ls "$runs/$name" | grep -E '^(crash|leak|timeout|oom|slow-unit)-' | head -1 || true)
  printf '%-10s %12s %10s  %s\n' "$name" "${execs:-?}" "${rate:-?}" "${finding:-none}"
  if [ -n "$finding" ] || [ -z "$execs" ]; then status=1; fi
done
[ $status -eq 0 ] || echo "Findings or failed runs: see $runs/NAME/log"
exit $status
