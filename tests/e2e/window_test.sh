#!/usr/bin/env bash
# End-to-end: the real program under Xvfb (window size and title, frames, Print Screen,
# single instance, exit codes on SIGTERM, window close, device failure and a missing font).
# usage: window_test.sh TR2 CLOSE_WINDOW WORK_FOLDER FONT_ARCHIVE MAKE_TEST_ADDONS
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh"
if [ "${1:-}" != "--inner" ]; then
  export TR2_NO_DIALOGS=1
  under_xvfb 1280x1024 "$@"
fi
shift
tr2=$(realpath "$1"); close_window=$(realpath "$2"); work=$3; font=$(realpath "$4")
make_addons=$(realpath "$5")
[ -f "$font" ] || { echo "FAIL: no font archive at $4 (build the content first)"; exit 1; }
rm -rf "$work"; mkdir -p "$work/add-ons"; cp "$font" "$work/add-ons/"
# A scenario that only waits, so that the window stays up while it is examined.
printf ':Wait;%%w600;%%JWait;' >"$work/script.txt"
"$make_addons" "$work" "$work/script.txt"
cd "$work"
own_runtime_dir

fail() { echo "FAIL: $*"; exit 1; }

echo "== 800x600 window, title, Print Screen, second instance, SIGTERM"
"$tr2" -window >tr2.out 2>tr2.err &
pid=$!
wid=$(wait_window) || fail "no window appeared"
geometry=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "800x600" ] || fail "client area is $geometry, not 800x600"
name=$(xdotool getwindowname "$wid")
[[ "$name" =~ ^\ Tavrel\ 2\ \[[A-Z][a-z][a-z]\ [\ 0-9][0-9]\ [0-9]{4}\]$ ]] || fail "title is '$name'"

start=$(date +%s)
code=0; timeout 20 "$tr2" -window 2>/dev/null || code=$?
[ "$code" = 0 ] || fail "second instance exited with $code"
[ $(( $(date +%s) - start )) -lt 10 ] || fail "second instance did not end at once"

xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
sleep 0.5
xdotool key Print
for _ in $(seq 1 150); do
  ls screenshot/*.bmp >/dev/null 2>&1 && break
  sleep 0.2
done
shot=$(ls screenshot/*.bmp 2>/dev/null | head -n 1) || true
[ -n "$shot" ] || fail "Print Screen wrote no screenshot"
[[ "$(basename "$shot")" =~ ^[\ 0-9A-F]{8}_0000\.bmp$ ]] || fail "screenshot name '$shot'"
size=$(stat -c %s "$shot")
[ "$size" = $((54 + 800 * 3 * 600)) ] || fail "screenshot has $size bytes"
[ "$(head -c 2 "$shot")" = "BM" ] || fail "screenshot is not a BMP"

kill -TERM "$pid"
wait_exit "$pid"
[ "$code" = 0 ] || fail "SIGTERM ended the program with $code"

echo "== -1024x768 window closed by its close box"
"$tr2" -1024x768 >tr2.out 2>tr2.err &
pid=$!
wid=$(wait_window) || fail "no window appeared"
geometry=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "1024x768" ] || fail "client area is $geometry, not 1024x768"
sleep 1
"$close_window" "$wid"
wait_exit "$pid"
[ "$code" = 0 ] || fail "closing the window ended the program with $code"

echo "== a timed start: the stages up to the first game frame, then the program ends by itself"
code=0; TR2_STARTUP_REPORT=1 timeout 60 "$tr2" -window >startup.out 2>startup.err || code=$?
[ "$code" = 0 ] || fail "the timed start ended with $code: $(cat startup.err)"
grep -Eq '^startup: catalogue [0-9.]+ ms, options [0-9.]+ ms, window [0-9.]+ ms, device [0-9.]+ ms, font [0-9.]+ ms, game [0-9.]+ ms, first frame [0-9.]+ ms, total [0-9.]+ ms$' startup.out ||
  fail "no start-up report: $(cat startup.out)"

echo "== no OpenGL 3.3: the device failure message and exit code 0"
code=0; MESA_GL_VERSION_OVERRIDE=3.0 timeout 30 "$tr2" -window 2>gl.err || code=$?
[ "$code" = 0 ] || fail "without OpenGL 3.3 the exit code was $code"
grep -q "DirectX8" gl.err || fail "no device failure message: $(cat gl.err)"

echo "== no display: the device failure message and exit code 0"
code=0; env -u DISPLAY timeout 30 "$tr2" -window 2>nodisplay.err || code=$?
[ "$code" = 0 ] || fail "without a display the exit code was $code"
grep -q "DirectX8" nodisplay.err || fail "no device failure message: $(cat nodisplay.err)"

echo "== no archive: the missing-file message for font.bin and exit code 255"
mkdir -p empty/add-ons
code=0; (cd empty && timeout 30 "$tr2" -window 2>../nofont.err) || code=$?
[ "$code" = 255 ] || fail "without font.bin the exit code was $code"
grep -q "ファイル font.bin が見つかりません。" nofont.err || fail "no missing-file message: $(cat nofont.err)"

echo "PASS"
