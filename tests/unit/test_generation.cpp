// test_generation.cpp: the random height fields, the block layout and the
// new-game setup: determinism, draw order, clamps and the starting state.
#include "app/settings.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "world/new_game.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

float gridA[50][50], gridB[50][50];
float savedFloor[50][50], savedCeiling[50][50];

double mean(const float g[50][50]) {
    double sum = 0.0;
    for (int x = 0; x < 50; x++)
        for (int z = 0; z < 50; z++)
            sum += g[x][z];
    return sum / 2500.0;
}

// The raw draw as the generator documents it, computed here on its own.
float rawValue(float low, float high) {
    float span = high - low;
    return (float)(low + (rand() % 1000) * (double)0.001f * span);
}

TEST(HeightField, RawValuesAndOneSmoothingPass) {
    srand(7);
    generateHeightField(gridA, -17.75f, 22.25f, 0);
    srand(7);
    for (int x = 0; x < 50; x++)
        for (int z = 0; z < 50; z++)
            ASSERT_EQ(gridA[x][z], rawValue(-17.75f, 22.25f)) << x << "," << z;
    // Start above end: values run downward from low, never reaching high.
    srand(8);
    generateHeightField(gridB, 52.75f, 12.75f, 0);
    for (int x = 0; x < 50; x++)
        for (int z = 0; z < 50; z++) {
            EXPECT_LE(gridB[x][z], 52.75f);
            EXPECT_GT(gridB[x][z], 12.75f);
        }

    // One pass: each point is the wrapped five-point average of the raw grid,
    // every read from the raw grid, not from points already updated.
    srand(7);
    generateHeightField(gridB, -17.75f, 22.25f, 1);
    const int points[4][2] = {{0, 0}, {49, 49}, {0, 49}, {17, 3}};
    for (const auto& p : points) {
        int x = p[0], z = p[1];
        float sum = gridA[(x + 1) % 50][z] + gridA[x][z] + gridA[(x + 49) % 50][z] +
                    gridA[x][(z + 1) % 50] + gridA[x][(z + 49) % 50];
        EXPECT_EQ(gridB[x][z], (float)(sum * (double)0.2f)) << x << "," << z;
    }
}

TEST(HeightField, SmoothingKeepsTheMean) {
    for (int seed = 1; seed <= 3; seed++) {
        srand(seed);
        generateHeightField(gridA, -17.75f, 22.25f, 0);
        srand(seed);
        generateHeightField(gridB, -17.75f, 22.25f, 25);
        EXPECT_NEAR(mean(gridB), mean(gridA), 1e-3);
        // 25 passes flatten the field: its spread is far below the raw one.
        float lo = 1e9f, hi = -1e9f;
        for (int x = 0; x < 50; x++)
            for (int z = 0; z < 50; z++) {
                lo = std::min(lo, gridB[x][z]);
                hi = std::max(hi, gridB[x][z]);
            }
        EXPECT_LT(hi - lo, 20.0f);
    }
}

TEST(Generation, LayoutClampsAndDeterminism) {
    useWater = false;
    srand(42);
    generateWorld();
    memcpy(savedFloor, floorHeight, sizeof savedFloor);
    memcpy(savedCeiling, ceilingHeight, sizeof savedCeiling);

    // Bottom layer, layer 24, walls with their 40-cell openings: 2 x 2500
    // + 19 levels x 36 wall cells + 5 levels x 196 wall cells.
    int count = 0;
    for (int x = 0; x < 50; x++)
        for (int y = 0; y < 35; y++)
            for (int z = 0; z < 50; z++)
                count += blocks[x][y][z];
    EXPECT_EQ(count, 5000 + 19 * 36 + 5 * 196);
    EXPECT_FALSE(blocksFalling);
    EXPECT_EQ(blocks[25][0][25], 1);
    EXPECT_EQ(blocks[25][24][25], 1);
    EXPECT_EQ(blocks[25][25][25], 0);
    EXPECT_EQ(blocks[0][26][0], 0);
    EXPECT_EQ(blocks[0][25][0], 1);
    EXPECT_EQ(blocks[0][10][4], 1); // wall beside the opening
    EXPECT_EQ(blocks[0][10][5], 0); // the opening
    EXPECT_EQ(blocks[49][19][44], 0);
    EXPECT_EQ(blocks[49][20][44], 1); // wall above the opening
    EXPECT_EQ(blocks[30][10][49], 0);
    EXPECT_EQ(blocks[45][10][49], 1);
    EXPECT_EQ(blocks[25][10][25], 0);

    double floorSum = 0.0, ceilingSum = 0.0;
    for (int x = 0; x < 50; x++)
        for (int z = 0; z < 50; z++) {
            EXPECT_GE(floorHeight[x][z], 0.25f);
            EXPECT_LE(ceilingHeight[x][z], 34.75f);
            floorSum += floorHeight[x][z];
            ceilingSum += ceilingHeight[x][z];
        }
    // Clusters around 2.25 and 32.75 (the clamp only lifts the mean a little).
    EXPECT_NEAR(floorSum / 2500.0, 2.25, 1.5);
    EXPECT_NEAR(ceilingSum / 2500.0, 32.75, 1.5);

    srand(42);
    generateWorld();
    EXPECT_EQ(memcmp(floorHeight, savedFloor, sizeof savedFloor), 0);
    EXPECT_EQ(memcmp(ceilingHeight, savedCeiling, sizeof savedCeiling), 0);
    srand(43);
    generateWorld();
    EXPECT_NE(memcmp(floorHeight, savedFloor, sizeof savedFloor), 0);
}

