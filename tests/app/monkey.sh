#!/bin/sh
# A random-input ("monkey") run of the real program under a window manager: random keys from
# its shortcuts and dialogs, random clicks and drags anywhere on the screen, for a fixed count
# of actions drawn from a fixed seed (the same seed draws the same actions). It fails on a
# crash, a sanitizer report, or a program that no longer answers: at the end a new view must
# still be made with Ctrl+N and Enter.
# Usage: monkey.sh PROGRAM SEED ACTIONS   (run under xvfb-run -s "-screen 0 1280x1024x24")
set -u
program=$1
seed=$2
actions=$3
work=$(mktemp -d)
pid=
wm=
trap 'kill "$pid" "$wm" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
    echo "FAIL (seed $seed): $*" >&2
    for f in "$work"/asan.*; do [ -f "$f" ] && cat "$f" >&2; done
    exit 1
}

openbox >/dev/null 2>&1 &
wm=$!
sleep 1

# Files the program saves land in a folder of the run's own, settings too.
export HOME="$work/home"
mkdir -p "$HOME"
cd "$work" || exit 1
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:log_path=$work/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$work/asan"

start() {
    "$program" >>"$work/log" 2>&1 &
    pid=$!
    sleep 3
}

# A quit (Quitter, Alt+F4 on a palette) is allowed; it must end with code 0.
check_alive() {
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid"
        code=$?
        [ "$code" -eq 0 ] || fail "the program ended with code $code after action $1 (log: $(tail -5 "$work/log"))"
        start
    fi
}

start
# The actions, drawn once from the seed: "k KEY", "c X Y" (click) or "d X Y X2 Y2" (drag).
awk -v seed="$seed" -v n="$actions" 'BEGIN {
    srand(seed)
    split("ctrl+n Return Return Escape Escape F3 F3 F4 F5 F5 F6 shift+F6 ctrl+z ctrl+y " \
          "ctrl+shift+z alt+f alt+e alt+a alt+v Tab Down Up Left Right 1 5 minus comma period " \
          "BackSpace Delete Home End space ctrl+o alt+F4", keys, " ")
    nk = length(keys)
    for (i = 1; i <= n; i++) {
        r = rand()
        if (r < 0.55) {
            printf "k %s\n", keys[int(rand() * nk) + 1]
        } else if (r < 0.85) {
            printf "c %d %d\n", int(rand() * 1280), int(rand() * 1024)
        } else {
            printf "d %d %d %d %d\n", int(rand() * 1280), int(rand() * 1024),
                   int(rand() * 1280), int(rand() * 1024)
        }
    }
}' >"$work/actions"

i=0
while read -r kind a b c d; do
    i=$((i + 1))
    case "$kind" in
    k) xdotool key "$a" ;;
    c) xdotool mousemove "$a" "$b" click 1 ;;
    d) xdotool mousemove "$a" "$b" mousedown 1 mousemove "$c" "$d" mouseup 1 ;;
    esac
    sleep 0.1
    check_alive "$i ($kind $a $b $c $d)"
    for f in "$work"/asan.*; do [ -f "$f" ] && fail "sanitizer report after action $i"; done
done <"$work/actions"

# Still answering: close what is open, then a new view.
for k in Escape Escape Escape; do xdotool key "$k"; sleep 0.3; done
check_alive end
frame=$(xdotool search --onlyvisible --name '^Vorticel v 0.1$' | head -n 1)
[ -n "$frame" ] || fail "no main window at the end"
xdotool windowactivate --sync "$frame" 2>/dev/null || xdotool windowfocus "$frame"
sleep 0.5
xdotool key F5 ctrl+n # a render still running is stopped first
found=
for t in $(seq 1 100); do
    if xdotool search --onlyvisible --name '^Nouveau$' >/dev/null 2>&1; then
        found=1
        break
    fi
    sleep 0.2
done
[ -n "$found" ] || fail "Ctrl+N opened no dialog at the end: the program no longer answers"
xdotool key Return
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the program died making the last view"
for f in "$work"/asan.*; do [ -f "$f" ] && fail "sanitizer report"; done
echo "monkey: seed $seed, $actions actions, no crash"
echo "1 passed, 0 failed"
