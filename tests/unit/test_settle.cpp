// test_settle.cpp: the block-settling step: what stays, what falls, how it
// lands, and that the flood fill gives exactly the repeated sweep's result.
#include "settle_reference.h"
#include "settle_shapes.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

void clearWorld(float floor = 0.25f) {
    memset(blocks, 0, sizeof blocks);
    memset(fallingBlocks, 0, sizeof fallingBlocks);
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            floorHeight[x][z] = floor;
    blocksFalling = false;
}

int countCells(const unsigned char grid[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE]) {
    int n = 0;
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int y = 0; y < WORLD_LEVELS; y++)
            for (int z = 0; z < WORLD_SIZE; z++)
                n += grid[x][y][z] ? 1 : 0;
    return n;
}

TEST(Settle, BottomLevelAndFloorHoldBlocks) {
    clearWorld();
    blocks[3][0][3] = 1; // bottom level
    floorHeight[10][11] = 5.5f;
    blocks[9][5][10] = 1;  // floor above y = 5 at its corner (10, 11)
    blocks[20][5][20] = 1; // nothing below it
    floorHeight[31][30] = 5.0f;
    blocks[30][5][30] = 1; // floor exactly at the cell's bottom does not hold it
    settleBlocks();
    EXPECT_EQ(blocks[3][0][3], 1);
    EXPECT_EQ(blocks[9][5][10], 1);
    EXPECT_EQ(blocks[20][5][20], 0);
    EXPECT_EQ(fallingBlocks[20][5][20], 1);
    EXPECT_EQ(blocks[30][5][30], 0);
    EXPECT_EQ(fallingBlocks[30][5][30], 1);
    EXPECT_TRUE(blocksFalling);
    // The floor's far corner of a column on the seam wraps: (49, 49) reads (0, 0).
    clearWorld();
    floorHeight[0][0] = 7.5f;
    blocks[49][7][49] = 1;
    settleBlocks();
    EXPECT_EQ(blocks[49][7][49], 1);
    EXPECT_FALSE(blocksFalling);
}

TEST(Settle, BridgeStaysThenFallsAsOnePieceAndLands) {
    clearWorld();
    for (int y = 0; y <= 5; y++)
        blocks[10][y][10] = 1;
    for (int x = 11; x <= 15; x++)
        blocks[x][5][10] = 1;
    settleBlocks();
    EXPECT_FALSE(blocksFalling);
    EXPECT_EQ(countCells(blocks), 11);
    for (int x = 11; x <= 15; x++)
        EXPECT_EQ(blocks[x][5][10], 1);

    // Cut the pillar above its foot: the bridge and the pillar's top fall.
    for (int y = 1; y <= 4; y++)
        blocks[10][y][10] = 0;
    settleBlocks(); // unsupported, still at level 5
    EXPECT_TRUE(blocksFalling);
    for (int level = 5; level >= 2; level--) {
        for (int x = 10; x <= 15; x++) {
            EXPECT_EQ(fallingBlocks[x][level][10], 1) << "x " << x << " level " << level;
        }
        EXPECT_EQ(countCells(fallingBlocks), 6);
        EXPECT_EQ(countCells(blocks), 1);
        settleBlocks();
    }
    // This step brought the piece down onto the pillar's foot: it lands there,
    // whole, and is solid again.
    EXPECT_FALSE(blocksFalling);
    EXPECT_EQ(countCells(fallingBlocks), 0);
    for (int x = 10; x <= 15; x++)
        EXPECT_EQ(blocks[x][1][10], 1);
    EXPECT_EQ(countCells(blocks), 7);
}

TEST(Settle, FallingPairAndLandingOnLevelZero) {
    clearWorld();
    blocks[30][12][30] = 1;
    blocks[31][12][30] = 1; // its only neighbour, itself unsupported
    for (int step = 0; step < 40; step++)
        settleBlocks();
    EXPECT_FALSE(blocksFalling);
    EXPECT_EQ(blocks[30][0][30], 1);
    EXPECT_EQ(blocks[31][0][30], 1);
    EXPECT_EQ(countCells(blocks), 2);
    EXPECT_EQ(countCells(fallingBlocks), 0);
}

