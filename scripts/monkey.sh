#!/usr/bin/env bash
# A long random-input run of the sanitized window program: scripts/monkey.sh [ACTIONS] [SEED]
# (defaults 5000 actions, seed 1). The same seed draws the same actions, so a failure repeats.
set -euo pipefail
cd "$(dirname "$0")/.."
actions=${1:-5000}
seed=${2:-1}

bash scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORTICEL_SANITIZE=ON \
    -DVORTICEL_WARNINGS_AS_ERRORS=ON -DVORTICEL_END_TO_END=OFF
cmake --build build-asan -j "$(nproc)" --target vorticel
xvfb-run -a -s "-screen 0 1280x1024x24" sh tests/app/monkey.sh "$PWD/build-asan/vorticel" \
    "$seed" "$actions"
