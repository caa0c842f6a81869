#!/bin/sh
# png_checks.sh CLI DATA DIR: images with their recipe through vorticel-cli: a render written as
# PNG by its extension, its recipe shown, the same bytes rendered again from it, the same
# recipe at twice the size, and what is refused.
checks=png-checks
. "$(dirname "$0")/check_support.sh"

"$cli" render "$data/lorenz-classic.vtc" -o a.png --renderer lumiere --size 64x48 \
    --iterations 50000 --updates 4 --seed 5 2>/dev/null || fail "render to PNG"
[ "$(head -c 4 a.png | tail -c 3)" = "PNG" ] || fail "a.png is no PNG"
"$cli" show a.png > a.txt || fail "show a.png"
[ "$(head -n 1 a.txt)" = "vorticel-recipe=1" ] || fail "first line: $(head -n 1 a.txt)"
for line in "program=Vorticel 0.1" "family=2" "family.class=Lorenz_2L" "parameter.A=10.000000" \
    "exact.A=10" "parameter.C=2.667000" "exact.C=2.667" "renderer=2" "width=64" "height=48" \
    "iterations=50000" "updates=4" "seed=5"; do
    grep -qx "$line" a.txt || fail "the recipe lacks $line"
done

# The recipe alone gives the same image, byte for byte (its own recipe included).
"$cli" render a.png -o again.png 2>/dev/null || fail "render a.png again"
cmp -s a.png again.png || fail "the recipe did not give the same image"
"$cli" render a.png -o AGAIN.PNG 2>/dev/null || fail "render to AGAIN.PNG"
cmp -s a.png AGAIN.PNG || fail "an upper-case extension did not write the PNG"

# The recipe keeps its workers: one more than this machine's hardware threads re-render the
# same bytes here, where every core would give another count.
workers=$(($(getconf _NPROCESSORS_ONLN) + 1))
"$cli" render "$data/lorenz-classic.vtc" -o w.png --size 96x64 --iterations $((workers * 100000)) \
    --threads $workers --seed 9 2>/dev/null || fail "render with $workers workers"
"$cli" show w.png | grep -qx "workers=$workers" || fail "the recipe does not keep workers=$workers"
"$cli" render w.png -o w-again.png 2>w.err || fail "render w.png again"
grep -qx "threads=$workers" w.err || fail "w.png was rendered again with $(grep threads= w.err)"
cmp -s w.png w-again.png || fail "$workers workers did not give the same image again"

# Twice the size: the same recipe but for the size.
"$cli" render a.png -o big.png --size 128x96 2>/dev/null || fail "render a.png at 128x96"
"$cli" show big.png > big.txt || fail "show big.png"
grep -qx "width=128" big.txt && grep -qx "height=96" big.txt || fail "big.png is not 128x96"
grep -v '^width=\|^height=' a.txt > a.rest
grep -v '^width=\|^height=' big.txt > big.rest
cmp -s a.rest big.rest || fail "the recipe changed beyond the size: $(diff a.rest big.rest)"

# Any other extension still writes the BMP it always did.
"$cli" render a.png -o a.bmp 2>/dev/null || fail "render a.png to BMP"
[ "$(head -c 2 a.bmp)" = "BM" ] && [ "$(wc -c < a.bmp)" -eq $((54 + 64 * 48 * 3)) ] ||
    fail "a.bmp is not the 24-bit BMP"

message=$("$cli" render a.png -o x.png --renderer gaz 2>&1)
[ $? -eq 2 ] || fail "--renderer with an image was not refused"
echo "$message" | grep -q "its recipe names the renderer" || fail "message: $message"
message=$("$cli" render "$data/no-recipe.png" -o x.png 2>&1)
[ $? -eq 2 ] || fail "an image without recipe was not refused"
echo "$message" | grep -q "holds no Vorticel recipe" || fail "message: $message"
[ ! -e x.png ] || fail "a refused render wrote x.png"

leftovers=$(ls -A | grep '^\.vorticel-')
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"

[ $failures -eq 0 ] && echo "png checks passed"
exit $failures
