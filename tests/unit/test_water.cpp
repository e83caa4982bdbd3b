// test_water.cpp: the water animation (phase, key-frame blend, per-point
// offsets) and the per-chunk quads over wet cells, including the wrap at the
// world's edge and allocation only when a chunk's count changes.
#include <cstdlib>
#include <new>

#include "game_fixture.h"

// Counts array allocations while switched on, to show that a rebuild with
// unchanged counts allocates nothing.
static bool countingAllocations = false;
static int arrayAllocations = 0;

void* operator new[](size_t size) {
    if (countingAllocations) {
        ++arrayAllocations;
    }
    void* p = malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}
void operator delete[](void* p) noexcept {
    free(p);
}
void operator delete[](void* p, size_t) noexcept {
    free(p);
}

class WaterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        memset(waterFrames, 0, sizeof waterFrames);
        memset(waterPhaseOffset, 0, sizeof waterPhaseOffset);
        memset(waterHeight, 0, sizeof waterHeight);
        fillTextureTables();
        // Frame k holds 10 k + 1 everywhere; a dry world (floor above all).
        for (int k = 0; k < 5; ++k) {
            for (int x = 0; x < WORLD_SIZE; ++x) {
                for (int z = 0; z < WORLD_SIZE; ++z) {
                    waterFrames[k][x][z] = 10.0f * (float)k + 1.0f;
                    floorHeight[x][z] = 100.0f;
                }
            }
        }
        wavePhase = 0.0f;
        useWater = true;
    }
};

TEST_F(WaterTest, PointsShowTheirKeyFrameAtWholePhases) {
    waterPhaseOffset[3][4] = 0.5f; // halfway from frame 0 to 1 at phase 0
    waterPhaseOffset[5][6] = 4.5f; // halfway from frame 4 back to frame 0
    waterPhaseOffset[7][8] = 2.0f; // two frames ahead
    for (int k = 0; k < 5; ++k) {
        wavePhase = (float)k;
        animateWater(0.0f);
        EXPECT_EQ(waterHeight[0][0], 10.0f * (float)k + 1.0f) << "phase " << k;
        EXPECT_EQ(waterHeight[49][49], 10.0f * (float)k + 1.0f);
        EXPECT_EQ(waterHeight[7][8], 10.0f * (float)((k + 2) % 5) + 1.0f);
    }
    wavePhase = 0.0f;
    animateWater(0.0f);
    EXPECT_FLOAT_EQ(waterHeight[3][4], 6.0f);
    EXPECT_FLOAT_EQ(waterHeight[5][6], 21.0f); // (41 + 1) / 2
}

TEST_F(WaterTest, PhaseAdvancesAQuarterAsFastInSlowMotionAndWraps) {
    animateWater(1.0f);
    EXPECT_FLOAT_EQ(wavePhase, 0.025f);
    EXPECT_NEAR(waterHeight[0][0], 1.0f + 0.025f * 10.0f, 1e-5f);
    for (int i = 1; i < 200; ++i) {
        animateWater(1.0f);
    }
    // 200 ticks are a full cycle.
    EXPECT_GE(wavePhase, 0.0f);
    float fromStart = wavePhase > 2.5f ? wavePhase - 5.0f : wavePhase;
    EXPECT_NEAR(fromStart, 0.0f, 1e-4f);
    EXPECT_LT(wavePhase, 5.0f);

    // Through the update: slow motion at factor 1 is a quarter of 0.025.
    freshWorld(TEST_SEED, true);
    slowMotion = true;
    step(1.0f);
    EXPECT_FLOAT_EQ(wavePhase, 0.00625f);
    // Water off: nothing moves.
    useWater = false;
    step(1.0f);
    EXPECT_FLOAT_EQ(wavePhase, 0.00625f);
}

