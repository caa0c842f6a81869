#!/bin/sh
# poster_checks.sh CLI DATA DIR: posters through vorticel-cli: strips forced or made by the
# memory give the bytes of one piece, 16-bit PNGs that an independent reader takes and that
# render again byte for byte, and the refusals of --memory, --strips and --depth.
checks=poster-checks
. "$(dirname "$0")/check_support.sh"
render() {
    "$cli" render "$data/lorenz-classic.vtc" --size 200x150 --iterations 200000 --updates 4 \
        --threads 2 --seed 3 "$@"
}

render -o one.png --renderer solide --strips 1 2>one.err || fail "render in one piece"
grep -qx "strips=1" one.err || fail "one piece printed $(grep strips= one.err)"
grep -q "^threads=2$" one.err || fail "threads= missing"
render -o five.png --renderer solide --strips 5 2>five.err || fail "render in 5 strips"
grep -qx "strips=5" five.err || fail "--strips 5 printed $(grep strips= five.err)"
cmp -s one.png five.png || fail "5 strips differ from one piece"
# Strips the memory asks for: the same bytes again.
"$cli" render "$data/lorenz-classic.vtc" -o big1.bmp --renderer liquide --size 4000x3000 \
    --iterations 200000 --threads 2 --seed 3 --strips 1 2>/dev/null || fail "4000x3000 at once"
"$cli" render "$data/lorenz-classic.vtc" -o bigm.bmp --renderer liquide --size 4000x3000 \
    --iterations 200000 --threads 2 --seed 3 --memory 100M 2>bigm.err || fail "in 100M"
strips=$(sed -n 's/^strips=//p' bigm.err)
[ "${strips:-0}" -gt 1 ] || fail "--memory 100M made $strips strips"
cmp -s big1.bmp bigm.bmp || fail "the strips of --memory 100M differ from one piece"

# 16 bits: a 48-bit PNG with depth=16 in its recipe, read by pngcheck, rendered again alike.
render -o deep.png --renderer lumiere --depth 16 --strips 3 2>/dev/null || fail "render 16 bits"
pngcheck -v deep.png >deep.check 2>&1 || fail "pngcheck refused deep.png: $(cat deep.check)"
grep -q "200 x 150 image, 48-bit RGB" deep.check || fail "not 48-bit RGB: $(cat deep.check)"
"$cli" show deep.png | grep -qx "depth=16" || fail "the recipe lacks depth=16"
"$cli" render deep.png -o deep-again.png 2>/dev/null || fail "render deep.png again"
cmp -s deep.png deep-again.png || fail "deep.png did not render again byte for byte"
"$cli" render deep.png -o shallow.png --depth 8 2>/dev/null || fail "render deep.png at 8 bits"
pngcheck -v shallow.png 2>&1 | grep -q "24-bit RGB" || fail "--depth 8 did not give 24 bits"

expect() { # CODE TEXT ARGS...: the exit code and a line of the message
    code=$1
    text=$2
    shift 2
    message=$("$@" 2>&1)
    [ $? -eq "$code" ] || fail "$* did not exit $code: $message"
    echo "$message" | grep -qF -- "$text" || fail "$*: $message"
}
for size in 12X 0.5G -1G 1G1 100 99999999999999T; do
    expect 2 "--memory takes a size from 64M to 1048576G, such as 512M or 4G; $size is" \
        render -o x.png --memory "$size"
done
expect 2 "--depth takes 8 or 16; 12 is neither" render -o x.png --depth 12
expect 2 "--depth 16 needs a PNG output" render -o x.bmp --depth 16
expect 2 "--strips takes a whole number from 1 to 65535" render -o x.png --strips 0
expect 2 "bad size 65535x65536: the image is too large" \
    "$cli" render "$data/lorenz-classic.vtc" -o x.png --size 65535x65536
expect 2 "too large for a BMP file" "$cli" render "$data/lorenz-classic.vtc" -o x.bmp \
    --size 40000x40000
[ ! -e x.png ] && [ ! -e x.bmp ] || fail "a refused render wrote a file"

[ $failures -eq 0 ] && echo "poster checks passed"
exit $failures
