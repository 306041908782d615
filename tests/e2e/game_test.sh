#!/usr/bin/env bash
# End-to-end: the real program plays a scenario under Xvfb: text, a choice answered by a click,
# a camera drag, music, quitting on %Q, and the saved state read back by a second start.
# usage: game_test.sh TR2 MAKE_TEST_ADDONS WORK_FOLDER FONT_ARCHIVE
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh"
if [ "${1:-}" != "--inner" ]; then
  export TR2_NO_DIALOGS=1
  under_xvfb 1280x1024 "$@"
fi
shift
here=$(cd "$(dirname "$0")" && pwd)
tr2=$(realpath "$1"); make_addons=$(realpath "$2"); work=$3; font=$(realpath "$4")
[ -f "$font" ] || { echo "FAIL: no font archive at $4 (build the content first)"; exit 1; }
rm -rf "$work"; mkdir -p "$work/add-ons"; cp "$font" "$work/add-ons/"
cp "$here/game_script.txt" "$work/script.txt"
"$make_addons" "$work" "$work/script.txt"
cd "$work"
own_runtime_dir

pid=""
fail() {
  echo "FAIL: $*"
  [ -f tr2.err ] && cat tr2.err
  [ -n "$pid" ] && { kill -KILL "$pid" 2>/dev/null || true; }
  exit 1
}
pixel() { python3 "$here/bmp_pixel.py" "$@"; }
is_colour() { python3 "$here/bmp_pixel.py" "$@" >/dev/null; }


shots=0
screenshot() {  # Print Screen; prints the new file's name
  xdotool key Print
  for _ in $(seq 1 100); do
    local n; n=$(ls screenshot/*.bmp 2>/dev/null | wc -l)
    [ "$n" -gt "$shots" ] && break
    sleep 0.1
  done
  shots=$(ls screenshot/*.bmp 2>/dev/null | wc -l)
  ls -t screenshot/*.bmp | head -n 1
}


click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.4; }

echo "== first start: text, choice, camera, music, quit"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=audio.raw "$tr2" -window >tr2.out 2>tr2.err &
pid=$!
wid=$(wait_window) || fail "no window appeared"
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
sleep 3
shot=$(screenshot)
is_colour "$shot" 400 560 2040C0 || fail "no message window: $(pixel "$shot" 400 560)"
white=0
for x in $(seq 80 2 240); do  # the first line's glyphs, from (78, 416) in 26-pixel cells
  [ "$(pixel "$shot" "$x" 430)" = "FFFFFF" ] && white=$((white + 1))
done
[ "$white" -gt 0 ] || fail "no text typed into the message window"
figure_x=$(pixel "$shot" --red-centre)
[ "$figure_x" -gt 300 ] && [ "$figure_x" -lt 500 ] || fail "figure not in the middle: $figure_x"

click 400 500   # the page's click wait
sleep 1
shot=$(screenshot)
is_colour "$shot" 400 260 20C040 || fail "no choice menu: $(pixel "$shot" 400 260)"
! is_colour "$shot" 400 560 2040C0 || fail "message window shown during the choice"

click 400 260   # "はい"
sleep 1.5
before=$(pixel "$(screenshot)" --red-centre)
xdotool mousemove --window "$wid" 600 300 mousedown 1
for x in 620 640 660 680 700; do xdotool mousemove --window "$wid" "$x" 300; sleep 0.05; done
xdotool mouseup 1
sleep 0.5
after=$(pixel "$(screenshot)" --red-centre)
[ "$before" != "$after" ] || fail "the camera drag moved nothing ($before)"

click 400 500   # the last page, then %Q
wait_exit "$pid"
[ "$code" = 0 ] || fail "the first run ended with $code"
[ -f tr2state.dat ] || fail "no tr2state.dat written"
[ "$(stat -c %s tr2state.dat)" = 524 ] || fail "tr2state.dat has $(stat -c %s tr2state.dat) bytes"
python3 -c "import sys; d=open('audio.raw','rb').read(); sys.exit(0 if any(d) else 1)" ||
  fail "no sound reached the audio device"

echo "== second start: the saved variable leads elsewhere"
SDL_AUDIODRIVER=dummy "$tr2" -window >tr2.out 2>tr2.err &
pid=$!
wid=$(wait_window) || fail "no window appeared on the second start"
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
sleep 3
shot=$(screenshot)
is_colour "$shot" 150 150 E0E020 || fail "the second start did not read the state"
click 400 500
wait_exit "$pid"
[ "$code" = 0 ] || fail "the second run ended with $code"
echo "PASS"
