#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in the repository's
# root, where settings.ini and Media/ stand (screenshots are written there).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target hollowmark
if [ -z "${DISPLAY:-}" ]; then
    echo "hollowmark: no display available (DISPLAY is not set); start it from a desktop session" >&2
    exit 1
fi
exec ./build/hollowmark
