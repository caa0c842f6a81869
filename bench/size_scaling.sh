#!/bin/bash
# Nanoseconds per point of `vorticel-cli render` as the image grows, for every renderer, one
# and two threads, one binary against another (before and after a change), Lorenz, one refresh.
# Each pair of runs alternates the two binaries, so a drift of the machine's speed touches both
# alike; the figure is the median over the runs. Quote the load (uptime) with the figures.
#
#   bench/size_scaling.sh BEFORE_CLI AFTER_CLI [POINTS] [RUNS] [SIZES] [RENDERERS] [THREADS]
#   e.g. bench/size_scaling.sh old/vorticel-cli build/vorticel-cli 40000000 3 "640x480 6400x4800" "gaz solide" 1
set -euo pipefail
before=$1
after=$2
points=${3:-20000000}
runs=${4:-3}
sizes=${5:-"640x480 1600x1200 3200x2400 6400x4800"}
renderers=${6:-"gaz liquide lumiere plasma solide"}
threads=${7:-"1 2"}
here=$(cd "$(dirname "$0")/.." && pwd)
vtc="$here/examples/lorenz-papillon.vtc"
# The images go to memory when it can: a 92 MB file written to disk would be timed as well.
out=$(mktemp -d -p "$( [ -d /dev/shm ] && [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$out"' EXIT

# ns per point of one run: 1e9 / the rate it prints.
ns_per_point() {
    "$1" render "$vtc" -o "$out/image.bmp" --renderer "$2" --size "$3" --threads "$4" \
        --iterations "$points" --updates 1 --seed 1 2>&1 |
        awk -F= '/^rate=/ { printf "%.1f\n", 1e9 / $2 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

echo "# $points points, $runs alternating runs each, median ns per point; $(uptime)"
echo "| renderer | threads | size | before | after | after/before |"
echo "|---|---|---|---|---|---|"
for r in $renderers; do
    for t in $threads; do
        for s in $sizes; do
            : >"$out/b"
            : >"$out/a"
            for _ in $(seq "$runs"); do
                ns_per_point "$before" "$r" "$s" "$t" >>"$out/b"
                ns_per_point "$after" "$r" "$s" "$t" >>"$out/a"
            done
            b=$(median <"$out/b")
            a=$(median <"$out/a")
            echo "| $r | $t | $s | $b | $a | $(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", a / b }') |"
        done
    done
done
