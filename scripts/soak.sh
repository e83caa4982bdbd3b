#!/usr/bin/env bash
# The long soak run: the real game built with AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-soak/), played with random input
# under Xvfb for several minutes (tests/e2e/test_soak.sh). It passes when the
# game ends through "Exit" with status 0, prints nothing (no sanitizer
# report) and its resident memory stops growing once the tables are full.
# Usage: scripts/soak.sh [seconds of random play, default 300]
# Exit status: 0 passed, 1 failed or could not build.
set -u
seconds=${1:-300}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
if ! HOLLOWMARK_LINK_FLAGS="$sanitize" bash scripts/configure.sh build-soak \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$sanitize" ||
   ! cmake --build build-soak -j2 --target hollowmark e2e_tool; then
    echo "soak: build failed" >&2
    exit 1
fi
# The game frees nothing at exit by design, and the GL driver keeps its own
# memory: leaks are not what this run looks for. A small quarantine keeps
# the resident size a measure of the game's own memory.
export ASAN_OPTIONS=detect_leaks=0:halt_on_error=1:quarantine_size_mb=16
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export HOLLOWMARK_BIN=$root/build-soak/hollowmark
export HOLLOWMARK_SOURCE=$root
export HOLLOWMARK_TOOLS=$root/build-soak
export SOAK_SECONDS=$seconds SOAK_MEMORY=1
export SOAK_ENEMY_CLICKS=60
export SOAK_BALL_CLICKS=520
export HM_WINDOW_TIMEOUT=180 # a sanitizer build starts slowly
exec bash tests/e2e/test_soak.sh