TEST(Settle, BlockPlacedUnderFallingBlockMerges) {
    clearWorld();
    for (int y = 0; y <= 8; y++)
        blocks[20][y][20] = 1;
    fallingBlocks[20][10][20] = 1;
    blocksFalling = true;
    blocks[20][9][20] = 1; // placed under the falling block
    settleBlocks();
    EXPECT_FALSE(blocksFalling);
    EXPECT_EQ(blocks[20][9][20], 1);
    EXPECT_EQ(blocks[20][10][20], 0);
    EXPECT_EQ(countCells(blocks), 10);
    EXPECT_EQ(countCells(fallingBlocks), 0);

    // A block placed into a falling block's cell: both set until the next
    // step, which leaves one block (here unsupported, so falling).
    clearWorld();
    fallingBlocks[5][6][5] = 1;
    blocksFalling = true;
    blocks[5][5][5] = 1;
    settleBlocks();
    EXPECT_EQ(countCells(fallingBlocks), 1);
    EXPECT_EQ(fallingBlocks[5][5][5], 1);
    EXPECT_EQ(countCells(blocks), 0);
}

TEST(Settle, SupportCrossesTheWrapSeam) {
    clearWorld();
    for (int y = 0; y <= 3; y++)
        blocks[0][y][7] = 1;
    blocks[49][3][7] = 1; // held across x = 49 | 0
    blocks[49][3][8] = 1;
    for (int y = 0; y <= 3; y++)
        blocks[20][y][0] = 1;
    blocks[20][3][49] = 1; // held across z = 49 | 0
    blocks[21][3][49] = 1;
    settleBlocks();
    EXPECT_FALSE(blocksFalling);
    EXPECT_EQ(blocks[49][3][7], 1);
    EXPECT_EQ(blocks[49][3][8], 1);
    EXPECT_EQ(blocks[20][3][49], 1);
    EXPECT_EQ(blocks[21][3][49], 1);
}

TEST(Settle, CeilingGivesNoSupport) {
    clearWorld();
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            ceilingHeight[x][z] = 10.5f;
    blocks[5][10][5] = 1; // reaches up into the ceiling
    settleBlocks();
    EXPECT_EQ(fallingBlocks[5][10][5], 1);
}

// --- Differential check against the sweep -----------------------------------

