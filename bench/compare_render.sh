#!/usr/bin/env bash
# compare_render.sh: the drawing time of this checkout against an older
# revision, side by side in one run, so that both see the same machine load.
# Builds bench_render_scene_gl for both (the older one in a temporary git
# worktree, with this checkout's benchmark source and fixed scenes, so both
# draw exactly the same frames), then runs them in turn under Xvfb with Mesa's
# software renderer at 1280 x 720 and the shipped settings, and prints the
# median time per frame of each scene and the ratio old / new.
#   calm: the start position at view range 6
#   busy: 50 enemies round the player and 500 balls in view, range 6
# Usage: bench/compare_render.sh BASE_REV [ROUNDS]   (default 7 rounds)
# Env: BUILD_DIR (this checkout's build folder, default build).
set -eu
base=${1:?usage: compare_render.sh BASE_REV [ROUNDS]}
rounds=${2:-7}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD_DIR:-$root/build}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/hollowmark-compare.XXXXXX")
cleanup() {
    git -C "$root" worktree remove --force "$work/old" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

git -C "$root" worktree add --detach "$work/old" "$base" >/dev/null 2>&1
cp "$root/bench/drawn/bench_render_scene_gl.cpp" "$work/old/bench/drawn/"
cp "$root/tests/drawn/fixed_scenes_gl.h" "$work/old/tests/drawn/"
for tree in "$work/old:$work/old-build" "$root:$build"; do
    src=${tree%%:*} out=${tree#*:}
    cmake -S "$src" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld >/dev/null
    cmake --build "$out" -j2 --target bench_render_scene_gl >/dev/null
done

export LIBGL_ALWAYS_SOFTWARE=1
filter='renderSceneFrame/6/|renderBusyFrame'
run() { # run WHICH BENCH_BINARY: appends "which scene ms" lines
    (cd "$root" && xvfb-run -a -s "-noreset -screen 0 1920x1080x24" "$2" \
        --benchmark_filter="$filter" --benchmark_min_time=1.5 --benchmark_format=csv 2>/dev/null) |
        awk -F, -v w="$1" '/^"renderSceneFrame/ { print w, "calm", $3 } /^"renderBusyFrame/ { print w, "busy", $3 }' \
            >>"$work/times.txt"
}
for i in $(seq "$rounds"); do
    run old "$work/old-build/bench_render_scene_gl"
    run new "$build/bench_render_scene_gl"
done

echo "renderScene + glFinish, ms per frame, median of $rounds runs each (old = $base, new = $(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD -- render || echo '+changes')):"
python3 - "$work/times.txt" <<'PY'
import statistics, sys
times = {}
for line in open(sys.argv[1]):
    which, scene, ms = line.split()
    times.setdefault((which, scene), []).append(float(ms))
for scene in ("calm", "busy"):
    old = statistics.median(times.get(("old", scene), [float("nan")]))
    new = statistics.median(times.get(("new", scene), [float("nan")]))
    print(f"  {scene}: old {old:7.1f}  new {new:7.1f}  ratio {old / new:4.2f}x")
PY
