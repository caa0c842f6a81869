#!/bin/sh
# lit_image.sh IMAGE.bmp COMMAND [ARGS...]: runs the command, which writes IMAGE.bmp, and
# succeeds only when it exits 0 and the image is not black (some pixel bytes are not zero).
image=$1
shift
rm -f "$image"
"$@" || exit 1
lit=$(tail -c +55 "$image" | tr -d '\000' | wc -c)
echo "lit=$lit"
[ "$lit" -gt 0 ] || { echo "the image is black" >&2; exit 1; }
