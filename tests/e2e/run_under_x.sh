#!/usr/bin/env bash
# Runs one end-to-end test script on a private Xvfb display with a small
# window manager. On failure the screen is kept as a picture in the output
# folder. Usage: run_under_x.sh OUTPUT_DIR TEST_SCRIPT [ARGS...]
set -uo pipefail
out=$1
shift
name=$(basename "$1" .sh)
mkdir -p "$out"

for tool in Xvfb xdotool openbox xwd; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done

exec 3>&1
displayfd=$(mktemp)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$displayfd" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$displayfd" ] && break
    sleep 0.05
done
export DISPLAY=":$(cat "$displayfd")"
rm -f "$displayfd"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 0.5

"$@"
status=$?

if [ "$status" -ne 0 ]; then
    xwd -root -silent >"$out/$name.xwd" 2>/dev/null
    if command -v xwdtopnm >/dev/null && command -v pnmtopng >/dev/null; then
        xwdtopnm "$out/$name.xwd" 2>/dev/null | pnmtopng >"$out/$name.png" 2>/dev/null && rm -f "$out/$name.xwd"
    fi
    echo "screen kept in $out" >&2
fi
kill "$wm" "$xvfb" 2>/dev/null
wait 2>/dev/null
exit "$status"
