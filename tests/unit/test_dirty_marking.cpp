// test_dirty_marking.cpp: block edits and settling steps mark only the chunks
// whose meshes can change. Checked differentially: over long random
// sequences of edits, brush strokes and settling steps, after every rebuild
// each chunk's three meshes and three collision lists equal, value for value,
// what a rebuild of every chunk makes from the same grids.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game_fixture.h"
#include "physics/collision.h"

namespace {

struct Arrays {
    std::vector<float> positions, texCoords, normals;
    std::vector<float> corner0, corner1, corner2, normal, runs;
};

Arrays copyOf(const ChunkMesh& mesh, const CollisionList* list) {
    Arrays a;
    int n = mesh.vertexCount;
    a.positions.assign(mesh.positions, mesh.positions + 3 * n);
    a.texCoords.assign(mesh.texCoords, mesh.texCoords + 2 * n);
    if (mesh.normals != nullptr)
        a.normals.assign(mesh.normals, mesh.normals + 3 * n);
    int t = list != nullptr ? list->triangleCount : -1;
    if (t > 0) {
        a.corner0.assign(list->corner0, list->corner0 + 3 * t);
        a.corner1.assign(list->corner1, list->corner1 + 3 * t);
        a.corner2.assign(list->corner2, list->corner2 + 3 * t);
        a.normal.assign(list->normal, list->normal + 3 * t);
        a.runs.assign(list->groupBounds, list->groupBounds + 7 * list->groupCount);
    }
    return a;
}

// Every chunk's arrays, three kinds each.
std::vector<Arrays> snapshot() {
    std::vector<Arrays> all;
    for (int i = 0; i < CHUNK_TOTAL; i++) {
        all.push_back(copyOf(terrainMeshes[i], terrainCollision[i]));
        all.push_back(copyOf(blockMeshes[i], blockCollision[i]));
        all.push_back(copyOf(fallingMeshes[i], fallingCollision[i]));
    }
    return all;
}

// Bitwise equality, so that NaN normals of degenerate quads compare too.
bool same(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && (a.empty() || memcmp(a.data(), b.data(), 4 * a.size()) == 0);
}

const char* const KIND_NAMES[3] = {"terrain", "blocks", "falling"};

unsigned int randomState = 1;
int randomBelow(int n) {
    randomState = randomState * 1103515245u + 12345u;
    return (int)((randomState >> 8) % (unsigned)n);
}

// A column index that lands on a chunk border (or the wrap seam) half of
// the time.
int borderBiasedCell() {
    if (randomBelow(2) == 0)
        return randomBelow(WORLD_SIZE);
    int chunk = randomBelow(CHUNK_COUNT);
    return chunk * CHUNK_SIZE + (randomBelow(2) == 0 ? 0 : CHUNK_SIZE - 1);
}

// The block cell (x, y, z) through the game's own edit, addressed from any
// of the world's repeats.
bool setCell(int x, int y, int z, unsigned char value) {
    float repeatX = (float)(WORLD_SIZE * (randomBelow(5) - 2));
    float repeatZ = (float)(WORLD_SIZE * (randomBelow(5) - 2));
    Vector3 p{x + 0.5f + repeatX, y + 0.5f, z + 0.5f + repeatZ};
    return setBlockAtPoint(p, value);
}

// One random change, as one frame of play (or a scripted burst) makes it.
void randomChange(std::vector<int>& placed) {
    int kind = randomBelow(20);
    if (kind < 6) { // a block anywhere, often in mid-air, so it falls
        int x = borderBiasedCell(), y = randomBelow(WORLD_LEVELS), z = borderBiasedCell();
        if (setCell(x, y, z, 1))
            placed.push_back((x * WORLD_LEVELS + y) * WORLD_SIZE + z);
    } else if (kind < 9) { // a bar across a chunk border, hanging free
        int x = borderBiasedCell(), y = 8 + randomBelow(20), z = borderBiasedCell();
        bool alongX = randomBelow(2) == 0;
        for (int k = -3; k <= 3; k++)
            setCell(alongX ? x + k : x, y, alongX ? z : z + k, 1);
    } else if (kind < 12) { // remove a block placed earlier, or one of the cave's
        if (!placed.empty() && randomBelow(3) != 0) {
            int at = randomBelow((int)placed.size());
            int cell = placed[at];
            placed.erase(placed.begin() + at);
            setCell(cell / (WORLD_LEVELS * WORLD_SIZE), (cell / WORLD_SIZE) % WORLD_LEVELS,
                    cell % WORLD_SIZE, 0);
        } else {
            setCell(borderBiasedCell(), randomBelow(WORLD_LEVELS), borderBiasedCell(), 0);
        }
    } else if (kind < 13) { // the terrain brush, raising or carving hard
        float amount = randomBelow(2) == 0 ? 0.3f : -0.3f;
        shapeTerrain((float)randomBelow(WORLD_SIZE), 1.0f + (float)randomBelow(8),
                     (float)randomBelow(WORLD_SIZE), 5.0f, amount);
    } else { // a settling step (the clock runs ten ticks in one)
        runSettlingClock(10.0f);
    }
}

int fallingCount() {
    int count = 0;
    const unsigned char* cell = &fallingBlocks[0][0][0];
    for (int i = 0; i < WORLD_SIZE * WORLD_LEVELS * WORLD_SIZE; i++)
        count += cell[i];
    return count;
}

void checkAgainstFullRebuild(unsigned int seed, bool merge, bool light, int changes) {
    freshWorld(seed, false);
    optimizeGeometry = merge;
    useLight = light;
    markAllChunksDirty();
    rebuildDirtyChunks();
    randomState = seed;
    std::vector<int> placed;
    int fallingSteps = 0, landings = 0;
    for (int step = 0; step < changes; step++) {
        int fallingBefore = fallingCount();
        randomChange(placed);
        rebuildDirtyChunks();
        int fallingAfter = fallingCount();
        fallingSteps += fallingAfter > 0;
        landings += fallingAfter < fallingBefore; // some landed (or merged)
        std::vector<Arrays> incremental = snapshot();
        markAllChunksDirty();
        rebuildDirtyChunks();
        std::vector<Arrays> full = snapshot();
        for (int i = 0; i < 3 * CHUNK_TOTAL; i++) {
            const Arrays& a = incremental[i];
            const Arrays& b = full[i];
            bool equal = same(a.positions, b.positions) && same(a.texCoords, b.texCoords) &&
                         same(a.normals, b.normals) && same(a.corner0, b.corner0) &&
                         same(a.corner1, b.corner1) && same(a.corner2, b.corner2) &&
                         same(a.normal, b.normal) && same(a.runs, b.runs);
            ASSERT_TRUE(equal) << "seed " << seed << ", change " << step << ": chunk " << i / 3
                               << ", " << KIND_NAMES[i % 3] << " differs from a full rebuild";
        }
    }
    // The sequence really exercised the settling: blocks fell and landed.
    EXPECT_GT(fallingSteps, changes / 10) << "seed " << seed;
    EXPECT_GT(landings, changes / 20) << "seed " << seed;
}

TEST(DirtyMarking, IncrementalMeshesEqualAFullRebuild) {
    checkAgainstFullRebuild(11, true, true, 150);
    checkAgainstFullRebuild(12, false, false, 150);
    checkAgainstFullRebuild(13, true, false, 150);
}

std::vector<int> markedChunks() {
    std::vector<int> marked;
    for (int i = 0; i < CHUNK_TOTAL; i++)
        if (chunkDirty[i])
            marked.push_back(i);
    return marked;
}

TEST(DirtyMarking, ABlockEditMarksItsChunkAndOccupiedNeighboursAcrossBorders) {
    freshWorld(5, false);
    struct Case {
        int x, z;
        std::vector<int> acrossBorders; // chunks (cx * 10 + cz) of neighbours in other chunks
    } cases[] = {
        {12, 12, {}},       // inside chunk (2, 2)
        {10, 12, {12}},     // on its low-x border
        {14, 14, {23, 32}}, // at its high corner
        {0, 0, {9, 90}},    // across both wrap seams
        {49, 27, {5}},      // x seam
    };
    const int y = 30; // empty in the generated cave
    for (const Case& c : cases) {
        int own = (c.x / 5) * 10 + c.z / 5;
        // Nothing around: only the cell's own chunk can change.
        memset(chunkDirty, 0, sizeof chunkDirty);
        ASSERT_EQ(blocks[c.x][y][c.z], 0);
        ASSERT_TRUE(setCell(c.x, y, c.z, 1));
        EXPECT_EQ(markedChunks(), std::vector<int>{own}) << "cell " << c.x << ", " << c.z;
        ASSERT_TRUE(setCell(c.x, y, c.z, 0));
        // Blocks in all four neighbours: their chunks show faces toward the
        // cell, so every chunk across a border changes too.
        const int around[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& d : around)
            blocks[wrapCell(c.x + d[0])][y][wrapCell(c.z + d[1])] = 1;
        for (unsigned char value : {1, 0}) {
            memset(chunkDirty, 0, sizeof chunkDirty);
            ASSERT_TRUE(setCell(c.x, y, c.z, value));
            std::vector<int> expected = c.acrossBorders;
            expected.push_back(own);
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(markedChunks(), expected) << "cell " << c.x << ", " << c.z;
        }
        // A no-op marks nothing.
        memset(chunkDirty, 0, sizeof chunkDirty);
        EXPECT_FALSE(setCell(c.x, y, c.z, 0));
        EXPECT_TRUE(markedChunks().empty());
        for (const auto& d : around)
            blocks[wrapCell(c.x + d[0])][y][wrapCell(c.z + d[1])] = 0;
    }
}

TEST(DirtyMarking, ASettlingStepMarksWhereTheGridsChanged) {
    freshWorld(6, false);
    // One block hanging in column (32, 17): it and its four neighbouring
    // columns all lie in chunk (6, 3), so that chunk alone changes.
    blocks[32][20][17] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
    memset(chunkDirty, 0, sizeof chunkDirty);
    runSettlingClock(10.0f);
    ASSERT_TRUE(blocksFalling);
    for (int i = 0; i < CHUNK_TOTAL; i++)
        EXPECT_EQ(chunkDirty[i], i == 63 ? 1 : 0) << "chunk " << i;
    // Before the next step is due nothing changes and nothing is marked.
    rebuildDirtyChunks();
    memset(chunkDirty, 0, sizeof chunkDirty);
    runSettlingClock(1.0f);
    for (int i = 0; i < CHUNK_TOTAL; i++) {
        EXPECT_EQ(chunkDirty[i], 0) << "chunk " << i;
        EXPECT_EQ(fallingDirty[i], 0) << "chunk " << i;
    }
    // The next step only moves the falling block down a level: only the
    // falling mesh of its chunk is to be rebuilt, and the rebuild clears it.
    runSettlingClock(10.0f);
    ASSERT_TRUE(blocksFalling);
    ASSERT_EQ(fallingBlocks[32][19][17], 1);
    for (int i = 0; i < CHUNK_TOTAL; i++) {
        EXPECT_EQ(chunkDirty[i], 0) << "chunk " << i;
        EXPECT_EQ(fallingDirty[i], i == 63 ? 1 : 0) << "chunk " << i;
    }
    const float* before = fallingMeshes[63].positions;
    float lowestBefore = 100.0f;
    for (int v = 0; v < fallingMeshes[63].vertexCount; v++)
        lowestBefore = std::min(lowestBefore, before[3 * v + 1]);
    EXPECT_EQ(lowestBefore, 20.0f);
    rebuildDirtyChunks();
    EXPECT_EQ(fallingDirty[63], 0);
    float lowestAfter = 100.0f;
    for (int v = 0; v < fallingMeshes[63].vertexCount; v++)
        lowestAfter = std::min(lowestAfter, fallingMeshes[63].positions[3 * v + 1]);
    EXPECT_EQ(lowestAfter, 19.0f);
}

} // namespace
