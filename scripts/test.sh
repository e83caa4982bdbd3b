#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless:
# unit tests directly, drawn and end-to-end tests each under their own Xvfb.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
cd build
ctest --output-on-failure -j2