TEST_F(WaterTest, QuadsCoverWetCellsOnlyWithTheWaterTile) {
    animateWater(0.0f); // water at 1 everywhere
    // One wet cell in chunk (2, 3): its corner (12, 17) has the floor under
    // the water; the other corners stay dry.
    floorHeight[12][17] = 0.5f;
    rebuildWaterMesh();
    int total = 0;
    for (int c = 0; c < CHUNK_TOTAL; ++c) {
        total += waterMeshes[c].vertexCount;
    }
    // The four cells sharing that corner, all inside chunk (2, 3).
    EXPECT_EQ(total, 16);
    const WaterMesh& mesh = waterMeshes[23];
    ASSERT_EQ(mesh.vertexCount, 16);
    // Cells in x-then-z order: (11,16), (11,17), (12,16), (12,17); the first
    // quad's vertices, chunk-local.
    const float expected[4][3] = {{1, 1, 2}, {2, 1, 2}, {2, 1, 1}, {1, 1, 1}};
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(mesh.positions[v * 3 + 0], expected[v][0]);
        EXPECT_EQ(mesh.positions[v * 3 + 1], expected[v][1]);
        EXPECT_EQ(mesh.positions[v * 3 + 2], expected[v][2]);
    }
    const float tile[8] = {0.8125f, 0.1875f, 0.9375f, 0.1875f, 0.9375f, 0.0625f, 0.8125f, 0.0625f};
    for (int v = 0; v < 16; ++v) {
        EXPECT_EQ(mesh.texCoords[v * 2 + 0], tile[(v % 4) * 2 + 0]);
        EXPECT_EQ(mesh.texCoords[v * 2 + 1], tile[(v % 4) * 2 + 1]);
    }
    // Water exactly at the floor counts as wet; just below does not.
    floorHeight[12][17] = 1.0f;
    rebuildWaterMesh();
    EXPECT_EQ(waterMeshes[23].vertexCount, 16);
    floorHeight[12][17] = 1.0001f;
    rebuildWaterMesh();
    EXPECT_EQ(waterMeshes[23].vertexCount, 0);
}

TEST_F(WaterTest, EdgeCellTakesItsFarCornersFromTheOtherSide) {
    // Distinct heights along x = 0 and x = 49 near z = 20.
    for (int z = 0; z < WORLD_SIZE; ++z) {
        waterFrames[0][0][z] = 2.0f + 0.01f * (float)z;
        waterFrames[0][49][z] = 5.0f + 0.01f * (float)z;
    }
    animateWater(0.0f);
    floorHeight[0][21] = 0.0f; // only the far corner (x' = 0, z' = 21) is wet
    rebuildWaterMesh();
    // The corner (0, 21) belongs to cells (49, 20) and (49, 21) in chunk
    // (9, 4), and (0, 20) and (0, 21) in chunk (0, 4). Cell (49, 20) comes
    // first and takes its x + 1 corners from x = 0.
    const WaterMesh& edge = waterMeshes[94];
    ASSERT_EQ(edge.vertexCount, 8);
    const float expected[4][3] = {{4, 5.21f, 1}, {5, 2.21f, 1}, {5, 2.20f, 0}, {4, 5.20f, 0}};
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(edge.positions[v * 3 + 0], expected[v][0]);
        EXPECT_FLOAT_EQ(edge.positions[v * 3 + 1], expected[v][1]);
        EXPECT_EQ(edge.positions[v * 3 + 2], expected[v][2]);
    }
    EXPECT_EQ(waterMeshes[4].vertexCount, 8);
    EXPECT_EQ(waterMeshes[93].vertexCount, 0);
}

TEST_F(WaterTest, ArraysAreReplacedOnlyWhenACountChanges) {
    animateWater(0.0f);
    for (int x = 0; x < 10; ++x) {
        floorHeight[x][x] = 0.0f;
    }
    rebuildWaterMesh();
    countingAllocations = true;
    arrayAllocations = 0;
    for (int i = 0; i < 20; ++i) {
        animateWater(1.0f);
        rebuildWaterMesh();
    }
    EXPECT_EQ(arrayAllocations, 0);
    // One more wet cell in one chunk: exactly that chunk's two arrays.
    floorHeight[42][42] = 0.0f;
    rebuildWaterMesh();
    countingAllocations = false;
    EXPECT_EQ(arrayAllocations, 2);
    EXPECT_EQ(waterMeshes[88].vertexCount, 16);
}
