// bench_rebuild.cpp: rebuilding all 100 chunks of a generated world (three
// meshes and three collision lists each), with and without face merging.
#include "app/settings.h"
#include "game/new_game.h"
#include "meshing/chunks.h"
#include "world/world.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void fullRebuild(benchmark::State& state) {
    optimizeGeometry = state.range(0) != 0;
    useLight = state.range(1) != 0;
    useWater = false;
    srand(2024);
    setupNewWorld();
    markAllChunksDirty();
    rebuildDirtyChunks(); // settle the array sizes for these settings
    long quads = 0;
    for (int i = 0; i < CHUNK_TOTAL; i++)
        quads += (terrainMeshes[i].vertexCount + blockMeshes[i].vertexCount) / 4;
    for (auto _ : state) {
        markAllChunksDirty();
        rebuildDirtyChunks();
        benchmark::DoNotOptimize(blockMeshes[0].positions);
    }
    state.counters["quads"] = (double)quads;
}

BENCHMARK(fullRebuild)
    ->ArgNames({"optimize", "light"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
