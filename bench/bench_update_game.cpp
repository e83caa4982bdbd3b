// bench_update_game.cpp: updateGame at the worst case the game allows: 50
// enemies crowding the player, 500 balls in flight, water on, the terrain
// brush held and blocks falling. Reports the median and the slowest single
// update in microseconds as counters (median_us, max_us).
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/input.h"
#include "app/settings.h"
#include "game/game.h"
#include "game/new_game.h"
#include "meshing/chunks.h"
#include "world/world.h"

static unsigned int benchRandom = 777u;
static float unitRandom() {
    benchRandom = benchRandom * 1664525u + 1013904223u;
    return (float)((benchRandom >> 8) % 10000) / 10000.0f;
}

static void setUpWorstCase() {
    memset(keyState, 0, sizeof keyState);
    memset(mouseButtonState, 0, sizeof mouseButtonState);
    screenWidth = 1024.0f;
    screenHeight = 768.0f;
    aspectRatio = screenWidth / screenHeight;
    mouseX = 512;
    mouseY = 600; // looking at the floor in front, so the brush has work
    mouseInWindow = false;
    useWater = true;
    figureCount = 0;
    ballCount = 0;
    srand(99);
    setupNewWorld();
    player.pitch = 0.6f;
    for (int i = 0; i < 30; ++i) {
        updateGame(1.0f);
        rebuildDirtyChunks();
    }
    actionType = 0;
    mouseButtonState[MOUSE_LEFT] = Held;
}

// Keeps the load at its worst: every enemy slot filled next to the player,
// every ball flying, and a slab of unsupported blocks falling.
static void topUp(int iteration) {
    const Vector3 p = player.position;
    while (figureCount < MAX_FIGURES) {
        spawnFigure(p.x + 3.0f * (unitRandom() - 0.5f), p.y + 0.5f,
                    p.z + 3.0f * (unitRandom() - 0.5f));
    }
    for (int i = 0; i < ballCount; ++i) {
        if (balls[i].velocity.x == 0.0f && balls[i].velocity.y == 0.0f &&
            balls[i].velocity.z == 0.0f) {
            balls[i].position = Vector3{p.x, p.y + 3.0f, p.z};
            balls[i].velocity =
                Vector3{unitRandom() - 0.5f, 0.5f * unitRandom(), unitRandom() - 0.5f};
        }
    }
    while (ballCount < MAX_BALLS) {
        spawnBall(p.x, p.y + 3.0f, p.z, unitRandom() - 0.5f, 0.5f * unitRandom(),
                  unitRandom() - 0.5f);
    }
    if (!blocksFalling) {
        for (int x = 10; x < 20; ++x) {
            for (int z = 30; z < 40; ++z) {
                blocks[x][20][z] = 1;
            }
        }
        markAllChunksDirty();
    }
    // Raise and lower in turn so the brush never runs into the height limits.
    actionType = (iteration / 200) % 2;
}

static void reportTimes(benchmark::State& state, std::vector<double>& micros) {
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["max_us"] = micros.back();
    }
}

static void BM_UpdateGameWorstCase(benchmark::State& state) {
    setUpWorstCase();
    std::vector<double> micros;
    micros.reserve(1 << 16);
    int iteration = 0;
    for (auto _ : state) {
        topUp(iteration++);
        auto start = std::chrono::steady_clock::now();
        updateGame(1.0f);
        auto end = std::chrono::steady_clock::now();
        double us = std::chrono::duration<double, std::micro>(end - start).count();
        state.SetIterationTime(us * 1e-6);
        micros.push_back(us);
        // The main loop rebuilds the dirty chunks after every update; that
        // is not part of the update itself.
        rebuildDirtyChunks();
    }
    reportTimes(state, micros);
}
BENCHMARK(BM_UpdateGameWorstCase)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

// The same frame including the chunk rebuild the update's changes cause.
static void BM_UpdateAndRebuildWorstCase(benchmark::State& state) {
    setUpWorstCase();
    std::vector<double> micros;
    micros.reserve(1 << 16);
    int iteration = 0;
    for (auto _ : state) {
        topUp(iteration++);
        auto start = std::chrono::steady_clock::now();
        updateGame(1.0f);
        rebuildDirtyChunks();
        auto end = std::chrono::steady_clock::now();
        double us = std::chrono::duration<double, std::micro>(end - start).count();
        state.SetIterationTime(us * 1e-6);
        micros.push_back(us);
    }
    reportTimes(state, micros);
}
BENCHMARK(BM_UpdateAndRebuildWorstCase)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);

BENCHMARK_MAIN();
