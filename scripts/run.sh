#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in the repository's
# root, where settings.ini and Media/ stand (screenshots are written there).
# The game's own exit status is passed on.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# The game needs an X display; say so at once rather than after a build.
if [ -z "${DISPLAY:-}" ]; then
    echo "hollowmark: no display available (DISPLAY is not set); run it from a desktop session" >&2
    exit 1
fi
bash scripts/deps.sh
if command -v xdpyinfo >/dev/null && ! xdpyinfo >/dev/null 2>&1; then
    echo "hollowmark: cannot reach the X display '$DISPLAY'" >&2
    exit 1
fi
bash scripts/configure.sh build
cmake --build build -j2 --target hollowmark
exec ./build/hollowmark
