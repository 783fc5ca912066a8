#!/usr/bin/env bash
# The real program on a real X server with a window manager, used as a
# person would: its window settings read back with xprop, a file dragged in
# from another toolkit, every shortcut as real key events, Save through the
# real dialog and Mail through the real xdg-email to a stand-in mail program.
# Usage: board_on_a_desktop.sh PROGRAM
set -uo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; [ -n "${source_pid:-}" ] && kill "$source_pid" 2>/dev/null' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
step() { echo "-- $*"; }

# A desktop of the test's own: a stand-in mail program for mailto addresses.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/data
export XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
unset XDG_CURRENT_DESKTOP DE MAILER BROWSER
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cat >"$work/mailer.sh" <<MAILER
#!/bin/sh
printf '%s' "\$1" > '$work/mailto.txt'
MAILER
chmod +x "$work/mailer.sh"
printf '[Desktop Entry]\nType=Application\nName=Mailer\nExec=%s %%u\nMimeType=x-scheme-handler/mailto;\n' \
    "$work/mailer.sh" >"$XDG_DATA_HOME/applications/mailer.desktop"
printf '[Default Applications]\nx-scheme-handler/mailto=mailer.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"

"$program" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name 'モザイカ' | head -n 1)
[ -n "$window" ] || fail "no board window appeared"
sleep 0.5

dump() { xwd -id "$window" -silent | xwdtopnm 2>/dev/null >"$work/board.ppm"; }
pixel() { "$here/pixels.py" "$work/board.ppm" "$@"; }
expect_pixel() { # x y r g b [tolerance]
    local got tol=${6:-8}
    got=$(pixel "$1" "$2")
    read -r r g b <<<"$got"
    for pair in "$r $3" "$g $4" "$b $5"; do
        read -r have want <<<"$pair"
        [ $((have > want ? have - want : want - have)) -le "$tol" ] ||
            fail "pixel $1,$2 is $got, not $3 $4 $5 ($7)"
    done
}
activate() { xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"; sleep 0.2; }
key() { activate; xdotool key --clearmodifiers "$1"; sleep 0.6; }

step "window settings"
props=$(xprop -id "$window")
grep -q '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_UTILITY' <<<"$props" || fail "not a utility window"
grep -q '_NET_WM_STATE(ATOM) = .*_NET_WM_STATE_ABOVE' <<<"$props" || fail "not above other windows"
grep -q 'program specified minimum size: 480 by 360' <<<"$props" || fail "minimum size"
grep -q 'program specified maximum size: 480 by 360' <<<"$props" || fail "maximum size: not fixed"
grep -q 'user specified location: 20, 20' <<<"$props" || fail "not placed at 20, 20"
grep -q 'WM_CLASS(STRING) = "mosaica"' <<<"$props" || fail "window class"
grep -q '_NET_WM_NAME(UTF8_STRING) = "モザイカ - (右クリックでポップアップメニュー)"' <<<"$props" || fail "caption"
xdotool getwindowgeometry "$window" | grep -q 'Geometry: 480x360' || fail "client area is not 480x360"

step "a file dragged in from another toolkit lands in the cell last hovered"
picture="$work/写真 テスト 1.bmp"
ppmmake rgb:ff/00/00 32 24 2>/dev/null | ppmtobmp 2>/dev/null >"$picture"
[ -s "$picture" ] || fail "could not make the test picture"
"$here/drag_source.py" "$picture" &
source_pid=$!
source=$(timeout 20 xdotool search --sync --onlyvisible --name '^drag-source$' | head -n 1)
[ -n "$source" ] || fail "no drag source window"
sleep 0.5
xdotool mousemove --window "$window" 240 70 # over cell 2's picture
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$source")"
sx=$((X + WIDTH / 2)) sy=$((Y + HEIGHT / 2))
eval "$(xdotool getwindowgeometry --shell "$window")"
tx=$((X + 400)) ty=$((Y + 300)) # over cell 9
xdotool mousemove "$sx" "$sy"
sleep 0.3
xdotool mousedown 1
for i in $(seq 1 20); do
    xdotool mousemove $((sx + (tx - sx) * i / 20)) $((sy + (ty - sy) * i / 20))
    sleep 0.05
done
sleep 0.5
xdotool mouseup 1
sleep 1
dump
expect_pixel 240 90 255 0 0 8 "cell 2 holds the dropped picture"
expect_pixel 400 300 255 255 255 0 "cell 9 stays empty"
kill "$source_pid" 2>/dev/null
source_pid=

step "right click opens the menu"
visible() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }
before=$(visible)
xdotool mousemove --window "$window" 100 300 click 3
sleep 0.6
[ "$(visible)" -gt "$before" ] || fail "right click opened no menu"
xdotool key Escape
sleep 0.3

