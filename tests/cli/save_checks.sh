#!/bin/sh
# save_checks.sh CLI DATA DIR: what a save through vorticel-cli does to the files around it:
# a link keeps pointing at its updated target, a read-only file is refused and kept, a disk
# that fills up midway (or a file size limit) leaves the old file whole, and no temporary file
# is ever left behind.
checks=save-checks
. "$(dirname "$0")/check_support.sh"

"$cli" points "$data/lorenz-classic.vtc" --iterations 10 -o target.csv 2>/dev/null || fail "first save"
good=$(cat target.csv)

ln -s target.csv link.csv
"$cli" points "$data/lorenz-classic.vtc" --iterations 20 -o link.csv 2>/dev/null || fail "save through a link"
[ -L link.csv ] || fail "the link was replaced by a file"
[ "$(wc -l < target.csv)" -eq 20 ] || fail "the link's target was not updated"
"$cli" points "$data/lorenz-classic.vtc" --iterations 10 -o target.csv 2>/dev/null

cp target.csv ro.csv
chmod 444 ro.csv
message=$("$cli" points "$data/lorenz-classic.vtc" --iterations 5 -o ro.csv 2>&1)
[ $? -eq 2 ] || fail "a read-only file was not refused"
echo "$message" | grep -q "cannot create file ro.csv: the file is read-only" || fail "message: $message"
[ "$(cat ro.csv)" = "$good" ] || fail "the read-only file changed"

# A file size limit fails the write as a full disk would (in 512- or 1024-byte blocks).
message=$( (trap '' XFSZ; ulimit -f 8; "$cli" points "$data/lorenz-classic.vtc" --iterations 100000 -o target.csv) 2>&1)
[ $? -eq 1 ] || fail "a failed write did not fail the command"
echo "$message" | grep -q "cannot write file target.csv: File too large" || fail "message: $message"
[ "$(cat target.csv)" = "$good" ] || fail "a failed write changed the old file"

# Without the shell's help: the program itself ignores SIGXFSZ, so the limit fails the write
# through the same road (exit 1, message, old file kept) instead of killing it midway.
printf 'old image' > old.png
message=$( (ulimit -f 4; "$cli" render "$data/lorenz-classic.vtc" -o old.png --size 256x192 --iterations 200000 --seed 1) 2>&1)
code=$?
[ $code -eq 1 ] || fail "a save over the file size limit ended with $code, not 1"
echo "$message" | grep -q "cannot write file old.png: File too large" || fail "message: $message"
[ "$(cat old.png)" = "old image" ] || fail "a save over the file size limit changed the old file"

leftovers=$(ls -A | grep '^\.vorticel-')
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"

[ $failures -eq 0 ] && echo "save checks passed"
exit $failures
