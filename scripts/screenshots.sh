#!/usr/bin/env bash
# Plays the demo under Xvfb and saves the README's screenshots into docs/screenshots/:
# the title, a scene with text, and the dress-up screen. Run after a build (./scripts/play.sh
# or cmake --build build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if [ "${1:-}" != "--inner" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inner
fi
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy TR2_NO_DIALOGS=1
export GLIBC_TUNABLES=glibc.malloc.trim_threshold=268435456
export XDG_RUNTIME_DIR=$(mktemp -d)
work=$(mktemp -d)
cp -r build/run/add-ons "$work/"
cd "$work"
"$root/build/tr2" -window 2>tr2.err &
pid=$!
wid=""
for _ in $(seq 1 150); do
  wid=$(xdotool search --name "Tavrel 2" 2>/dev/null | head -n 1 || true)
  [ -n "$wid" ] && break
  sleep 0.2
done
[ -n "$wid" ] || { echo "no window"; cat tr2.err; exit 1; }
xdotool windowfocus "$wid"
shot() {  # waits, then Print Screen into docs/screenshots/NAME.png
  sleep "$1"
  local before; before=$(ls screenshot 2>/dev/null | wc -l)
  xdotool key Print
  for _ in $(seq 1 50); do [ "$(ls screenshot 2>/dev/null | wc -l)" -gt "$before" ] && break; sleep 0.1; done
  /usr/bin/convert "$(ls -t screenshot/*.bmp | head -n 1)" "$root/docs/screenshots/$2.png"
}
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep "${3:-2.5}"; }
shot 6 title
click 400 366 4      # はじめから
for _ in 1 2 3 4 5 6; do click 400 520; done
shot 0.5 scene
for _ in 1 2 3 4 5 6 7 8; do click 400 520; done
click 400 236 3      # the first answer
for _ in $(seq 1 12); do click 400 520 2; done
shot 2 dress-up
kill "$pid" 2>/dev/null || true
rm -rf "$work"
echo "docs/screenshots/: $(ls "$root/docs/screenshots")"