struct Snapshot {
    unsigned char blocks[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
    unsigned char falling[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
    bool blocksFalling;
};
Snapshot before, expected;

void save(Snapshot& s) {
    memcpy(s.blocks, blocks, sizeof blocks);
    memcpy(s.falling, fallingBlocks, sizeof fallingBlocks);
    s.blocksFalling = blocksFalling;
}
void restore(const Snapshot& s) {
    memcpy(blocks, s.blocks, sizeof blocks);
    memcpy(fallingBlocks, s.falling, sizeof fallingBlocks);
    blocksFalling = s.blocksFalling;
}

// Runs several steps from the current state with both algorithms and expects
// identical grids and flags after every step.
void expectSameAsSweep(const char* what, int steps) {
    for (int step = 0; step < steps; step++) {
        save(before);
        referenceSettleBlocks();
        save(expected);
        restore(before);
        settleBlocks();
        ASSERT_EQ(memcmp(blocks, expected.blocks, sizeof blocks), 0) << what << " step " << step;
        ASSERT_EQ(memcmp(fallingBlocks, expected.falling, sizeof fallingBlocks), 0)
            << what << " step " << step;
        ASSERT_EQ(blocksFalling, expected.blocksFalling) << what << " step " << step;
    }
}

void randomFloor(float low, float high) {
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            floorHeight[x][z] = low + (high - low) * (float)(rand() % 1000) / 1000.0f;
}

TEST(SettleMatchesSweep, RandomSoupsAndFloors) {
    srand(1234);
    for (int trial = 0; trial < 12; trial++) {
        clearWorld();
        randomFloor(0.25f, (float)(1 + trial % 6));
        int density = 10 + 7 * (trial % 6); // percent
        for (int x = 0; x < WORLD_SIZE; x++)
            for (int y = 0; y < WORLD_LEVELS; y++)
                for (int z = 0; z < WORLD_SIZE; z++) {
                    blocks[x][y][z] = rand() % 100 < density ? 1 : 0;
                    // Some falling cells, some of them overlapping blocks.
                    fallingBlocks[x][y][z] = rand() % 100 < density / 3 ? 1 : 0;
                }
        blocksFalling = trial % 2 == 0;
        expectSameAsSweep("soup", 4);
    }
}

TEST(SettleMatchesSweep, GeneratedLookingWorlds) {
    srand(99);
    for (int trial = 0; trial < 3; trial++) {
        clearWorld();
        randomFloor(0.25f, 8.0f);
        for (int x = 0; x < WORLD_SIZE; x++)
            for (int z = 0; z < WORLD_SIZE; z++) {
                blocks[x][0][z] = 1;
                blocks[x][24][z] = 1;
            }
        // Scattered towers and loose blocks, then a hole cut in level 24 walls.
        for (int i = 0; i < 300; i++) {
            int x = rand() % WORLD_SIZE, z = rand() % WORLD_SIZE, y = rand() % 30;
            int h = rand() % 6;
            for (int k = 0; k < h && y + k < WORLD_LEVELS; k++)
                blocks[x][y + k][z] = 1;
        }
        for (int x = 10; x < 40; x++)
            for (int z = 10; z < 40; z++)
                blocks[x][24][z] = 0;
        expectSameAsSweep("world", 6);
    }
}

// Shapes that climb against the sweep's order need many passes: a staircase
// rising toward lower x, a spiral, and a snake whose support is at its far end.
TEST(SettleMatchesSweep, AdversarialShapes) {
    clearWorld();
    blocks[49][0][25] = 1;
    for (int step = 0; step < WORLD_LEVELS - 1; step++) {
        int x = 49 - step;
        blocks[x][step][25] = 1;
        blocks[x - 1][step][25] = 1;
        blocks[x - 1][step + 1][25] = 1;
    }
    expectSameAsSweep("staircase", 3);
    EXPECT_FALSE(blocksFalling); // every stair holds the next
    EXPECT_EQ(blocks[49 - (WORLD_LEVELS - 2) - 1][WORLD_LEVELS - 1][25], 1);

    clearWorld();
    int x = 25, z = 25, y = 0;
    const int dx[4] = {-1, 0, 1, 0}, dz[4] = {0, -1, 0, 1};
    for (int leg = 0; y < WORLD_LEVELS - 1; leg++) {
        for (int i = 0; i < 1 + leg / 2 && y < WORLD_LEVELS - 1; i++) {
            blocks[wrapCell(x)][y][wrapCell(z)] = 1;
            x += dx[leg % 4];
            z += dz[leg % 4];
            blocks[wrapCell(x)][y][wrapCell(z)] = 1;
            y++;
        }
    }
    expectSameAsSweep("spiral", 3);
    EXPECT_FALSE(blocksFalling);

    clearWorld();
    int cells = serpentine(10);
    expectSameAsSweep("serpentine", 2);
    EXPECT_FALSE(blocksFalling);
    // Cut the post: the whole serpentine falls together and lands on the
    // post's foot, at level 1.
    for (int yy = 1; yy < 10; yy++)
        blocks[48][yy][48] = 0;
    expectSameAsSweep("cut serpentine", 12);
    int onBottom = 0;
    for (int xx = 0; xx < WORLD_SIZE; xx++)
        for (int zz = 0; zz < WORLD_SIZE; zz++)
            onBottom += blocks[xx][1][zz];
    EXPECT_EQ(onBottom, cells - 10);
    EXPECT_FALSE(blocksFalling);
}

} // namespace
