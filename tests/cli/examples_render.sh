#!/bin/sh
# examples_render.sh CLI EXAMPLES_FOLDER OUTPUT_FOLDER: every shipped example renders
# 2,000,000 points without its orbit diverging (the CLI then fails), as the window renders it.
set -u
cli=$1
folder=$2
out=$3
failed=0
count=0
for example in "$folder"/*.vtc; do
    count=$((count + 1))
    if ! "$cli" render "$example" -o "$out/example.bmp" --size 32x24 --iterations 2000000 \
        --seed 1 >"$out/example.log" 2>&1; then
        echo "FAIL: $example: $(tail -n 1 "$out/example.log")"
        failed=1
    fi
done
[ "$count" -gt 0 ] || { echo "FAIL: no example in $folder"; exit 1; }
[ "$failed" -eq 0 ] && echo "$count examples rendered whole"
exit "$failed"
