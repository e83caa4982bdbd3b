#!/usr/bin/env bash
# scene_fps.sh: what drawing costs, measured twice under Xvfb with Mesa's
# software renderer at 1280 x 720 and the shipped settings.ini, for view
# ranges 3, 6 and 10:
#   1. frames per second of the real game, standing at its start position
#      with the pointer at the window centre (each run is a new world):
#      its buffer swaps are counted by a preloaded wrapper (swap_counter.c);
#      the game is paced to at most 62.5 frames per second;
#   2. the time renderScene takes per frame (bench_render_scene, Google
#      Benchmark, GL work finished inside the timing).
# Usage: bench/scene_fps.sh [BUILD_DIR]   (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
game=$build/hollowmark
bench=$build/bench_render_scene_gl
seconds=${HOLLOWMARK_FPS_SECONDS:-12} # counted after 60 warm-up frames
screen="-noreset -screen 0 1920x1080x24"
for f in "$game" "$bench" "$root/settings.ini"; do
    [ -e "$f" ] || { echo "scene_fps: $f is missing (cmake --build build --target hollowmark bench_render_scene_gl)" >&2; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/hollowmark-fps.XXXXXX")
trap 'rm -rf "$work"' EXIT
cc -O2 -shared -fPIC -o "$work/swap_counter.so" "$root/bench/drawn/swap_counter.c" -ldl
export LIBGL_ALWAYS_SOFTWARE=1

echo "real game, 1280 x 720, shipped settings but for viewrange:"
for range in 3 6 10; do
    dir=$work/run$range
    mkdir -p "$dir"
    cp -r "$root/Media" "$dir/Media"
    grep -v -e '^screenw=' -e '^screenh=' -e '^viewrange=' "$root/settings.ini" >"$dir/settings.ini"
    printf 'screenw=1280\nscreenh=720\nviewrange=%s\n' "$range" >>"$dir/settings.ini"
    log=$dir/swaps.txt
    # One X server per run; the game is ended by a plain TERM after the count.
    xvfb-run -a -s "$screen" bash -c '
        cd "$1" && HOLLOWMARK_SWAP_LOG="$2" LD_PRELOAD="$3" "$4" >/dev/null 2>&1 &
        pid=$!
        deadline=$((SECONDS + 120))
        # The view turns while the pointer rests off the window centre: put it
        # there, so every run looks where the start leaves the player looking.
        while [ $SECONDS -lt $deadline ] && kill -0 $pid 2>/dev/null; do
            win=$(xdotool search --onlyvisible --name "^The Hollowmark\$" 2>/dev/null | head -n 1)
            [ -n "$win" ] && xdotool mousemove --window "$win" 640 360 && break
            sleep 0.25
        done
        # Wait for the warm-up, then count for the given time.
        while [ ! -s "$2" ] && [ $SECONDS -lt $deadline ] && kill -0 $pid 2>/dev/null; do sleep 0.5; done
        sleep "$5"
        kill -TERM $pid 2>/dev/null; sleep 1; kill -KILL $pid 2>/dev/null; wait $pid 2>/dev/null
        true' _ "$dir" "$log" "$work/swap_counter.so" "$game" "$seconds"
    if [ -s "$log" ]; then
        read -r frames took <<<"$(tail -n 1 "$log")"
        awk -v r="$range" -v f="$frames" -v t="$took" \
            'BEGIN { printf "  viewrange %2d: %6.1f frames per second (%d frames in %.1f s)\n", r, f / t, f, t }'
    else
        echo "  viewrange $range: no frames counted (the game did not run)"
    fi
done

echo "renderScene alone (median of 5 repetitions):"
cd "$root"
xvfb-run -a -s "$screen" "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_filter=. 2>/dev/null | grep -E "median|Benchmark"
