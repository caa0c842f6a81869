#!/bin/sh
# Starts the real program on a virtual display under a window manager and drives it with
# keys and clicks as a user would: Ctrl+N and Enter (a new Icon view), F3 (search), F4
# (render), File > Save image; one click in the palette's "Degré" box and typing, File >
# Save attractor, Ctrl+Z and save again; then Quitter with the view open, and in a second run Alt+F4 on a palette:
# both must end the program. A third run leaves unsaved work: Alt+F4 asks first, and
# Annuler keeps it. It checks the captions it can see and the files written.
# Usage: end_to_end.sh PROGRAM   (run under xvfb-run)
set -u
program=$1
work=$(mktemp -d)
pid=
trap 'kill "$pid" "$wm" 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/x11_driving.sh"




# Without a window manager no window takes the keyboard focus from a click.
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

# Waits up to $1 seconds for the program to end; fails unless it ended with code 0.
wait_exit() {
    i=0
    while kill -0 "$pid" 2>/dev/null; do
        [ "$i" -lt $(($1 * 10)) ] || fail "$2: the program is still running after $1 s"
        sleep 0.1
        i=$((i + 1))
    done
    wait "$pid"
    code=$?
    [ "$code" -eq 0 ] || fail "$2: the program ended with code $code"
}

"$program" >"$work/log" 2>&1 &
pid=$!
wait_window "Vorticel v 0.1" 20 >/dev/null || fail "no main window captioned 'Vorticel v 0.1'"

press "$(frame)" ctrl+n
dialog=$(wait_window "Nouveau" 10) || fail "Ctrl+N opened no dialog captioned 'Nouveau'"
press "$dialog" Return
sleep 1
xdotool search --onlyvisible --name "^Nouveau\$" >/dev/null 2>&1 && fail "the dialog stayed open after Enter"

press "$(frame)" F3
sleep 3
press "$(frame)" F4
sleep 10 # 20,000,000 iterations of an icon

# File menu item with mnemonic $1, then the path $2 typed into the save dialog.
save_as() {
    press "$(frame)" alt+f "$1"
    save=$(wait_window "Enregistrer sous" 10) || fail "no save dialog captioned 'Enregistrer sous'"
    press "$save" ctrl+a
    xdotool type --delay 20 "$2"
    press "$save" Return
    sleep 2
}

image="$work/rendu.bmp"
save_as e "$image"

[ -f "$image" ] || fail "no image written at $image (log: $(cat "$work/log"))"
magic=$(head -c 2 "$image")
[ "$magic" = "BM" ] || fail "the image does not start with BM"
size=$(wc -c <"$image")
[ "$size" -eq $((54 + 640 * 480 * 3)) ] || fail "image size $size, expected a 640x480 24-bit BMP"
# Offset 18: width, 22: height, 28: bits per pixel (little-endian).
fields=$(od -An -tu4 -j18 -N8 "$image" | tr -s ' ')
[ "$fields" = " 640 480" ] || fail "width and height are$fields"
bits=$(od -An -tu2 -j28 -N2 "$image" | tr -d ' ')
[ "$bits" = "24" ] || fail "$bits bits per pixel"
# A render of an attractor lights some pixels: not every byte after the header is zero.
lit=$(tail -c +55 "$image" | tr -d '\000' | wc -c)
[ "$lit" -gt 1000 ] || fail "the image is (nearly) black"
kill -0 "$pid" 2>/dev/null || fail "the program died"
xdotool search --name "^Vorticel v 0.1\$" >/dev/null || fail "the main window lost its caption"

# The degree the search found, to tell the typed one from it and to come back to.
found="$work/found.vtc"
save_as a "$found"
degree() { LC_ALL=C sed -n 's/^Degr.*=\([0-9]*\).*/\1/p' "$1"; }
[ -n "$(degree "$found")" ] || fail "no degree in the saved parameters: $(cat "$found")"
typed=7
[ "$(degree "$found")" != 7 ] || typed=8

# One click in the "Degré" box (the second row, under "Itérations") and the typed digit go
# in: no second click is needed.
palette=$(wait_window "attracteur" 5) || fail "no palette captioned 'attracteur'"
# Below the 25-pixel top panel, rows are the font's height + 6 (about 21 pixels with the
# default 9-point font), the first one 3 more for its separator: 34 pixels down is inside
# the second row for fonts from 7 to 11 points.
xdotool mousemove --window "$palette" 140 $((25 + 34)) click 1
sleep 0.5
xdotool key --delay 100 End BackSpace BackSpace BackSpace "$typed"
sleep 1
params="$work/degre.vtc"
save_as a "$params"
[ -f "$params" ] || fail "no parameter file written at $params"
[ "$(degree "$params")" = "$typed" ] || fail "the typed degree did not reach the file: $(cat "$params")"

# Ctrl+Z takes the typed degree back: the file saved now is the one from before.
press "$(frame)" ctrl+z
sleep 1
undone="$work/undone.vtc"
save_as a "$undone"
cmp -s "$found" "$undone" || fail "after Ctrl+Z the parameters are $(cat "$undone"), not $(cat "$found")"

# Quitter with a view open ends the program.
press "$(frame)" alt+f q
wait_exit 5 "Quitter"

# Alt+F4 on a palette ends it too.
"$program" >"$work/log2" 2>&1 &
pid=$!
wait_window "Vorticel v 0.1" 20 >/dev/null || fail "no main window in the second run"
press "$(frame)" ctrl+n
dialog=$(wait_window "Nouveau" 10) || fail "Ctrl+N opened no dialog in the second run"
press "$dialog" Return
palette=$(wait_window "vue" 10) || fail "no palette captioned 'vue'"
press "$palette" alt+F4
wait_exit 5 "Alt+F4 on a palette"

# With unsaved work (the parameters of a search) Alt+F4 on a palette asks first: Escape
# (Annuler) keeps the program and its view, which a second Alt+F4 shows by asking again;
# "Ne pas tenir compte" (the second button) then ends the program.
"$program" >"$work/log3" 2>&1 &
pid=$!
wait_window "Vorticel v 0.1" 20 >/dev/null || fail "no main window in the third run"
press "$(frame)" ctrl+n
dialog=$(wait_window "Nouveau" 10) || fail "Ctrl+N opened no dialog in the third run"
press "$dialog" Return
sleep 1
press "$(frame)" F3
sleep 3
palette=$(wait_window "vue" 10) || fail "no palette captioned 'vue' in the third run"
press "$palette" alt+F4
question=$(wait_window "Vorticel" 10) || fail "Alt+F4 with unsaved parameters asked nothing"
press "$question" Escape
sleep 1
kill -0 "$pid" 2>/dev/null || fail "Annuler ended the program"
press "$palette" alt+F4
question=$(wait_window "Vorticel" 10) || fail "the second Alt+F4 asked nothing: the view was lost"
press "$question" Tab space
wait_exit 5 "Ne pas tenir compte"
echo "1 passed, 0 failed"
