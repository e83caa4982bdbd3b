#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless:
# unit tests directly, drawn and end-to-end tests each under their own Xvfb.
# The last line printed is ctest's summary; the exit status is non-zero when
# the build or any test fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
if ! cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ||
   ! cmake --build build -j2; then
    echo "build failed: no tests were run" >&2
    exit 1
fi
log=build/ctest-last.log
cd build
set +e
ctest --output-on-failure --no-tests=error -j2 2>&1 | tee "${log#build/}"
status=${PIPESTATUS[0]}
set -e
# ctest prints its summary before the timing and the list of failures; end
# with it so the outcome is the last thing on the screen.
summary=$(grep -E '^[0-9]+% tests passed' "${log#build/}" | tail -n 1)
echo
echo "${summary:-ctest printed no summary (status $status)}"
exit "$status"
