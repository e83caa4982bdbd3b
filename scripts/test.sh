#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
# First the core library and its unit tests, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ (any report fails the test that
# made it); then the normal build in build/, without
# the unit tests (they ran already): drawn and end-to-end tests each under
# their own Xvfb, four tests at a time (most of them wait on a window).
# The last line printed is ctest's summary of the normal build; the exit
# status is non-zero when a build or any test of either run fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh

sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
if ! HOLLOWMARK_LINK_FLAGS="$sanitize" bash scripts/configure.sh build-asan -DHOLLOWMARK_CORE_ONLY=ON \
        -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$sanitize -O1 -g" ||
   ! cmake --build build-asan -j2; then
    echo "sanitizer build failed: no tests were run" >&2
    exit 1
fi
set +e
(cd build-asan && ASAN_OPTIONS=abort_on_error=0:halt_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest -L unit --output-on-failure --no-tests=error -j2 >ctest-last.log 2>&1)
asan_status=$?
set -e
asan_summary=$(grep -E '^[0-9]+% tests passed' build-asan/ctest-last.log | tail -n 1)
echo "sanitizer run (build-asan): ${asan_summary:-no summary (status $asan_status)}"
if [ "$asan_status" -ne 0 ]; then
    # Show what failed; the whole log stays in build-asan/ctest-last.log.
    grep -E 'Failed|ERROR: AddressSanitizer|runtime error|SUMMARY' build-asan/ctest-last.log | head -n 40
fi

if ! bash scripts/configure.sh build -DHOLLOWMARK_UNIT_TESTS=OFF ||
   ! cmake --build build -j2; then
    echo "build failed: no tests were run" >&2
    exit 1
fi
log=build/ctest-last.log
cd build
set +e
ctest --output-on-failure --no-tests=error -j4 2>&1 | tee "${log#build/}"
status=${PIPESTATUS[0]}
set -e
if [ "$asan_status" -ne 0 ]; then
    echo "the sanitizer run failed (see build-asan/ctest-last.log)"
    status=1
fi
# ctest prints its summary before the timing and the list of failures; end
# with it so the outcome is the last thing on the screen.
summary=$(grep -E '^[0-9]+% tests passed' "${log#build/}" | tail -n 1)
echo
echo "${summary:-ctest printed no summary (status $status)}"
exit "$status"
