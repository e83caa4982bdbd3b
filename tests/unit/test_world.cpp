// test_world.cpp: the world grids: block settling, generation and the new
// game, and which chunks a change of the grids marks for rebuilding.
#include <string>

#include "game/pose.h"
#include "game_fixture.h"
#include "physics/collision.h"

namespace {

// The settling step as its rule reads: after the drop and the lift-out, sweep
// the grid in place until a whole pass restores nothing.
bool heldWhereItIs(int x, int y, int z) {
    int xp = (x + 1) % 50, xm = (x + 49) % 50, zp = (z + 1) % 50, zm = (z + 49) % 50;
    float fy = (float)y;
    return y == 0 || floorHeight[x][z] > fy || floorHeight[xp][z] > fy || floorHeight[x][zp] > fy ||
           floorHeight[xp][zp] > fy || blocks[xm][y][z] || blocks[xp][y][z] || blocks[x][y][zm] ||
           blocks[x][y][zp] || blocks[x][y > 0 ? y - 1 : 0][z] || blocks[x][y < 34 ? y + 1 : 34][z];
}

void sweepSettle() {
    eachCell([](int x, int y, int z) {
        if (blocksFalling)
            fallingBlocks[x][y][z] = y < 34 ? fallingBlocks[x][y + 1][z] : 0;
    });
    eachCell([](int x, int y, int z) {
        if (blocks[x][y][z] == 1)
            blocks[x][y][z] = 0, fallingBlocks[x][y][z] = 1;
    });
    for (bool changed = true; changed;) {
        changed = false;
        eachCell([&](int x, int y, int z) {
            if (fallingBlocks[x][y][z] == 1 && heldWhereItIs(x, y, z))
                blocks[x][y][z] = 1, fallingBlocks[x][y][z] = 0, changed = true;
        });
    }
    blocksFalling = countCells(fallingBlocks) > 0;
}

// Both block grids and the flag, to compare and to put back.
std::string blockState() {
    std::string s((const char*)blocks, sizeof blocks);
    return s.append((const char*)fallingBlocks, sizeof blocks).append(1, blocksFalling);
}
void putBlockState(const std::string& s) {
    memcpy(blocks, s.data(), sizeof blocks);
    memcpy(fallingBlocks, s.data() + sizeof blocks, sizeof blocks);
    blocksFalling = s.back();
}

TEST(Settle, FloodFillMatchesTheSweep) {
    Rng rng(1234);
    for (int trial = 0; trial < 10; trial++) {
        emptyCave(0.25f, 34.75f);
        for (int x = 0; x < 50; x++)
            for (int z = 0; z < 50; z++)
                floorHeight[x][z] = rng.uniform(0.25f, 1.0f + (float)(trial % 6));
        int density = 4 + 7 * (trial % 5); // percent
        eachCell([&](int x, int y, int z) {
            blocks[x][y][z] = rng.below(100) < density;
            fallingBlocks[x][y][z] = rng.below(300) < density; // some on blocks
        });
        for (int bar = 0; bar < 30; bar++) { // hanging bars across the seams, some on a post
            int x = rng.below(50), y = 1 + rng.below(33), z = rng.below(50), alongX = bar % 2;
            for (int k = 0; k < 12; k++)
                blocks[(x + k * alongX) % 50][y][(z + k * (1 - alongX)) % 50] = 1;
            for (int post = 0; post < y && bar % 3 == 0; post++)
                blocks[x][post][z] = 1;
        }
        blocksFalling = trial % 2 == 0;
        for (int step = 0; step < 4; step++) {
            std::string start = blockState();
            sweepSettle();
            std::string swept = blockState();
            putBlockState(start);
            settleBlocks();
            ASSERT_TRUE(blockState() == swept) << "trial " << trial << " step " << step;
        }
    }
}

float gridA[50][50], gridB[50][50];

// Seed 7 draws 677, 299 and 899 first (of 1000): the first cells of row 0, from low in steps of a
// thousandth of the span toward high (which may lie below low). One smoothing pass keeps the sum,
// and each sample becomes the mean of itself and its four neighbours, across the world's edge.
TEST(Generation, HeightFieldsDrawInStepsAndSmoothingKeepsTheSum) {
    const float ranges[2][3] = {{2, 12, 1}, {12, 2, -1}};
    for (const auto& r : ranges) {
        srand(7);
        generateHeightField(gridA, r[0], r[1], 0);
        EXPECT_NEAR(gridA[0][0], r[0] + 6.77f * r[2], 1e-4f);
        EXPECT_NEAR(gridA[0][1], r[0] + 2.99f * r[2], 1e-4f);
        EXPECT_NEAR(gridA[0][2], r[0] + 8.99f * r[2], 1e-4f);
        double raw = 0, smooth = 0;
        srand(7);
        generateHeightField(gridB, r[0], r[1], 1);
        for (int x = 0; x < 50; x++)
            for (int z = 0; z < 50; z++) {
                const float steps = (gridA[x][z] - r[0]) * r[2] * 100;
                ASSERT_NEAR(steps, std::round(steps), 2e-3f) << x << "," << z;
                ASSERT_TRUE(steps > -0.5f && steps < 999.5f) << x << "," << z;
                raw += gridA[x][z], smooth += gridB[x][z];
            }
        EXPECT_NEAR(smooth, raw, 1e-2);
        EXPECT_NEAR(5 * gridB[0][0],
                    gridA[0][0] + gridA[49][0] + gridA[1][0] + gridA[0][49] + gridA[0][1], 1e-4f);
        EXPECT_NEAR(5 * gridB[49][49],
                    gridA[49][49] + gridA[48][49] + gridA[0][49] + gridA[49][48] + gridA[49][0],
                    1e-4f);
    }
}

TEST(Generation, LayoutClampsAndDrawOrder) {
    useWater = false;
    srand(42);
    generateWorld();
    // Layers 0 and 24; walls: 19 levels of 36 cells beside the openings, 5
    // levels of the whole ring of 196.
    EXPECT_EQ(countCells(blocks), 2 * 2500 + 19 * 36 + 5 * 196);
    EXPECT_FALSE(blocksFalling);
    const int cells[][4] = {{25, 0, 25, 1},  {25, 24, 25, 1}, {25, 25, 25, 0}, {0, 25, 0, 1},
                            {0, 26, 0, 0},   {0, 10, 4, 1},   {0, 10, 5, 0},   {49, 19, 44, 0},
                            {49, 20, 44, 1}, {30, 10, 49, 0}, {45, 10, 49, 1}, {4, 10, 0, 1}};
    for (const auto& c : cells)
        EXPECT_EQ(blocks[c[0]][c[1]][c[2]], c[3]) << c[0] << "," << c[1] << "," << c[2];
    for (int x = 0; x < 50; x++)
        for (int z = 0; z < 50; z++)
            ASSERT_TRUE(floorHeight[x][z] >= 0.25f && ceilingHeight[x][z] <= 34.75f);
    // Water is drawn after floor and ceiling, so switching it on leaves them as they were.
    memcpy(gridA, floorHeight, sizeof gridA);
    memcpy(gridB, ceilingHeight, sizeof gridB);
    useWater = true;
    srand(42);
    generateWorld();
    EXPECT_EQ(memcmp(gridA, floorHeight, sizeof gridA), 0);
    EXPECT_EQ(memcmp(gridB, ceilingHeight, sizeof gridB), 0);
    useWater = false;
}

TEST(Generation, NewWorldStartsReady) {
    thirdPersonCamera.pitch = viewCamera.yaw = 1.0f; // nothing of a game before carries over
    freshWorld(11, false);
    EXPECT_TRUE(thirdPersonCamera.pitch == 0.0f && viewCamera.yaw == 0.0f);
    for (const Vector3& p : {player.position, firstPersonCamera.position,
                             thirdPersonCamera.position, viewCamera.position})
        EXPECT_TRUE(p.x == 25.0f && p.y == 10.0f && p.z == 25.0f);
    EXPECT_TRUE(floorHeight[25][25] < 10.0f && blocks[25][10][25] == 0);
    for (int i = 0; i < CHUNK_TOTAL; i++) {
        EXPECT_EQ(chunkDirty[i], 0);
        ASSERT_TRUE(terrainCollision[i] && blockCollision[i] && fallingCollision[i]);
        EXPECT_GT(blockMeshes[i].vertexCount, 0); // the bottom layer's top at least
    }
    EXPECT_TRUE(settleReady);
}

// A planted foot stays while its leg is shorter than the reach of 1.99, and
// steps under its hip once it is not, however the stretch is split.
TEST(Pose, FeetStepPastTheirReachAndAHandAtItsShoulderStays) {
    freshWorld(11, false);
    Figure f;
    memset(&f, 0, sizeof f);
    f.position = Vector3{25.0f, 20.0f, 25.0f}, f.pitch = 0.5f; // the first hip at (25, 20.15, 25.4)
    for (float ahead : {1.2f, 1.4f}) {                         // legs of 1.92 and 2.05
        f.footPlanted[0] = true, f.footX[0] = 25.0f, f.footY[0] = 18.65f;
        f.footZ[0] = 25.4f - ahead;
        poseFigureBody(f);
        EXPECT_EQ(f.footZ[0] == 25.4f - ahead, ahead < 1.3f) << ahead;
    }
    EXPECT_NEAR(f.head.x - 25.0f, 0.4f * std::cos(2.0707963f), 1e-6f); // tipped as it looks down
    EXPECT_NEAR(f.head.y - 21.25f, 0.4f * std::sin(2.0707963f), 1e-5f);
    poseFigureArms(f); // a target right at a shoulder: that hand stays on it
    f.target = Vector3{f.shoulderX[1], f.shoulderY[1], f.shoulderZ[1]};
    poseFigureArms(f);
    EXPECT_TRUE(f.handX[1] == f.target.x && f.handY[1] == f.target.y && f.handZ[1] == f.target.z);
}

// Every chunk's meshes and lists, bit for bit.
std::string chunkArrays() {
    std::string all;
    auto add = [&](const float* a, int n) { all.append((const char*)a, n * sizeof(float)); };
    const ChunkMesh* meshes[3] = {terrainMeshes, blockMeshes, fallingMeshes};
    CollisionList** lists[3] = {terrainCollision, blockCollision, fallingCollision};
    for (int i = 0; i < CHUNK_TOTAL; i++)
        for (int k = 0; k < 3; k++) {
            const ChunkMesh& m = meshes[k][i];
            const CollisionList& l = *lists[k][i];
            add(m.positions, 3 * m.vertexCount), add(m.texCoords, 2 * m.vertexCount);
            add(m.normals, m.normals ? 3 * m.vertexCount : 0);
            for (const float* a : {l.corner0, l.corner1, l.corner2, l.normal})
                add(a, 3 * l.triangleCount);
            add(l.groupBounds, 7 * l.groupCount);
            all.append("|");
        }
    return all;
}

// Cell (x, y, z) through the game's own edit, from any repeat of the world.
bool setCell(Rng& rng, int x, int y, int z, unsigned char value) {
    float dx = 50.0f * (rng.below(5) - 2), dz = 50.0f * (rng.below(5) - 2);
    return setBlockAtPoint(Vector3{x + 0.5f + dx, y + 0.5f, z + 0.5f + dz}, value);
}

// Edits, brush strokes and settling steps as play makes them, on chunk borders half of the time;
// after each, the chunks rebuilt as marked equal a rebuild of every chunk.
TEST(DirtyMarking, MarkedRebuildsEqualAFullRebuild) {
    for (unsigned seed : {11u, 12u, 13u}) {
        freshWorld(seed, false);
        optimizeGeometry = seed != 12, useLight = seed == 11;
        markAllChunksDirty();
        rebuildDirtyChunks();
        Rng rng(seed);
        int fallingFrames = 0;
        for (int change = 0; change < 60; change++) {
            int kind = rng.below(20), x = rng.below(50), z = rng.below(50), y = rng.below(35);
            if (rng.below(2))
                x = 5 * rng.below(10) + 4 * rng.below(2), z = 5 * rng.below(10) + 4 * rng.below(2);
            if (kind < 7) {
                setCell(rng, x, y, z, 1); // often in mid-air
            } else if (kind < 10) {
                for (int k = -3, alongX = rng.below(2); k <= 3; k++) // a hanging bar
                    setCell(rng, x + k * alongX, 8 + y % 20, z + k * (1 - alongX), 1);
            } else if (kind < 13) {
                setCell(rng, x, y, z, 0);
            } else if (kind < 14) {
                shapeTerrain((float)x, 1.0f + y % 8, (float)z, 5.0f, rng.below(2) ? 0.3f : -0.3f);
            } else {
                runSettlingClock(10.0f);
            }
            rebuildDirtyChunks();
            fallingFrames += blocksFalling;
            std::string marked = chunkArrays();
            markAllChunksDirty();
            rebuildDirtyChunks();
            ASSERT_TRUE(marked == chunkArrays()) << "seed " << seed << " change " << change;
        }
        EXPECT_GT(fallingFrames, 10) << seed; // settling really ran
    }
    optimizeGeometry = useLight = false;
}

std::vector<int> markedChunks() {
    std::vector<int> marked;
    for (int i = 0; i < CHUNK_TOTAL; i++)
        if (chunkDirty[i])
            marked.push_back(i);
    memset(chunkDirty, 0, sizeof chunkDirty);
    return marked;
}

TEST(DirtyMarking, ASettlingStepMarksWhereTheGridsChanged) {
    freshWorld(6, false);
    blocks[32][20][17] = 1; // hanging; its column and its neighbours' lie in chunk 63
    markAllChunksDirty();
    rebuildDirtyChunks();
    runSettlingClock(10.0f); // lifted out: solid and falling meshes change
    EXPECT_EQ(markedChunks(), std::vector<int>{63});
    rebuildDirtyChunks();
    runSettlingClock(1.0f);  // no step due
    runSettlingClock(10.0f); // only the falling block moved
    EXPECT_TRUE(markedChunks().empty());
    for (int i = 0; i < CHUNK_TOTAL; i++)
        EXPECT_EQ(fallingDirty[i], i == 63 ? 1 : 0) << i;
    rebuildDirtyChunks();
    EXPECT_EQ(fallingDirty[63], 0);
}

} // namespace
