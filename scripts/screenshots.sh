#!/usr/bin/env bash
# Plays the demo through under Xvfb, as the playthrough test does, and keeps the README's
# screenshots in docs/screenshots/: the title, a scene with text and the dress-up screen.
# Run after a build (./scripts/play.sh or cmake --build build).
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs/screenshots
TR2_SHOTS_DIR="$(pwd)/docs/screenshots" bash tests/e2e/playthrough_test.sh \
  build/tr2 build/tr2tool build/run/add-ons "$(mktemp -d)/playthrough"
ls docs/screenshots
