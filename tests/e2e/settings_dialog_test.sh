#!/usr/bin/env bash
# End-to-end: the settings dialog of a start without keywords, under Xvfb, driven by the keyboard
# (開始 with changed values, 開始 into the game, 中止, Escape, the close box, no display).
# usage: settings_dialog_test.sh TR2 CLOSE_WINDOW WORK_FOLDER FONT_ARCHIVE MAKE_TEST_ADDONS
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh"
if [ "${1:-}" != "--inner" ]; then
  unset TR2_NO_DIALOGS TR2_PRINT_SETTINGS
  # A 1024x768 screen lists one size, 1024x768; the default 800x600 is not in the list.
  under_xvfb 1024x768 "$@"
fi
shift
tr2=$(realpath "$1"); close_window=$(realpath "$2"); work=$3; font=$(realpath "$4")
make_addons=$(realpath "$5")
[ -f "$font" ] || { echo "FAIL: no font archive at $4 (build the content first)"; exit 1; }
rm -rf "$work"; mkdir -p "$work/add-ons"; cp "$font" "$work/add-ons/"
# The game that 開始 starts plays a scenario that only waits.
printf ':Wait;%%w600;%%JWait;' >"$work/script.txt"
"$make_addons" "$work" "$work/script.txt"
cd "$work"
own_runtime_dir

fail() { echo "FAIL: $*"; [ -f err.txt ] && cat err.txt; exit 1; }

find_window() {  # prints the id of the first visible window whose name matches the pattern
  local id=""
  for _ in $(seq 1 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}


open_dialog() {  # starts tr2 without keywords and focuses its dialog; sets $pid and $dialog
  # with "print", the program prints the settings it would start with instead of the game
  env ${1:+TR2_PRINT_SETTINGS=1} "$tr2" >out.txt 2>err.txt &
  pid=$!
  dialog=$(find_window "^Tavrel 2 - 設定$") || fail "no settings dialog appeared"
  xdotool windowfocus --sync "$dialog" 2>/dev/null || xdotool windowfocus "$dialog"
  sleep 0.5
}

no_game_window() {
  ! xdotool search --name "^ Tavrel 2 \[" >/dev/null 2>&1
}

echo "== 開始 with the values typed and moved in the dialog"
# The keyboard starts on 開始; Tab goes round column by column: size, window mode, the two
# names, the three volumes, the sound switch, 中止, 開始.
open_dialog print
xdotool key Tab Down                    # the size: the first item of the list
xdotool key Tab space                   # window mode on
xdotool key Tab ctrl+a; xdotool type --delay 50 "Taro"
xdotool key Tab ctrl+a; xdotool type --delay 50 "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
xdotool key Tab Home Right Right Right  # voice volume 3
xdotool key Tab Left Left Left Left Left  # effects volume 95 - 5
xdotool key Tab End                     # music volume 100
xdotool key Tab space                   # no sound on
xdotool key Return
wait_exit "$pid"
[ "$code" = 0 ] || fail "開始 ended the program with $code"
expected="width=1024
height=768
windowed=1
music=100
voice=3
effects=90
nosound=1
player=Ｔａｒｏ
heroine=ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ"
[ "$(cat out.txt)" = "$expected" ] || fail "the settings after 開始 are
$(cat out.txt)"

echo "== the list picked from, Japanese names typed, an emptied name gets its default"
open_dialog print
xdotool key Tab space; sleep 0.5  # opens the list
xdotool key Escape; sleep 0.5     # closes the list only
xdotool key space; sleep 0.5      # opens it again
xdotool key Return; sleep 0.5     # picks the selected row, the first
xdotool key Tab Tab ctrl+a BackSpace
xdotool key Tab ctrl+a; xdotool type --delay 50 "花子"
xdotool key Return
wait_exit "$pid"
[ "$code" = 0 ] || fail "開始 ended the program with $code"
grep -qx "player=おにいちゃん" out.txt || fail "emptied player name: $(cat out.txt)"
grep -qx "heroine=花子" out.txt || fail "typed heroine name: $(cat out.txt)"
grep -qx "windowed=0" out.txt || fail "untouched window mode: $(cat out.txt)"
grep -qx "width=1024" out.txt || fail "size picked from the list: $(cat out.txt)"

echo "== 開始 starts the game with the window mode chosen"
open_dialog
xdotool key Tab Tab space Return
game=$(find_window "^ Tavrel 2 \[") || fail "no game window after 開始"
geometry=$(xdotool getwindowgeometry "$game" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "800x600" ] || fail "game window is $geometry, not an 800x600 window"
no_dialog=$(xdotool search --onlyvisible --name "^Tavrel 2 - 設定$" 2>/dev/null || true)
[ -z "$no_dialog" ] || fail "the dialog is still on screen with the game"
kill -TERM "$pid"
wait_exit "$pid"
[ "$code" = 0 ] || fail "SIGTERM ended the game with $code"

echo "== 中止 ends the program with 0 and opens no window"
open_dialog
xdotool key shift+Tab Return
wait_exit "$pid"
[ "$code" = 0 ] || fail "中止 ended the program with $code"
no_game_window || fail "中止 left a game window"

for how in Escape "close box"; do
  echo "== $how cancels: exit 0, nothing stored"
  open_dialog print
  case $how in
    Escape) xdotool key Escape ;;
    "close box") "$close_window" "$dialog" ;;
  esac
  wait_exit "$pid"
  [ "$code" = 0 ] || fail "$how ended the program with $code"
  [ ! -s out.txt ] || fail "$how went on to start: $(cat out.txt)"
done

echo "== no display: the defaults, with a note"
code=0; env -u DISPLAY TR2_PRINT_SETTINGS=1 timeout 30 "$tr2" >out.txt 2>err.txt || code=$?
[ "$code" = 0 ] || fail "without a display the exit code was $code"
grep -q "no display for the settings dialog" err.txt || fail "no note on stderr"
grep -qx "width=800" out.txt && grep -qx "windowed=0" out.txt || fail "not the defaults: $(cat out.txt)"

echo "PASS"
