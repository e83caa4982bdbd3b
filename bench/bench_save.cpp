// bench_save.cpp: what keeping the cave costs. On the main thread an autosave
// only copies the game and starts the worker (SaveSnapshotOnMainThread); the
// worker compresses (SaveEncode) and writes with its syncs (SaveWrite, into a
// folder under /tmp); a start with a save reads, checks and rebuilds
// (SaveLoadAtStart). The game is a full one: the cave of a fixed seed with
// water, 50 enemies and 500 balls.
//
//     build/bench_save
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/save_file.h"
#include "app/settings.h"
#include "game/game.h"
#include "game/save.h"
#include "meshing/chunks.h"
#include "game/new_game.h"
#include "world/generate.h"

namespace {

SaveSnapshot snapshot;

void fullGame() {
    static bool made = false;
    if (made)
        return;
    made = true;
    useWater = true;
    optimizeGeometry = true;
    resetGameState();
    srand(4242);
    setupNewWorld();
    for (int i = 0; i < MAX_FIGURES; ++i)
        spawnFigure(10.0f + (float)(i % 10), 12.0f, 10.0f + (float)(i / 10));
    for (int i = 0; i < MAX_BALLS; ++i)
        spawnBall(25.0f, 15.0f, 25.0f, 0.01f * (float)(i % 7), 0.1f, 0.01f * (float)(i % 5));
    for (int i = 0; i < 30; ++i)
        updateGame(1.0f), rebuildDirtyChunks();
}

std::string folder() {
    static std::string path;
    if (path.empty()) {
        char pattern[] = "/tmp/hollowmark-bench-save-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "/tmp";
    }
    return path;
}

void SaveSnapshotOnMainThread(benchmark::State& state) {
    fullGame();
    for (auto _ : state) {
        takeSnapshot(snapshot);
        std::thread worker([] {});
        state.PauseTiming();
        worker.join();
        state.ResumeTiming();
    }
}
BENCHMARK(SaveSnapshotOnMainThread)->Unit(benchmark::kMicrosecond);

void SaveEncode(benchmark::State& state) {
    fullGame();
    takeSnapshot(snapshot);
    std::vector<unsigned char> file;
    for (auto _ : state)
        encodeSave(snapshot, file);
    state.counters["file_bytes"] = (double)file.size();
}
BENCHMARK(SaveEncode)->Unit(benchmark::kMillisecond);

void SaveWrite(benchmark::State& state) {
    fullGame();
    takeSnapshot(snapshot);
    std::vector<unsigned char> file;
    encodeSave(snapshot, file);
    char why[256] = "";
    for (auto _ : state)
        if (!writeSaveFile(folder().c_str(), file, why, sizeof why))
            state.SkipWithError(why);
}
BENCHMARK(SaveWrite)->Unit(benchmark::kMillisecond);

void SaveLoadAtStart(benchmark::State& state) {
    fullGame();
    takeSnapshot(snapshot);
    std::vector<unsigned char> file;
    encodeSave(snapshot, file);
    char why[256] = "";
    writeSaveFile(folder().c_str(), file, why, sizeof why);
    for (auto _ : state) {
        if (!loadSaveFolder(folder().c_str(), snapshot))
            state.SkipWithError("no save");
        applySnapshot(snapshot);
    }
}
BENCHMARK(SaveLoadAtStart)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
