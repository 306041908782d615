#!/usr/bin/env bash
# Builds and runs every benchmark (headless) and prints the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
for b in build/bench/tr2_bench_*; do
  [ -x "$b" ] || continue
  (cd build/run && "../../$b" "$@")
done
