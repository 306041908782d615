#!/usr/bin/env bash
# Sets everything up (packages, build, run folder with the demo add-ons) and starts the game windowed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cd build/run
exec ../tr2 -window "$@"
