// bench_settle.cpp: one settling step by the game's flood fill against the
// plain repeated sweep, on a generated world and on a structure whose support
// runs against the sweep's order.
#include "bench/settle_reference.h"
#include "bench/settle_shapes.h"
#include "game/new_game.h"
#include "world/world.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

namespace {

void generatedWorld() {
    srand(2024);
    setupNewWorld();
}

// A serpentine on level 10: rows along z at every other x, joined at
// alternating ends, held only by a post under its first row's high-z end.
// Support runs toward lower x and, in every other row, toward lower z, both
// against the sweep's order, so the sweep needs a pass per cell of those rows.
// The rows stop short of the wrap seams, which would give shortcuts.
void serpentineWorld() {
    memset(blocks, 0, sizeof blocks);
    memset(fallingBlocks, 0, sizeof fallingBlocks);
    memset(floorHeight, 0, sizeof floorHeight);
    blocksFalling = false;
    serpentine(10);
}

template <void (*Setup)(), void (*Settle)()> void settleStep(benchmark::State& state) {
    Setup();
    Settle(); // the structures are stable: every later step does the same work
    for (auto _ : state) {
        Settle();
        benchmark::DoNotOptimize(blocks[0][0][0]);
    }
}

BENCHMARK(settleStep<generatedWorld, settleBlocks>)
    ->Name("settle/generated/floodfill")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(settleStep<generatedWorld, referenceSettleBlocks>)
    ->Name("settle/generated/sweep")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(settleStep<serpentineWorld, settleBlocks>)
    ->Name("settle/serpentine/floodfill")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(settleStep<serpentineWorld, referenceSettleBlocks>)
    ->Name("settle/serpentine/sweep")
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
