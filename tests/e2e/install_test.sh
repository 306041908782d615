#!/usr/bin/env bash
# End-to-end: `cmake --install` into a folder with a blank in its name, then the menu entry's
# launcher starts the game in the player's data folder with the installed add-ons linked there.
# usage: install_test.sh BUILD_DIR WORK_FOLDER
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh"
if [ "${1:-}" != "--inner" ]; then
  unset TR2_NO_DIALOGS TR2_PRINT_SETTINGS
  under_xvfb 1024x768 "$@"
fi
shift
build=$(realpath "$1"); work=$2
rm -rf "$work"; mkdir -p "$work"; work=$(realpath "$work"); cd "$work"
own_runtime_dir
prefix="$work/installed tr2"
export XDG_DATA_HOME="$work/data home"
data="$XDG_DATA_HOME/tr2"

fail() { echo "FAIL: $*"; exit 1; }

echo "== install"
cmake --install "$build" --prefix "$prefix" >install.log 2>&1 || { cat install.log; fail "cmake --install failed"; }
entry="$prefix/share/applications/tr2.desktop"
[ -f "$entry" ] || fail "no menu entry"
grep -qx 'Exec="'"$prefix"'/bin/tr2-launch"' "$entry" || fail "Exec line: $(grep Exec "$entry")"
grep -qx "Icon=tr2" "$entry" || fail "no icon name in the menu entry"
for size in 32 256; do
  [ "$(head -c 4 "$prefix/share/icons/hicolor/${size}x${size}/apps/tr2.png" | tail -c 3)" = "PNG" ] ||
    fail "no ${size}x${size} icon"
done
[ -f "$prefix/share/tr2/add-ons/font.tr2" ] || fail "the font add-on is not installed"

echo "== the launcher links the installed add-ons and starts the game in the data folder"
mkdir -p "$data/add-ons"
ln -s "$prefix/share/tr2/add-ons/gone.tr2" "$data/add-ons/gone.tr2"
ln -s /nowhere/else.tr2 "$data/add-ons/else.tr2"

"$prefix/bin/tr2-launch" -window 2>launch.err &
pid=$!
for _ in $(seq 1 150); do
  xdotool search --name "^ Tavrel 2 \[" >/dev/null 2>&1 && break
  sleep 0.2
done
xdotool search --name "^ Tavrel 2 \[" >/dev/null 2>&1 || fail "no game window: $(cat launch.err)"
[ "$(readlink "/proc/$pid/cwd")" = "$data" ] || fail "the game runs in $(readlink "/proc/$pid/cwd")"
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the game ended: $(cat launch.err)"
kill -TERM "$pid"
code=0; wait "$pid" || code=$?
[ "$code" = 0 ] || fail "SIGTERM ended the game with $code"

[ "$(readlink "$data/add-ons/font.tr2")" = "$prefix/share/tr2/add-ons/font.tr2" ] ||
  fail "font.tr2 is not linked to the installed add-on"
[ ! -L "$data/add-ons/gone.tr2" ] || fail "the link to an add-on no longer installed stayed"
[ -L "$data/add-ons/else.tr2" ] || fail "the player's own link went"

echo "== a player's own file of an installed add-on's name stays"
rm "$data/add-ons/font.tr2"
cp "$prefix/share/tr2/add-ons/font.tr2" "$data/add-ons/font.tr2"
TR2_PRINT_SETTINGS=1 "$prefix/bin/tr2-launch" -window >settings.txt 2>launch.err || fail "launcher: $(cat launch.err)"
grep -qx "windowed=1" settings.txt || fail "the options did not reach the game: $(cat settings.txt)"
[ -f "$data/add-ons/font.tr2" ] && [ ! -L "$data/add-ons/font.tr2" ] || fail "the player's font.tr2 was replaced"

echo "PASS"
