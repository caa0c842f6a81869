#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a fixed time.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default: 30 s, every target)
# Targets: parameter_file, orbit, recipe, png, command_line. New inputs go to
# build-fuzz/corpus/TARGET (the seeds in fuzz/corpus stay as they are); a crashing input is kept
# in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(parameter_file orbit recipe png command_line)
fi

# Only the core and the fuzz targets are built under clang, not the whole project.
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORTICEL_FUZZ=ON -DVORTICEL_BUILD_GUI=OFF -DVORTICEL_BUILD_TESTS=OFF \
    -DVORTICEL_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/vorticel_fuzz_}"

mkdir -p build-fuzz/artifacts
for target in "${targets[@]}"; do
    echo "== Fuzzing $target for $seconds s"
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus"
    log=build-fuzz/$target.log
    dict=fuzz/$target.dict
    [ -f "$dict" ] || dict=fuzz/parameter_file.dict
    # Lines up to the reader's bound and a little past it; leaks count as failures. The PNG
    # reader's memory must stay in proportion to the recipe: past 512 MB is a finding.
    # (ASan's quarantine of freed blocks is kept small there, so the limit measures the reader.)
    # The command line holds a few short words: any memory growth there is a finding too.
    rss=2048
    asan=detect_leaks=1
    if [ "$target" = png ]; then
        rss=512
        asan=$asan:quarantine_size_mb=32
    elif [ "$target" = command_line ]; then
        rss=512
    fi
    if ! ASAN_OPTIONS=$asan UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "build-fuzz/fuzz/vorticel_fuzz_$target" "$corpus" "fuzz/corpus/$target" \
        -dict="$dict" -max_len=4096 -timeout=10 -rss_limit_mb="$rss" \
        -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="build-fuzz/artifacts/$target-" >"$log" 2>&1; then
        tail -n 80 "$log"
        echo "fuzzing $target failed; the input is in build-fuzz/artifacts/, the log in $log" >&2
        exit 1
    fi
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^Done|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log"
done