step "badge shortcuts"
key shift+F2
dump
[ "$(pixel 4 4 22 21 darkest | awk '{print $1 + $2 + $3}')" -lt 150 ] || fail "Shift+F2: no black digits"
key ctrl+F1
dump
[ "$(pixel 4 4 22 21 darkest | awk '{print $1 + $2 + $3}')" -gt 400 ] || fail "Ctrl+F1: letters not white"
key ctrl+F2
dump
[ "$(pixel 4 4 22 21 darkest | awk '{print $1 + $2 + $3}')" -lt 150 ] || fail "Ctrl+F2: no black letters"
key Insert
dump
[ "$(pixel 4 4 22 21 darkest | awk '{print $1 + $2 + $3}')" -eq 765 ] || fail "Ins: badges still shown"
key shift+F1
dump
darkest=$(pixel 4 4 22 21 darkest | awk '{print $1 + $2 + $3}')
[ "$darkest" -gt 400 ] && [ "$darkest" -lt 765 ] || fail "Shift+F1: no white digits with shadow"

step "Save through the real dialog"
before=$(visible)
key ctrl+s
for _ in $(seq 50); do [ "$(visible)" -gt "$before" ] && break; sleep 0.1; done
[ "$(visible)" -gt "$before" ] || fail "Ctrl+S opened no dialog"
sleep 0.8
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 15 "$work/saved"
xdotool key Return
for _ in $(seq 50); do [ -s "$work/saved.jpg" ] && break; sleep 0.1; done
[ -s "$work/saved.jpg" ] || fail "Save wrote no $work/saved.jpg"
[ "$(head -c 2 "$work/saved.jpg" | od -An -tx1 | tr -d ' ')" = ffd8 ] || fail "the saved file is not a JPEG"

step "Mail through the real xdg-email"
key ctrl+m
for _ in $(seq 100); do [ -s "$work/mailto.txt" ] && break; sleep 0.1; done
[ -s "$work/mailto.txt" ] || fail "the mail program was not started"
mailto=$(cat "$work/mailto.txt")
grep -q '^mailto:?' <<<"$mailto" || fail "unexpected address: $mailto"
grep -q 'subject=%28%E6%B7%BB%E4%BB%98%E7%94%BB%E5%83%8F%E3%81%82%E3%82%8A%29' <<<"$mailto" ||
    fail "subject missing: $mailto"
attached=$(sed -n 's/.*attach=\([^&]*\).*/\1/p' <<<"$mailto" | sed 's/%2F/\//g; s/%2f/\//g; s/^file:\/\///')
[ -s "$attached" ] || fail "the attachment $attached is gone"
[[ "$(basename "$attached")" =~ ^[0-9]{12}\.jpg$ ]] || fail "attachment name $(basename "$attached")"

step "Del empties the board"
key Delete
dump
expect_pixel 240 90 255 255 185 0 "cell 2 empty again"

step "closing ends the program with status 0"
wmctrl -i -c "$window" 2>/dev/null || { activate; xdotool key alt+F4; }
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "closing the window did not end the program"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"
echo ok
