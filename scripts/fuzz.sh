#!/usr/bin/env bash
# Runs each libFuzzer target for a bounded time: the settings reader, the save
# reader, the recording reader, and the
# world texture's and the UI atlas's way from file bytes to texture pixels.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
#
# Builds in build-fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer. The corpus grows in build-fuzz/corpus/<target>,
# seeded from fuzz/seeds/. An input that crashes or breaks a rule is saved in
# build-fuzz/findings/<target>/; copy it into tests/fuzz_regressions/settings/
# or tests/fuzz_regressions/images/ and the normal test suite replays it.
# Exit status: 0 when no target found anything, 1 otherwise.
set -u
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh fuzz
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g -O1"
if ! CC=clang CXX=clang++ HOLLOWMARK_LINK_FLAGS="-fsanitize=address,undefined" \
        bash scripts/configure.sh build-fuzz -DCMAKE_BUILD_TYPE=Debug \
        -DHOLLOWMARK_CORE_ONLY=ON -DHOLLOWMARK_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_CXX_FLAGS="$flags" ||
   ! cmake --build build-fuzz -j2 --target fuzz_settings fuzz_save fuzz_replay fuzz_world_texture_sdl fuzz_dashboard_sdl; then
    echo "fuzz: build failed" >&2
    exit 1
fi

found=0
for target in fuzz_settings fuzz_save fuzz_replay fuzz_world_texture_sdl fuzz_dashboard_sdl; do
    case $target in
    fuzz_settings) seeds=fuzz/seeds/settings max_len=8192 ;;
    fuzz_save) seeds=fuzz/seeds/save max_len=65536 ;;
    fuzz_replay) seeds=fuzz/seeds/replay max_len=65536 ;;
    *) seeds=fuzz/seeds/images max_len=65536 ;;
    esac
    # Absolute paths: the settings target works in a folder of its own.
    corpus=$root/build-fuzz/corpus/$target
    findings=$root/build-fuzz/findings/$target
    mkdir -p "$corpus" "$findings"
    echo "== $target for ${seconds}s"
    (cd build-fuzz && ./"$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" "$root/$seeds") >"build-fuzz/$target.log" 2>&1
    status=$?
    grep -E '^stat::number_of_executed_units|^Done [0-9]+ runs' "build-fuzz/$target.log" | tail -n 2
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$findings")" ]; then
        echo "$target: FOUND SOMETHING (status $status), see build-fuzz/$target.log and $findings" >&2
        found=1
    else
        echo "$target: nothing found"
    fi
done
exit "$found"