TEST(Generation, WaterDrawsComeLastAndOnlyWhenOn) {
    memset(waterHeight, 0, sizeof waterHeight);
    memset(waterFrames, 0, sizeof waterFrames);
    memset(waterPhaseOffset, 0, sizeof waterPhaseOffset);
    useWater = false;
    srand(5);
    generateWorld();
    int nextAfterWorld = rand();
    srand(5);
    for (int i = 0; i < 5000; i++)
        rand();
    EXPECT_EQ(nextAfterWorld, rand());
    for (int x = 0; x < 50; x++)
        for (int z = 0; z < 50; z++) {
            ASSERT_EQ(waterHeight[x][z], 0.0f);
            ASSERT_EQ(waterPhaseOffset[x][z], 0.0f);
            for (int f = 0; f < 5; f++)
                ASSERT_EQ(waterFrames[f][x][z], 0.0f);
        }
    memcpy(savedFloor, floorHeight, sizeof savedFloor);
    memcpy(savedCeiling, ceilingHeight, sizeof savedCeiling);

    useWater = true;
    srand(5);
    generateWorld();
    nextAfterWorld = rand();
    EXPECT_EQ(memcmp(floorHeight, savedFloor, sizeof savedFloor), 0);
    EXPECT_EQ(memcmp(ceilingHeight, savedCeiling, sizeof savedCeiling), 0);
    srand(5);
    for (int i = 0; i < 5000 + 7 * 2500; i++)
        rand();
    EXPECT_EQ(nextAfterWorld, rand());
    // Each water grid had its own draws, in order: height, frames 0..4, phase.
    srand(5);
    for (int i = 0; i < 5000; i++)
        rand();
    generateHeightField(gridA, 1.0f, 3.0f, 5);
    EXPECT_EQ(memcmp(gridA, waterHeight, sizeof gridA), 0);
    generateHeightField(gridA, 1.0f, 3.0f, 5);
    EXPECT_EQ(memcmp(gridA, waterFrames[0], sizeof gridA), 0);
    EXPECT_NE(memcmp(waterFrames[0], waterFrames[1], sizeof gridA), 0);
    for (int f = 1; f < 5; f++)
        generateHeightField(gridA, 1.0f, 3.0f, 5);
    EXPECT_EQ(memcmp(gridA, waterFrames[4], sizeof gridA), 0);
    generateHeightField(gridA, 0.0f, 2.0f, 2);
    EXPECT_EQ(memcmp(gridA, waterPhaseOffset, sizeof gridA), 0);
    useWater = false;
}

TEST(NewWorld, StartingState) {
    useWater = false;
    srand(11);
    setupNewWorld();
    setupNewWorld(); // twice in one run must not scale the models twice
    EXPECT_STREQ(gameTitle, "The Hollowmark");
    EXPECT_FLOAT_EQ(gameVersion, 0.9f);
    const CameraPose* cameras[3] = {&firstPersonCamera, &thirdPersonCamera, &viewCamera};
    EXPECT_EQ(player.position.x, 25.0f);
    EXPECT_EQ(player.position.y, 10.0f);
    EXPECT_EQ(player.position.z, 25.0f);
    for (const CameraPose* c : cameras) {
        EXPECT_EQ(c->position.x, 25.0f);
        EXPECT_EQ(c->position.y, 10.0f);
        EXPECT_EQ(c->position.z, 25.0f);
    }
    // Between the floor and the block layer at level 24, in an empty cell.
    EXPECT_LT(floorHeight[25][25], 10.0f);
    EXPECT_GT(ceilingHeight[25][25], 10.0f);
    EXPECT_EQ(blocks[25][10][25], 0);
    EXPECT_EQ(actionType, 0);
    EXPECT_EQ(figureCount, 0);
    EXPECT_EQ(ballCount, 0);
    for (int i = 0; i < CHUNK_TOTAL; i++) {
        EXPECT_EQ(chunkDirty[i], 0);
        ASSERT_NE(terrainCollision[i], nullptr);
        ASSERT_NE(blockCollision[i], nullptr);
        ASSERT_NE(fallingCollision[i], nullptr);
        EXPECT_GT(blockMeshes[i].vertexCount, 0); // every chunk has the bottom layer's top
        EXPECT_EQ(fallingMeshes[i].vertexCount, 0);
    }
    EXPECT_TRUE(settleReady);
    // The tables the meshes read.
    EXPECT_EQ(terrainTile[0], 0.8125f);
    EXPECT_EQ(terrainTile[7], 0.3125f);
    EXPECT_EQ(waterTile[1], 0.1875f);
    EXPECT_EQ(waterTile[6], 0.8125f);
    const float* t = blockFaceTexCoords[5][35];
    EXPECT_EQ(t[0], 0.0625f);
    EXPECT_EQ(t[1], 4.375f);
    EXPECT_EQ(t[2], 0.6875f);
    EXPECT_EQ(t[5], 0.0f);
}

} // namespace
