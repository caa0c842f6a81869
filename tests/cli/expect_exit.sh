#!/bin/sh
# expect_exit.sh CODE COMMAND [ARGS...]: runs the command, shows its output, and
# succeeds only when it exits with CODE.
expected=$1
shift
"$@"
status=$?
if [ "$status" -ne "$expected" ]; then
    echo "exit code $status, expected $expected" >&2
    exit 1
fi
exit 0
