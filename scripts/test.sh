#!/usr/bin/env bash
# Installs what is missing, builds Vorticel and runs every test: once as a plain build with
# warnings as errors, once under AddressSanitizer and UndefinedBehaviorSanitizer; then a short
# libFuzzer run of each fuzz target (scripts/fuzz.sh runs them longer).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)

echo "== Build and test (warnings as errors)"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORTICEL_WARNINGS_AS_ERRORS=ON -DVORTICEL_BUILD_BENCH=ON
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

echo "== Build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
# The window logic runs here on the offscreen platform; the end-to-end run of the real
# program under Xvfb belongs to the plain build (the sanitized one is too slow for its timing),
# and a short random-input run of the real program to this one (scripts/monkey.sh runs long ones).
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORTICEL_SANITIZE=ON \
    -DVORTICEL_WARNINGS_AS_ERRORS=ON -DVORTICEL_END_TO_END=OFF -DVORTICEL_MONKEY=ON \
    -DVORTICEL_MONKEY_ACTIONS=500 -DVORTICEL_MONKEY_SEED=1
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== Fuzz the parameter-file and recipe readers, a loaded orbit, the PNG container and the command line (libFuzzer, 30 s each)"
bash scripts/fuzz.sh 30
