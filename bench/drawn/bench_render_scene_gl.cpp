// bench_render_scene_gl.cpp: how long renderScene takes per frame, with the GL
// work finished, at 1280 x 720 with the shipped graphics keys: the calm start
// for view ranges 3, 6 and 10, and the busy scene (50 enemies round the
// player, 500 balls in view) at range 6. Needs a display (run it under Xvfb:
// bench/scene_fps.sh and bench/compare_render.sh do) and the repository root
// as working folder.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "app/settings.h"
#include "app/shell_sdl.h"
#include "game/game.h"
#include "render/scene_gl.h"
#include "tests/drawn/fixed_scenes_gl.h"
#include "ui/draw2d_gl.h"

namespace {

const int BENCH_WIDTH = 1280;
const int BENCH_HEIGHT = 720;
const int BUSY_RANGE = 6;

// The game's start-up with the shipped graphics keys, at a fixed size and
// seed so that every run draws the same world.
void startOnce() {
    static bool started = false;
    if (started) {
        return;
    }
    started = true;
    readVideoSettings();
    readGraphicsSettings();
    screenWidth = (float)BENCH_WIDTH;
    screenHeight = (float)BENCH_HEIGHT;
    fullscreen = false;
    initVideo();
    loadUi();
    fixed_scenes::startGame();
}

void drawFrames(benchmark::State& state, int range) {
    const int savedRange = viewRange;
    viewRange = range;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderScene();
        // The software renderer works when the commands are flushed: count it.
        glFinish();
    }
    viewRange = savedRange;
}

void renderSceneFrame(benchmark::State& state) {
    startOnce();
    drawFrames(state, (int)state.range(0));
}

void renderBusyFrame(benchmark::State& state) {
    startOnce();
    fixed_scenes::addCrowd();
    drawFrames(state, BUSY_RANGE);
    fixed_scenes::removeCrowd();
}

} // namespace

BENCHMARK(renderSceneFrame)->Arg(3)->Arg(6)->Arg(10)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(renderBusyFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
