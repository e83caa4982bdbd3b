// bench_collision.cpp: cost of the sphere and segment queries and of the
// terrain brush on a generated world. Each case also reports how many
// triangle tests one call makes (summed list sizes of the lists it scans).
#include "app/settings.h"
#include "game/game.h"
#include "game/new_game.h"
#include "meshing/chunks.h"
#include "physics/collision.h"
#include "physics/world_cells.h"
#include "world/world.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

const float BODY_RADIUS = 1.25f; // players and enemies
const float BRUSH_RADIUS = 5.0f;
const unsigned WORLD_SEED = 12345;

int listSize(const CollisionList* l) {
    return l ? l->triangleCount : 0;
}

// The same generated world, its block faces merged ("optimizegeometry") or
// left one per cell, as the benchmark's argument says.
void ensureWorld(const benchmark::State& state) {
    static bool made = false;
    bool merged = state.range(0) != 0;
    if (!made) {
        srand(WORLD_SEED);
        setupNewWorld();
        made = true;
    }
    if (optimizeGeometry != merged || !made) {
        optimizeGeometry = merged;
        markAllChunksDirty();
        rebuildDirtyChunks();
    }
}

// Triangle visits of one sphere query: four scans of the terrain and block
// lists' pair and two of the falling list, per cell.
int sphereTriangleVisits(float x, float z, float r) {
    CellRange c = sphereCellRange(x, z, r);
    int n = 0;
    for (int cx = c.firstX; cx <= c.lastX; cx++)
        for (int cz = c.firstZ; cz <= c.lastZ; cz++) {
            int i = chunkIndex(cx, cz);
            n += 2 * listSize(terrainCollision[i]) + 2 * listSize(blockCollision[i]);
            if (fallingMeshes[i].vertexCount > 0)
                n += 2 * listSize(fallingCollision[i]);
        }
    return n;
}

int segmentTriangleVisits(float sx, float sz, float ex, float ez, int* cellCount) {
    static int cells[1024][2];
    int count = listSegmentCells(sx, sz, ex, ez, cells, 1024);
    int n = 0;
    for (int k = 0; k < count && k < 1024; k++) {
        int i = chunkIndex(cells[k][0], cells[k][1]);
        n += listSize(terrainCollision[i]) + listSize(blockCollision[i]);
        if (fallingMeshes[i].vertexCount > 0)
            n += listSize(fallingCollision[i]);
    }
    *cellCount = count;
    return n;
}

void runSphere(benchmark::State& state, float x, float y, float z) {
    int contacts = 0;
    for (auto _ : state) {
        float px = x, py = y, pz = z;
        contacts += collideSphereWithWorld(px, py, pz, BODY_RADIUS);
        benchmark::DoNotOptimize(py);
    }
    state.counters["triangles"] = sphereTriangleVisits(x, z, BODY_RADIUS);
    state.counters["contact"] = contacts > 0;
}

// A body resting on the floor, in the middle of a chunk.
void BM_SphereOnFloor(benchmark::State& state) {
    ensureWorld(state);
    float x = 27.5f, z = 22.5f;
    float y = floorHeight[27][22] + BODY_RADIUS - 0.05f;
    collideSphereWithWorld(x, y, z, BODY_RADIUS); // settle it where it rests
    y -= 0.01f;
    runSphere(state, x, y, z);
}
BENCHMARK(BM_SphereOnFloor)->ArgName("merged")->Arg(0)->Arg(1);

// A body pressed against the -x face of a block, found by scanning the world.
void BM_SphereAgainstWall(benchmark::State& state) {
    ensureWorld(state);
    for (int bx = 1; bx < WORLD_SIZE; bx++)
        for (int bz = 0; bz < WORLD_SIZE; bz++)
            for (int by = 1; by < WORLD_LEVELS - 2; by++) {
                if (!blocks[bx][by][bz] || blocks[bx - 1][by][bz] || blocks[bx - 1][by + 1][bz])
                    continue;
                float x = bx - 1.1f, y = by + 0.5f, z = bz + 0.5f;
                if (floorHeight[bx - 1][bz] > by - 0.5f || ceilingHeight[bx - 1][bz] < by + 1.5f)
                    continue;
                runSphere(state, x, y, z);
                return;
            }
    state.SkipWithError("no free block face in this world");
}
BENCHMARK(BM_SphereAgainstWall)->ArgName("merged")->Arg(0)->Arg(1);

// A body straddling four chunks.
void BM_SphereAtChunkCorner(benchmark::State& state) {
    ensureWorld(state);
    float x = 25.0f, z = 25.0f;
    float y = floorHeight[25][25] + BODY_RADIUS - 0.05f;
    runSphere(state, x, y, z);
}
BENCHMARK(BM_SphereAtChunkCorner)->ArgName("merged")->Arg(0)->Arg(1);

void runSegment(benchmark::State& state, float sx, float sy, float sz, float ex, float ey,
                float ez) {
    int hits = 0;
    for (auto _ : state) {
        float x = ex, y = ey, z = ez;
        hits += clipSegmentToWorld(sx, sy, sz, x, y, z);
        benchmark::DoNotOptimize(x);
    }
    int cells = 0;
    state.counters["triangles"] = segmentTriangleVisits(sx, sz, ex, ez, &cells);
    state.counters["cells"] = cells;
    state.counters["hit"] = hits > 0;
}

// The aim ray: 50 units from the player's eye, slightly downward, diagonal
// to the grid (the most cells).
void BM_SegmentAimRay(benchmark::State& state) {
    ensureWorld(state);
    float sx = 25.0f, sz = 25.0f, sy = floorHeight[25][25] + 2.5f;
    float dx = cosf(0.6f), dz = sinf(0.6f), dy = -0.08f;
    float len = 50.0f / sqrtf(dx * dx + dy * dy + dz * dz);
    runSegment(state, sx, sy, sz, sx + dx * len, sy + dy * len, sz + dz * len);
}
BENCHMARK(BM_SegmentAimRay)->ArgName("merged")->Arg(0)->Arg(1);

// One ball's step through open space: a few tenths of a unit.
void BM_SegmentBallStep(benchmark::State& state) {
    ensureWorld(state);
    float sx = 27.3f, sz = 22.6f;
    float sy = 0.5f * (floorHeight[27][22] + ceilingHeight[27][22]);
    runSegment(state, sx, sy, sz, sx + 0.3f, sy - 0.1f, sz + 0.2f);
}
BENCHMARK(BM_SegmentBallStep)->ArgName("merged")->Arg(0)->Arg(1);

void BM_ShapeTerrainRadius5(benchmark::State& state) {
    ensureWorld(state);
    float y = floorHeight[20][30];
    float amount = 0.01f;
    for (auto _ : state) {
        shapeTerrain(20.3f, y, 30.6f, BRUSH_RADIUS, amount);
        amount = -amount; // up and down again: the ground stays put
    }
    state.counters["samples"] = 13 * 13;
}
BENCHMARK(BM_ShapeTerrainRadius5)->ArgName("merged")->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
