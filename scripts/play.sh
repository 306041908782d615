#!/usr/bin/env bash
# Sets everything up (packages, build, run folder with the demo add-ons) and starts the game windowed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what the game needs: the tests and benchmarks build with ./scripts/test.sh.
cmake --build build -j"$(nproc)" --target tr2 tr2tool tr2_content
cd build/run
exec ../tr2 -window "$@"
