// test_block_mesh_fast.cpp: the game's block face builder, with its work
// arrays over one chunk, against the straightforward builder with arrays over
// the whole world (block_mesh_reference.h): on many random worlds, with and
// without merging and lighting, every chunk's mesh is the same, value for
// value and in the same order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "block_mesh_reference.h"

namespace {

unsigned int randomState = 99;
int randomBelow(int n) {
    randomState = randomState * 1103515245u + 12345u;
    return (int)((randomState >> 8) % (unsigned)n);
}

bool sameArray(const float* a, const float* b, int count) {
    if (count == 0)
        return true;
    if (a == nullptr || b == nullptr)
        return a == b;
    return memcmp(a, b, sizeof(float) * count) == 0;
}

// A world of random blocks: dense boxes (merging has work), scattered single
// blocks, full columns (tall side faces), and a floor that buries some.
void randomWorld(int density) {
    memset(blocks, 0, sizeof blocks);
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            floorHeight[x][z] = 0.25f + (float)randomBelow(1200) / 100.0f;
    for (int box = 0; box < 30; box++) {
        int x0 = randomBelow(WORLD_SIZE), y0 = randomBelow(WORLD_LEVELS),
            z0 = randomBelow(WORLD_SIZE);
        int w = 1 + randomBelow(8), h = 1 + randomBelow(12), d = 1 + randomBelow(8);
        for (int x = x0; x < x0 + w; x++)
            for (int y = y0; y < y0 + h && y < WORLD_LEVELS; y++)
                for (int z = z0; z < z0 + d; z++)
                    blocks[wrapCell(x)][y][wrapCell(z)] = 1;
    }
    for (int i = 0; i < density * 500; i++)
        blocks[randomBelow(WORLD_SIZE)][randomBelow(WORLD_LEVELS)][randomBelow(WORLD_SIZE)] = 1;
    for (int c = 0; c < 10; c++) {
        int x = randomBelow(WORLD_SIZE), z = randomBelow(WORLD_SIZE);
        for (int y = 0; y < WORLD_LEVELS; y++)
            blocks[x][y][z] = 1;
    }
}

TEST(BlockMeshBuilder, EqualsTheStraightforwardBuilderOnRandomWorlds) {
    fillTextureTables();
    ChunkMesh reference{0, nullptr, nullptr, nullptr};
    int quads = 0;
    for (int world = 0; world < 24; world++) {
        randomWorld(world % 6);
        optimizeGeometry = world % 2 == 0;
        useLight = world % 3 != 0;
        for (int cx = 0; cx < CHUNK_COUNT; cx++) {
            for (int cz = 0; cz < CHUNK_COUNT; cz++) {
                buildBlockMesh(cx, cz);
                referenceBuildBlockMesh(cx, cz, reference);
                const ChunkMesh& mesh = blockMeshes[chunkIndex(cx, cz)];
                ASSERT_EQ(mesh.vertexCount, reference.vertexCount)
                    << "world " << world << " chunk " << cx << "," << cz;
                int n = mesh.vertexCount;
                ASSERT_TRUE(sameArray(mesh.positions, reference.positions, 3 * n))
                    << "world " << world << " chunk " << cx << "," << cz;
                ASSERT_TRUE(sameArray(mesh.texCoords, reference.texCoords, 2 * n))
                    << "world " << world << " chunk " << cx << "," << cz;
                if (useLight) {
                    ASSERT_TRUE(sameArray(mesh.normals, reference.normals, 3 * n))
                        << "world " << world << " chunk " << cx << "," << cz;
                }
                quads += n / 4;
            }
        }
    }
    delete[] reference.positions;
    delete[] reference.texCoords;
    delete[] reference.normals;
    EXPECT_GT(quads, 100000); // the worlds were not trivially empty
}

} // namespace
