#!/bin/sh
# "Fichier > Rendre une affiche..." on the real program, driven by keys on a virtual display
# under openbox: a Lorenz view, a 1200-pixel-wide poster typed in the dialog, "Rendre...", the
# file typed in the save dialog. The PNG must be 1200 x 900 (the view's proportions).
# Usage: poster_window.sh PROGRAM   (run under xvfb-run)
set -u
program=$1
examples=$(dirname "$0")/../../examples
work=$(mktemp -d)
pid=
wm=
trap 'kill "$pid" "$wm" 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/x11_driving.sh"

openbox >/dev/null 2>&1 &
wm=$!
sleep 1
cp "$examples/lorenz-papillon.vtc" "$work/papillon.vtc"
HOME=$work "$program" "$work/papillon.vtc" >"$work/log" 2>&1 &
pid=$!
wait_window "Vorticel v 0.1" 30 >/dev/null || fail "no main window captioned 'Vorticel v 0.1'"
wait_window "attracteur" 20 >/dev/null || fail "no view: the palettes are not shown"
sleep 1

press "$(frame)" alt+f d
dialog=$(wait_window "Rendre une affiche" 10) || fail "no dialog captioned 'Rendre une affiche'"
press "$dialog" alt+l ctrl+a
xdotool type --delay 20 1200
press "$dialog" alt+i ctrl+a
xdotool type --delay 20 300000
press "$dialog" alt+r
save=$(wait_window "Enregistrer sous" 10) || fail "'Rendre...' opened no save dialog"
press "$save" ctrl+a
xdotool type --delay 20 "$work/affiche.png"
press "$save" Return

i=0
until [ -s "$work/affiche.png" ]; do
    [ "$i" -lt 600 ] || fail "no poster written after 60 s (log: $(cat "$work/log"))"
    sleep 0.1
    i=$((i + 1))
done
sleep 1
[ "$(head -c 4 "$work/affiche.png" | tail -c 3)" = "PNG" ] || fail "the poster is not a PNG"
# IHDR: width and height, big-endian, at offsets 16 and 20.
dims=$(od -An -tu1 -j16 -N8 "$work/affiche.png" | tr -s ' ')
[ "$dims" = " 0 0 4 176 0 0 3 132" ] || fail "the poster is not 1200 x 900 (IHDR bytes$dims)"
# The dialog closes with Escape once the poster is written; the program goes on.
press "$dialog" Escape
sleep 1
xdotool search --onlyvisible --name "^Rendre une affiche\$" >/dev/null 2>&1 &&
    fail "the dialog stayed open after Escape"
kill -0 "$pid" 2>/dev/null || fail "the program died"
echo "1 passed, 0 failed"
