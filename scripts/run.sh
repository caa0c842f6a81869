#!/usr/bin/env bash
# Installs what is missing, builds Vorticel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORTICEL_BUILD_TESTS=OFF
cmake --build build

# Until the window arrives, a short demonstration of the command-line tool:
# search a chaotic Lorenz attractor and print its parameter file.
./build/vorticel-cli search Lorenz
