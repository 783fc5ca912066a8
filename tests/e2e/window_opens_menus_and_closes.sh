#!/usr/bin/env bash
# The real program on a real X server: the board window appears with its
# size, a right click opens the menu, and closing the window ends the
# program with exit status 0. Usage: window_opens_menus_and_closes.sh PROGRAM
set -uo pipefail
program=$1

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$program" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name 'モザイカ' | head -n 1)
[ -n "$window" ] || fail "no board window appeared"

geometry=$(xdotool getwindowgeometry "$window")
grep -q 'Geometry: 480x360' <<<"$geometry" || fail "window is not 480x360: $geometry"

visible() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }
before=$(visible)
xdotool mousemove --window "$window" 240 180 click 3
opened=0
for _ in $(seq 40); do
    [ "$(visible)" -gt "$before" ] && { opened=1; break; }
    sleep 0.1
done
[ "$opened" -eq 1 ] || fail "right click opened no menu"
xdotool key Escape
sleep 0.3

wmctrl -i -c "$window" 2>/dev/null || xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    fail "closing the window did not end the program"
fi
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
echo "ok"
