// bench_render_scene_gl.cpp: how long renderScene takes per frame, with the GL
// work finished, for view ranges 3, 6 and 10. Needs a display (run it under
// Xvfb: bench/scene_fps.sh does) and the repository root as working folder.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/input.h"
#include "app/settings.h"
#include "app/shell_sdl.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "render/scene_gl.h"
#include "ui/draw2d_gl.h"
#include "world/new_game.h"
#include "render/textures_gl.h"

namespace {

const int BENCH_WIDTH = 1280;
const int BENCH_HEIGHT = 720;
const unsigned BENCH_SEED = 20261207;
const int SETTLE_UPDATES = 120; // two seconds of game time: the player lands

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
    srand(BENCH_SEED);
    newGame();
    // With no input the player drops to the floor and the cameras and the
    // figure take their in-game pose, so the frames are those of a start.
    mouseInWindow = false;
    for (int i = 0; i < SETTLE_UPDATES; i++) {
        updateGame(1.0f);
        rebuildDirtyChunks();
    }
}

void renderSceneFrame(benchmark::State& state) {
    startOnce();
    const int savedRange = viewRange;
    viewRange = (int)state.range(0);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderScene();
        // The software renderer works when the commands are flushed: count it.
        glFinish();
    }
    viewRange = savedRange;
}

} // namespace

BENCHMARK(renderSceneFrame)->Arg(3)->Arg(6)->Arg(10)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
