#!/usr/bin/env bash
# Installs what is missing, builds Vorticel and starts it (on the current X display).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORTICEL_BUILD_TESTS=OFF
cmake --build build

exec ./build/vorticel
