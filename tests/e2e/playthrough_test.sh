#!/usr/bin/env bash
# End-to-end: a person plays the demo through under Xvfb. The title menu, pages turned by click
# and Return, Space hiding the interface, a camera drag, a choice by mouse, the dress-up screen
# (a window, an item taken off, outfit 01 saved, a change, outfit 01 loaded and saved again as
# 02), closing it, Escape to "SystemExit" and the end. Pictures are checked at known places
# against the colours of the demo's own PSD layers; the saved files are decoded.
# usage: playthrough_test.sh TR2 TR2TOOL ADDONS_FOLDER WORK_FOLDER
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh"
if [ "${1:-}" != "--inner" ]; then
  export SDL_AUDIODRIVER=dummy TR2_NO_DIALOGS=1
  under_xvfb 1280x1024 "$@"
fi
shift
here=$(cd "$(dirname "$0")" && pwd)
tr2=$(realpath "$1"); tool=$(realpath "$2"); addons=$(realpath "$3"); work=$4
rm -rf "$work"; mkdir -p "$work"; cp -r "$addons" "$work/add-ons"; cd "$work"
own_runtime_dir

pid=""
fail() {
  echo "FAIL: $*"
  [ -f tr2.err ] && tail -5 tr2.err
  # Leave no game behind to hold the test runner's output open.
  [ -n "$pid" ] && { kill -KILL "$pid" 2>/dev/null || true; }
  exit 1
}

# The demo's own pictures, layer by layer, as the game finds them.
for psd in inter.psd setup.psd; do
  "$tool" cat "$psd" >"$psd" && "$tool" psd-export "$psd" "layers_$psd" >"layers_$psd.txt" ||
    fail "cannot export $psd"
