#!/bin/sh
# "Fichier > Animation..." on the real program, driven by keys on a virtual display under
# openbox: the Lorenz view added as a key, a 4-frame 360-degree turn at 160 x 120 typed in,
# Ctrl+Z and Ctrl+Y on the key list, the animation saved as a .vta (Ctrl+S), then "Rendre..."
# into a folder typed in the folder dialog. The four frames must be there, and the .vta must
# hold the key and the turn.
# Usage: animation_window.sh PROGRAM   (run under xvfb-run)
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

press "$(frame)" alt+f m
window=$(wait_window "Animation" 10) || fail "no window captioned 'Animation'"
press "$window" alt+a ctrl+z ctrl+y # added, taken back, added again
for field in "i 4" "o 360" "l 160" "h 120" "n 200000"; do
    set -- $field
    press "$window" "alt+$1" ctrl+a
    xdotool type --delay 20 "$2"
done
press "$window" Tab ctrl+s
save=$(wait_window "Enregistrer sous" 10) || fail "Ctrl+S opened no save dialog"
press "$save" ctrl+a
xdotool type --delay 20 "$work/film"
press "$save" Return
sleep 1
[ -s "$work/film.vta" ] || fail "no animation file written at $work/film.vta"
grep -q '^keys=1$' "$work/film.vta" || fail "the .vta does not hold one key"
grep -q '^turn=360$' "$work/film.vta" || fail "the .vta does not hold the turn: $(grep -v '^key' "$work/film.vta" | head)"

mkdir "$work/images"
press "$window" alt+r
folder=$(wait_window "Dossier des images" 10) || fail "'Rendre...' opened no folder dialog"
press "$folder" ctrl+a
xdotool type --delay 20 "$work/images"
press "$folder" Return
i=0
until [ -s "$work/images/frame-0004.png" ]; do
    [ "$i" -lt 600 ] || fail "no fourth frame after 60 s (log: $(cat "$work/log"))"
    sleep 0.1
    i=$((i + 1))
done
[ "$(ls "$work/images" | grep -c '^frame-000[1-4]\.png$')" -eq 4 ] || fail "not four frames: $(ls "$work/images")"
kill -0 "$pid" 2>/dev/null || fail "the program died"
echo "1 passed, 0 failed"
