#!/bin/sh
# The real program started with three files on a virtual display under openbox (a parameter
# file, a PNG image, a file that cannot be read): the frame opens maximised with the palettes
# at its right edge, and the palettes are tool windows of
# the frame: above it, below the message boxes and the save dialog the program opens (the
# window manager's stacking order, _NET_CLIENT_LIST_STACKING, bottom first).
# Usage: window_stacking.sh PROGRAM CLI   (run under xvfb-run, a 1024x768 screen)
set -u
program=$1
cli=$2
examples=$(dirname "$0")/../../examples
work=$(mktemp -d)
pid=
wm=
trap 'kill "$pid" "$wm" 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/x11_driving.sh"

# The place of window $1 in the stacking order (0 at the bottom).
level() {
    xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //' | tr ',' '\n' | tr -d ' ' |
        while read -r w; do printf '%d\n' "$w"; done | grep -nx "$1" | cut -d: -f1
}
# Fails unless window $1 (named $2) stands above both palettes, and they above the frame.
check_above_palettes() {
    top=$(level "$1")
    [ -n "$top" ] || fail "$2 is not in the stacking list"
    for p in "$attractor" "$render"; do
        [ "$(level "$p")" -lt "$top" ] || fail "a palette stands above $2: $(xprop -root _NET_CLIENT_LIST_STACKING)"
        [ "$(level "$p")" -gt "$(level "$(frame)")" ] || fail "a palette stands below the frame"
    done
}
geometry() { # x y width height of window $1
    xdotool getwindowgeometry --shell "$1" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=//p' | tr '\n' ' '
}

openbox >/dev/null 2>&1 &
wm=$!
sleep 1

cp "$examples/lorenz-papillon.vtc" "$work/a.vtc"
"$cli" render "$examples/icone-6-branches.vtc" -o "$work/b.png" --size 320x240 \
    --iterations 100000 >/dev/null 2>&1 || fail "the CLI made no PNG"

# A third file that cannot be read: its message comes once the two views stand.
{ echo "[Lorenz]"; printf 'A=%02000d\n' 1; } >"$work/c.vtc"

"$program" "$work/a.vtc" "$work/b.png" "$work/c.vtc" >"$work/log" 2>&1 &
pid=$!
wait_window "Vorticel v 0.1" 30 >/dev/null || fail "no main window captioned 'Vorticel v 0.1'"
attractor=$(wait_window "attracteur" 20) || fail "no palette captioned 'attracteur'"
render=$(wait_window "vue" 10) || fail "no palette captioned 'vue'"

# The program's message box stands above the palettes.
box=$(wait_window "Vorticel" 20) || fail "no message box for the file that cannot be read"
check_above_palettes "$box" "the message box"
press "$box" Return
sleep 2

# Maximised as a plain start is, the palettes at its right edge.
xprop -id "$(frame)" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ ||
    fail "the frame is not maximised: $(xprop -id "$(frame)" _NET_WM_STATE)"
set -- $(geometry "$(frame)")
[ "$3" -ge 1000 ] || fail "the frame is $3 pixels wide"
for p in "$attractor" "$render"; do
    set -- $(geometry "$p")
    right=$(($1 + $3))
    [ "$right" -ge 1000 ] && [ "$right" -le 1024 ] || fail "a palette ends at x=$right, not at the frame's right edge"
done

# The save dialog stands above the palettes.
press "$(frame)" alt+f a
save=$(wait_window "Enregistrer sous" 10) || fail "no save dialog captioned 'Enregistrer sous'"
check_above_palettes "$save" "the save dialog"
press "$save" Escape

kill "$pid" 2>/dev/null
echo "1 passed, 0 failed"