done
# An opaque pixel of a layer, away from its middle where labels go: "X Y RRGGBB", X and Y
# from the layer's corner. The game draws the layer over anything, so that pixel shows as it is.
opaque_point() {  # PSD LAYER_NAME
  local index; index=$(awk -v n="$2" '$2 == n { print $1; exit }' "layers_$1.txt")
  [ -n "$index" ] || { echo "no layer $2 in $1" >&2; return 1; }
  local png; png=$(ls "layers_$1/$(printf '%03d' "$index")"*.png | head -n 1)
  local size; size=$(/usr/bin/identify -format '%w %h' "$png")
  /usr/bin/convert "$png" -depth 8 rgba:- | python3 -c '
import sys
w, h = map(int, sys.argv[1:3])
d = sys.stdin.buffer.read()
for y in [h // 2] + [h // 2 + k * s for k in range(1, h // 2) for s in (-1, 1)]:
    for x in list(range(2, w // 4)) + list(range(w - 3, 3 * w // 4, -1)):
        i = (y * w + x) * 4
        if 0 <= y < h and d[i + 3] == 255:
            print(x, y, "%02X%02X%02X" % (d[i], d[i + 1], d[i + 2]))
            sys.exit(0)
sys.exit(1)' $size || { echo "no opaque pixel in $1 $2" >&2; return 1; }
}
# A layer's place on the 800 x 600 screen, from the export's table: LEFT TOP WIDTH HEIGHT.
layer_place() { awk -v n="$2" '$2 == n { print $3, $4, $5, $6; exit }' "layers_$1.txt"; }

is_colour() { python3 "$here/bmp_pixel.py" "$@" >/dev/null; }

shots=0
screenshot() {
  xdotool key Print
  for _ in $(seq 1 50); do
    [ "$(ls screenshot/*.bmp 2>/dev/null | wc -l)" -gt "$shots" ] && break
    sleep 0.1
  done
  shots=$(ls screenshot/*.bmp 2>/dev/null | wc -l)
  ls -t screenshot/*.bmp | head -n 1
}
# Takes screenshots until the pixel (X, Y) has the colour, for up to SECONDS; with "read", clicks
# the message window between them, as a reader turning the pages would.
wait_colour() {  # X Y RRGGBB SECONDS [read]
  local end=$(( $(date +%s) + $4 ))
  while [ "$(date +%s)" -lt "$end" ]; do
    is_colour "$(screenshot)" "$1" "$2" "$3" && return 0
    if [ "${5:-}" = read ]; then
      xdotool mousemove --window "$wid" 400 520 click 1; sleep 0.3
      xdotool mousemove --window "$wid" 400 520 click 1; sleep 0.3
    else
      sleep 0.7
    fi
  done
  return 1
}
# With TR2_SHOTS_DIR set (scripts/screenshots.sh), a screenshot is also kept there as NAME.png.
keep() {  # NAME SCREENSHOT
  [ -n "${TR2_SHOTS_DIR:-}" ] && /usr/bin/convert "$2" "$TR2_SHOTS_DIR/$1.png"
  return 0
}
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep "${3:-1}"; }

# The scrambled saves: XOR with the C runtime's generator from 7318, each value modulo 255.
decode() {
  python3 - "$1" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
state = 7318
for i in range(len(data)):
    state = (state * 214013 + 2531011) & 0xFFFFFFFF
    data[i] ^= ((state >> 16) & 0x7FFF) % 255
sys.stdout.buffer.write(bytes(data))
PY
}

read -r _ _ item_w item_h < <(layer_place inter.psd menuitem_i)
read -r item_px item_py item_colour < <(opaque_point inter.psd menuitem_i) || fail "menu item"
read -r win_x win_y _ _ < <(layer_place inter.psd window)
read -r win_px win_py window_colour < <(opaque_point inter.psd window) || fail "window"
window_x=$((win_x + win_px)); window_y=$((win_y + win_py))
item_x=$(( (800 - item_w) / 2 + item_px ))
pitch=$((item_h + 16))

echo "== title"
"$tr2" -window >tr2.out 2>tr2.err &
pid=$!
wid=$(wait_window) || fail "no window appeared"
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
title_y=$(( (600 - pitch * 3) / 2 + 128 ))
wait_colour "$item_x" $((title_y + item_py)) "$item_colour" 60 ||
  fail "no title menu at ($item_x, $((title_y + item_py)))"
keep title "$(ls -t screenshot/*.bmp | head -n 1)"
click 400 $((title_y + item_h / 2))   # はじめから

echo "== pages, Return, Space"
wait_colour "$window_x" "$window_y" "$window_colour" 60 || fail "no message window"
xdotool key Return; sleep 0.5
click 400 500
xdotool key space; sleep 1
! is_colour "$(screenshot)" "$window_x" "$window_y" "$window_colour" || fail "Space did not hide the interface"
xdotool key space; sleep 1
shot=$(screenshot)
is_colour "$shot" "$window_x" "$window_y" "$window_colour" || fail "Space did not show the interface again"
keep scene "$shot"

echo "== camera drag"
sleep 2  # the page's camera path has ended and holds
before=$(screenshot)
xdotool mousemove --window "$wid" 650 250 mousedown 1
for x in $(seq 630 -20 350); do xdotool mousemove --window "$wid" "$x" 250; sleep 0.1; done
xdotool mouseup 1; sleep 2
after=$(screenshot)
python3 - "$before" "$after" <<'PY' || fail "the camera drag changed nothing on screen"
import sys
a, b = (open(f, "rb").read() for f in sys.argv[1:3])
sys.exit(0 if sum(x != y for x, y in zip(a[54:], b[54:])) > 30000 else 1)
PY

echo "== a choice by mouse"
choice_y=$(( (600 - pitch * 3) / 2 ))
wait_colour "$item_x" $((choice_y + item_py)) "$item_colour" 120 read || fail "no clothes choice"
click 400 $((choice_y + item_h / 2))   # かわいいドレス

echo "== dress-up screen"
read -r close_x close_y _ _ < <(layer_place setup.psd menu1_a)
read -r close_px close_py close_colour < <(opaque_point setup.psd menu1_a) || fail "close button"
wait_colour $((close_x + close_px)) $((close_y + close_py)) "$close_colour" 180 read ||
  fail "no dress-up screen"
read -r save_x save_y _ _ < <(layer_place setup.psd menu2_a)
read -r load_x load_y _ _ < <(layer_place setup.psd menu3_a)
read -r file_x file_y file_w file_h < <(layer_place setup.psd filebutton)
read -r socks_x socks_y _ _ < <(layer_place setup.psd itembutton11)
read -r shoes_x shoes_y _ _ < <(layer_place setup.psd itembutton12)
click $((socks_x + 18)) $((socks_y + 18)) 2     # socks window
keep dress-up "$(screenshot)"
click 528 128 2                                  # its remove cell
click $((save_x + 70)) $((save_y + 20)) 2       # save window
click $((file_x + file_w / 2)) $((file_y + file_h / 2)) 2   # outfit 01
[ -f coordinate00.dat ] || fail "saving outfit 01 wrote no coordinate00.dat"
click $((shoes_x + 18)) $((shoes_y + 18)) 2     # shoes window
click 528 128 2                                  # shoes off
click $((load_x + 70)) $((load_y + 20)) 2       # load window
click $((file_x + file_w / 2)) $((file_y + file_h / 2)) 2   # outfit 01
click $((save_x + 70)) $((save_y + 20)) 2
click $((file_x + file_w / 2)) $((file_y + file_h / 2 + 40)) 2   # outfit 02
[ -f coordinate01.dat ] || fail "saving outfit 02 wrote no coordinate01.dat"
decode coordinate00.dat >outfit1.txt; decode coordinate01.dat >outfit2.txt
cmp -s outfit1.txt outfit2.txt || fail "loading outfit 01 did not restore it"
python3 - outfit1.txt <<'PY' || fail "outfit 01 is not the demo outfit without socks: $(tr '\0\n' '|/' <outfit1.txt | head -c 300)"
import sys
lines = open(sys.argv[1], "rb").read().split(b"\0")[0].split(b"\n")
want = {0: b"body01.tmb", 4: b"", 11: b"shoes01.tmb", 12: b"hair01.tmb"}
sys.exit(0 if all(lines[k] == v for k, v in want.items()) else 1)
PY
click $((close_x + 70)) $((close_y + 20)) 2     # とじる

echo "== back in the scene, Escape, the end"
wait_colour "$window_x" "$window_y" "$window_colour" 60 || fail "the scenario did not go on after the dress-up screen"
xdotool key Escape; sleep 2
for _ in 1 2 3 4 5; do click 400 500 1.5; kill -0 "$pid" 2>/dev/null || break; done
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "Escape did not lead to the end"; }
code=0; wait "$pid" || code=$?
[ "$code" = 0 ] || fail "the game ended with $code"
[ -f tr2state.dat ] || fail "no tr2state.dat"
decode tr2state.dat >state.bin
python3 - state.bin <<'PY' || fail "tr2state.dat does not hold the seen models"
import sys
d = open(sys.argv[1], "rb").read()
names = d[516:].split(b"\0")[0].split(b"\n")
sys.exit(0 if d[:4] == b"\0\0\0\0" and d[-1:] == b"\0" and b"body01" in names and b"hair01" in names else 1)
PY
echo "PASS"
