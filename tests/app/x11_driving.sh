# Shell functions shared by the scripts that drive the real program on a virtual display:
# sourced, not run.
fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits up to $2 seconds for a top-level window named exactly $1; prints its id.
wait_window() {
    i=0
    while [ "$i" -lt $(($2 * 10)) ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
        i=$((i + 1))
    done
    return 1
}

# The main window's X window is made anew once it holds an OpenGL view: look it up each time.
frame() { wait_window "Vorticel v 0.1" 10 || fail "no main window captioned 'Vorticel v 0.1'"; }

press() { # focus window $1, then press the keys that follow
    window=$1
    shift
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    sleep 0.3
    xdotool key --delay 100 "$@"
}
