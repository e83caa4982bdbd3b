// test_meshes.cpp: the terrain, block and falling meshes and their collision
// lists, on small hand-made scenes with exact expectations and on whole
// generated worlds with invariants.
#include "app/settings.h"
#include "meshing/chunks.h"
#include "world/new_game.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <tuple>
#include <vector>

namespace {

void flatWorld(float floor = 0.25f, float ceiling = 34.75f) {
    memset(blocks, 0, sizeof blocks);
    memset(fallingBlocks, 0, sizeof fallingBlocks);
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++) {
            floorHeight[x][z] = floor;
            ceilingHeight[x][z] = ceiling;
        }
    fillTextureTables();
}

struct Vec {
    float x, y, z;
};
Vec vertex(const ChunkMesh& m, int v) {
    return Vec{m.positions[3 * v], m.positions[3 * v + 1], m.positions[3 * v + 2]};
}
Vec sub(Vec a, Vec b) {
    return Vec{a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec cross(Vec a, Vec b) {
    return Vec{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
float length(Vec a) {
    return std::sqrt(dot(a, a));
}

// The front side of quad q by its first three corners (counter-clockwise
// seen from the front), unnormalised; independent of quadNormals.
Vec frontOf(const ChunkMesh& m, int q) {
    Vec p0 = vertex(m, 4 * q), p1 = vertex(m, 4 * q + 1), p2 = vertex(m, 4 * q + 2);
    return cross(sub(p1, p0), sub(p2, p0));
}

int quadCount(const ChunkMesh& m) {
    return m.vertexCount / 4;
}

// A quad's face as (first corner of the box it spans, front direction, size).
struct QuadBox {
    float minX, minY, minZ, maxX, maxY, maxZ;
};
QuadBox boxOf(const ChunkMesh& m, int q) {
    QuadBox b = {1e9f, 1e9f, 1e9f, -1e9f, -1e9f, -1e9f};
    for (int v = 4 * q; v < 4 * q + 4; v++) {
        Vec p = vertex(m, v);
        b.minX = std::min(b.minX, p.x), b.maxX = std::max(b.maxX, p.x);
        b.minY = std::min(b.minY, p.y), b.maxY = std::max(b.maxY, p.y);
        b.minZ = std::min(b.minZ, p.z), b.maxZ = std::max(b.maxZ, p.z);
    }
    return b;
}

void rebuildAll() {
    markAllChunksDirty();
    rebuildDirtyChunks();
}

TEST(BlockMesh, SingleBlocksAndBuriedBlocks) {
    optimizeGeometry = false;
    useLight = false;
    flatWorld(0.25f);
    blocks[2][5][3] = 1;
    buildBlockMesh(0, 0);
    const ChunkMesh& m = blockMeshes[0];
    ASSERT_EQ(m.vertexCount, 24);
    EXPECT_EQ(m.normals, nullptr);
    // Faces in PosX, NegX, PosY, NegY, PosZ, NegZ order, corners as tabled.
    const float expected[6][3] = {{3, 6, 3}, {2, 6, 4}, {2, 6, 4}, {2, 5, 3}, {3, 6, 4}, {2, 6, 3}};
    for (int f = 0; f < 6; f++) {
        Vec p = vertex(m, 4 * f);
        EXPECT_EQ(p.x, expected[f][0]) << "face " << f;
        EXPECT_EQ(p.y, expected[f][1]) << "face " << f;
        EXPECT_EQ(p.z, expected[f][2]) << "face " << f;
    }
    // Every face of a lone block looks away from the block's centre.
    Vec centre = {2.5f, 5.5f, 3.5f};
    for (int q = 0; q < 6; q++) {
        Vec mid = vertex(m, 4 * q);
        Vec opposite = vertex(m, 4 * q + 2);
        Vec faceCentre = {(mid.x + opposite.x) / 2, (mid.y + opposite.y) / 2,
                          (mid.z + opposite.z) / 2};
        EXPECT_GT(dot(frontOf(m, q), sub(faceCentre, centre)), 0.0f) << "quad " << q;
    }
    // 1 x 1 texture coordinates.
    const float uv[8] = {0.0625f, 0.125f, 0.1875f, 0.125f, 0.1875f, 0.0f, 0.0625f, 0.0f};
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(m.texCoords[i], uv[i]);

    // On level 0 over a floor at or below 1 at some corner: no bottom face.
    flatWorld(0.25f);
    blocks[2][0][3] = 1;
    buildBlockMesh(0, 0);
    EXPECT_EQ(blockMeshes[0].vertexCount, 20);
    // Level 34 shows its top; the level below shows its bottom face only
    // where some floor corner is at or below it.
    flatWorld(0.25f);
    blocks[1][34][1] = 1;
    buildBlockMesh(0, 0);
    EXPECT_EQ(blockMeshes[0].vertexCount, 24);

    // Buried: the floor is above the block's top at all four corners.
    flatWorld(10.0f);
    blocks[2][5][3] = 1;
    buildBlockMesh(0, 0);
    EXPECT_EQ(blockMeshes[0].vertexCount, 0);
    // Sunk partly (one corner at 6, the block's top): all faces but the
    // bottom, whose corners are all above 5.
    floorHeight[3][4] = 6.0f;
    buildBlockMesh(0, 0);
    EXPECT_EQ(blockMeshes[0].vertexCount, 20);
}

TEST(BlockMesh, MergingRowsLayersAndPillars) {
    useLight = false;
    flatWorld(0.25f);
    blocks[1][5][1] = 1;
    blocks[2][5][1] = 1;
    optimizeGeometry = false;
    buildBlockMesh(0, 0);
    EXPECT_EQ(quadCount(blockMeshes[0]), 10); // no faces between them
    optimizeGeometry = true;
    buildBlockMesh(0, 0);
    const ChunkMesh& m = blockMeshes[0];
    ASSERT_EQ(quadCount(m), 6);
    // Cell (1,5,1) emits PosY, NegY, PosZ and NegZ merged to W = 2, and NegX;
    // cell (2,5,1) keeps only PosX.
    int wide = 0;
    for (int q = 0; q < 6; q++) {
        QuadBox b = boxOf(m, q);
        if (b.maxX - b.minX == 2.0f)
            wide++;
        if (b.maxY - b.minY == 0.0f) { // top or bottom
            EXPECT_EQ(b.maxZ - b.minZ, 1.0f);
            EXPECT_EQ(m.texCoords[8 * q + 2], 0.0625f + 0.25f); // u for W = 2
            EXPECT_EQ(m.texCoords[8 * q + 1], 0.125f);          // v for H = 1
        }
    }
    EXPECT_EQ(wide, 4);

    // A 5 x 5 layer spanning two chunks: one top quad per chunk.
    flatWorld(0.25f);
    for (int x = 0; x < 10; x++)
        for (int z = 0; z < 5; z++)
            blocks[x][7][z] = 1;
    buildBlockMesh(0, 0);
    buildBlockMesh(1, 0);
    for (int c : {chunkIndex(0, 0), chunkIndex(1, 0)}) {
        int tops = 0;
        for (int q = 0; q < quadCount(blockMeshes[c]); q++) {
            QuadBox b = boxOf(blockMeshes[c], q);
            if (b.minY == 8.0f && b.maxY == 8.0f) {
                tops++;
                EXPECT_EQ(b.maxX - b.minX, 5.0f);
                EXPECT_EQ(b.maxZ - b.minZ, 5.0f);
                EXPECT_EQ(b.minX, 0.0f); // chunk-local
            }
        }
        EXPECT_EQ(tops, 1) << "chunk " << c;
    }

    // A 30-block pillar over a low floor: four sides of H = 30, one top, one
    // bottom, with the side texture running to v = 3.75.
    flatWorld(0.25f);
    for (int y = 1; y <= 30; y++)
        blocks[12][y][13] = 1;
    buildBlockMesh(2, 2);
    const ChunkMesh& p = blockMeshes[chunkIndex(2, 2)];
    ASSERT_EQ(quadCount(p), 6);
    int sides = 0;
    for (int q = 0; q < 6; q++) {
        QuadBox b = boxOf(p, q);
        if (b.maxY - b.minY == 30.0f) {
            sides++;
            EXPECT_EQ(b.minY, 1.0f);
            EXPECT_EQ(p.texCoords[8 * q + 1], 3.75f);   // corner 1 v
            EXPECT_EQ(p.texCoords[8 * q + 2], 0.1875f); // corner 2 u, W = 1
            EXPECT_EQ(p.texCoords[8 * q + 5], 0.0f);
        }
    }
    EXPECT_EQ(sides, 4);
    optimizeGeometry = false;
}

TEST(BlockMesh, WrapSeamAndFallingNeighbours) {
    optimizeGeometry = false;
    useLight = false;
    flatWorld(0.25f);
    blocks[49][5][3] = 1;
    blocks[0][5][3] = 1;
    buildBlockMesh(9, 0);
    buildBlockMesh(0, 0);
    EXPECT_EQ(quadCount(blockMeshes[chunkIndex(9, 0)]), 5);
    EXPECT_EQ(quadCount(blockMeshes[chunkIndex(0, 0)]), 5);
    for (int q = 0; q < 5; q++) {
        EXPECT_NE(boxOf(blockMeshes[chunkIndex(9, 0)], q).minX, 5.0f); // no PosX at x' = 5
        QuadBox b = boxOf(blockMeshes[chunkIndex(0, 0)], q);
        EXPECT_FALSE(b.minX == 0.0f && b.maxX == 0.0f); // no NegX at x' = 0
    }

    // A falling block beside a solid one: each shows the face between them.
    flatWorld(0.25f);
    blocks[10][5][10] = 1;
    fallingBlocks[11][5][10] = 1;
    fallingBlocks[11][6][10] = 1; // stacked on the first: the face between is hidden
    buildBlockMesh(2, 2);
    buildFallingMesh(2, 2);
    const ChunkMesh& solid = blockMeshes[chunkIndex(2, 2)];
    const ChunkMesh& falling = fallingMeshes[chunkIndex(2, 2)];
    EXPECT_EQ(quadCount(solid), 6);
    EXPECT_EQ(quadCount(falling), 10);
    EXPECT_EQ(boxOf(solid, 0).minX, 1.0f);   // PosX at the shared plane x' = 1
    EXPECT_EQ(boxOf(falling, 1).minX, 1.0f); // lower falling block's NegX
    EXPECT_EQ(boxOf(falling, 1).maxX, 1.0f);
    // Falling corners as tabled, always 1 x 1 coordinates.
    Vec first = vertex(falling, 0); // PosX corner 1: (x'+1, y, z')
    EXPECT_EQ(first.x, 2.0f);
    EXPECT_EQ(first.y, 5.0f);
    EXPECT_EQ(first.z, 0.0f);
    for (int q = 0; q < quadCount(falling); q++) {
        EXPECT_EQ(falling.texCoords[8 * q + 2], 0.1875f);
        EXPECT_EQ(falling.texCoords[8 * q + 1], 0.125f);
    }
    // The falling mesh ignores the floor: buried falling blocks still show.
    flatWorld(20.0f);
    fallingBlocks[10][5][10] = 1;
    buildFallingMesh(2, 2);
    EXPECT_EQ(quadCount(fallingMeshes[chunkIndex(2, 2)]), 6);
}

TEST(TerrainMesh, BuriedPatchesSlopesAndEdges) {
    useLight = true;
    flatWorld(0.25f, 30.5f);
    for (int x = 3; x <= 4; x++)
        for (int z = 3; z <= 4; z++)
            floorHeight[x][z] = 5.5f;
    blocks[3][5][3] = 1;
    buildTerrainMesh(0, 0);
    // 24 floor quads (cell (3,3) buried: lo = hi = 5), then 25 ceiling quads.
    const ChunkMesh& m = terrainMeshes[0];
    ASSERT_EQ(quadCount(m), 49);
    for (int q = 0; q < 24; q++)
        EXPECT_GT(m.normals[12 * q + 1], 0.0f) << "floor quad " << q;
    for (int q = 24; q < 49; q++)
        EXPECT_LT(m.normals[12 * q + 1], 0.0f) << "ceiling quad " << q;
    blocks[3][5][3] = 0;
    buildTerrainMesh(0, 0);
    EXPECT_EQ(quadCount(terrainMeshes[0]), 50);

    // Floor corners: (j, h01, c+1), (j+1, h11, c+1), (j+1, h10, c), (j, h00, c).
    flatWorld(0.25f, 30.5f);
    floorHeight[0][0] = 1.0f, floorHeight[1][0] = 2.0f;
    floorHeight[0][1] = 3.0f, floorHeight[1][1] = 4.0f;
    ceilingHeight[0][0] = 21.0f, ceilingHeight[1][0] = 22.0f;
    ceilingHeight[0][1] = 23.0f, ceilingHeight[1][1] = 24.0f;
    buildTerrainMesh(0, 0);
    const float floorQuad[12] = {0, 3, 1, 1, 4, 1, 1, 2, 0, 0, 1, 0};
    const float ceilingQuad[12] = {0, 21, 0, 1, 22, 0, 1, 24, 1, 0, 23, 1};
    for (int i = 0; i < 12; i++) {
        EXPECT_EQ(terrainMeshes[0].positions[i], floorQuad[i]);
        EXPECT_EQ(terrainMeshes[0].positions[12 * 25 + i], ceilingQuad[i]);
    }
    const float tile[8] = {0.8125f, 0.4375f, 0.9375f, 0.4375f, 0.9375f, 0.3125f, 0.8125f, 0.3125f};
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(terrainMeshes[0].texCoords[8 * 7 + i], tile[i]);

    // A slope spanning levels 3..6 stays while any one of them is free.
    flatWorld(0.25f, 30.5f);
    floorHeight[20][20] = 3.2f, floorHeight[21][20] = 4.0f;
    floorHeight[20][21] = 5.0f, floorHeight[21][21] = 6.9f;
    blocks[20][3][20] = blocks[20][4][20] = blocks[20][6][20] = 1;
    const int c = chunkIndex(4, 4);
    buildTerrainMesh(4, 4);
    int withHole = quadCount(terrainMeshes[c]);
    blocks[20][5][20] = 1;
    buildTerrainMesh(4, 4);
    EXPECT_EQ(quadCount(terrainMeshes[c]), withHole - 1);

    // Chunks on the far edge read row and column 0 for their last corners.
    flatWorld(0.25f, 30.5f);
    floorHeight[0][0] = 7.0f;
    buildTerrainMesh(9, 9);
    const ChunkMesh& edge = terrainMeshes[chunkIndex(9, 9)];
    Vec corner = vertex(edge, 4 * 24 + 1); // cell (49, 49), corner h11
    EXPECT_EQ(corner.x, 5.0f);
    EXPECT_EQ(corner.z, 5.0f);
    EXPECT_EQ(corner.y, 7.0f);

    // Everything buried: nothing at all.
    flatWorld(2.5f, 3.5f);
    for (int x = 0; x < 5; x++)
        for (int z = 0; z < 5; z++)
            blocks[x][2][z] = blocks[x][3][z] = 1;
    buildTerrainMesh(0, 0);
    EXPECT_EQ(terrainMeshes[0].vertexCount, 0);
    useLight = false;
}

TEST(Rebuild, CollisionListsAndArrayReuse) {
    useLight = false;
    optimizeGeometry = false;
    flatWorld(0.25f);
    blocks[7][5][7] = 1;
    settleReady = false;
    rebuildAll();
    EXPECT_TRUE(settleReady);
    const int c = chunkIndex(1, 1);
    CollisionList* list = blockCollision[c];
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->triangleCount, 12);
    // Triangles (q0, q1, q2) and (q3, q0, q2), normals into the block.
    const ChunkMesh& m = blockMeshes[c];
    for (int i = 0; i < 12; i++) {
        int q = i / 2;
        int order[2][3] = {{0, 1, 2}, {3, 0, 2}};
        float* corners[3] = {list->corner0, list->corner1, list->corner2};
        for (int k = 0; k < 3; k++)
            for (int a = 0; a < 3; a++)
                EXPECT_EQ(corners[k][3 * i + a], m.positions[3 * (4 * q + order[i % 2][k]) + a]);
        Vec n = {list->normal[3 * i], list->normal[3 * i + 1], list->normal[3 * i + 2]};
        EXPECT_NEAR(length(n), 1.0f, 1e-6f);
        Vec centroid = {
            (list->corner0[3 * i] + list->corner1[3 * i] + list->corner2[3 * i]) / 3,
            (list->corner0[3 * i + 1] + list->corner1[3 * i + 1] + list->corner2[3 * i + 1]) / 3,
            (list->corner0[3 * i + 2] + list->corner1[3 * i + 2] + list->corner2[3 * i + 2]) / 3};
        Vec inside = {2.5f, 5.5f, 2.5f}; // block (7,5,7) in chunk-local space
        EXPECT_GT(dot(n, sub(inside, centroid)), 0.0f) << "triangle " << i;
    }
    // Empty chunk: the record exists with no triangles.
    ASSERT_NE(fallingCollision[c], nullptr);
    EXPECT_EQ(fallingCollision[c]->triangleCount, 0);
    EXPECT_EQ(fallingMeshes[c].vertexCount, 0);

    // Same count: the same storage, new contents.
    float* positions = blockMeshes[c].positions;
    float* texCoords = blockMeshes[c].texCoords;
    float* corner0 = list->corner0;
    float* normal = list->normal;
    blocks[7][5][7] = 0;
    blocks[8][6][8] = 1;
    chunkDirty[c] = 1;
    rebuildDirtyChunks();
    EXPECT_EQ(chunkDirty[c], 0);
    EXPECT_EQ(blockCollision[c], list);
    EXPECT_EQ(blockMeshes[c].positions, positions);
    EXPECT_EQ(blockMeshes[c].texCoords, texCoords);
    EXPECT_EQ(list->corner0, corner0);
    EXPECT_EQ(list->normal, normal);
    EXPECT_EQ(blockMeshes[c].positions[0], 4.0f); // PosX of the moved block
    EXPECT_EQ(list->corner0[1], 7.0f);

    // A clean pass rebuilds nothing and still marks the settling clock ready.
    blocks[8][6][8] = 0; // not marked dirty: the mesh must not notice
    settleReady = false;
    rebuildDirtyChunks();
    EXPECT_TRUE(settleReady);
    EXPECT_EQ(blockMeshes[c].vertexCount, 24);

    // A changed count resizes the mesh and its list together.
    blocks[8][6][8] = 1;
    blocks[8][6][9] = 1;
    chunkDirty[c] = 1;
    rebuildDirtyChunks();
    EXPECT_EQ(blockMeshes[c].vertexCount, 40);
    EXPECT_EQ(blockCollision[c]->triangleCount, 20);
    EXPECT_EQ(blockCollision[c], list);

    // Lighting: normals exist and are the front of each quad.
    useLight = true;
    chunkDirty[c] = 1;
    rebuildDirtyChunks();
    ASSERT_NE(blockMeshes[c].normals, nullptr);
    for (int q = 0; q < quadCount(blockMeshes[c]); q++) {
        Vec f = frontOf(blockMeshes[c], q);
        float l = length(f);
        for (int v = 0; v < 4; v++)
            for (int a = 0; a < 3; a++)
                EXPECT_NEAR(blockMeshes[c].normals[3 * (4 * q + v) + a], (&f.x)[a] / l, 1e-6f);
    }
    useLight = false;
}

// --- Invariants over whole worlds --------------------------------------------

// Unit faces covered by a block mesh, as (world cell x, y, z, face).
using UnitFace = std::tuple<int, int, int, int>;

int faceOf(Vec front) {
    if (front.x > 0)
        return PosX;
    if (front.x < 0)
        return NegX;
    if (front.y > 0)
        return PosY;
    if (front.y < 0)
        return NegY;
    if (front.z > 0)
        return PosZ;
    return NegZ;
}

// Adds every unit face of every quad of chunk c's mesh; false on an overlap.
bool collectUnitFaces(const ChunkMesh& m, int c, std::set<UnitFace>& faces) {
    int x0 = 5 * (c / 10), z0 = 5 * (c % 10);
    bool disjoint = true;
    for (int q = 0; q < quadCount(m); q++) {
        QuadBox b = boxOf(m, q);
        int f = faceOf(frontOf(m, q));
        // The cells behind the face: on the positive side the plane is the
        // cells' far side.
        int sx = (int)b.minX - (f == PosX ? 1 : 0),
            ex = f == PosX || f == NegX ? sx + 1 : (int)b.maxX;
        int sy = (int)b.minY - (f == PosY ? 1 : 0),
            ey = f == PosY || f == NegY ? sy + 1 : (int)b.maxY;
        int sz = (int)b.minZ - (f == PosZ ? 1 : 0),
            ez = f == PosZ || f == NegZ ? sz + 1 : (int)b.maxZ;
        for (int x = sx; x < ex; x++)
            for (int y = sy; y < ey; y++)
                for (int z = sz; z < ez; z++)
                    disjoint &= faces.insert(UnitFace(x0 + x, y, z0 + z, f)).second;
    }
    return disjoint;
}

void messUpWorld(int seed) {
    srand(seed);
    useWater = false;
    setupNewWorld();
    srand(seed + 1000);
    for (int i = 0; i < 3000; i++) {
        int x = rand() % 50, y = rand() % 35, z = rand() % 50;
        blocks[x][y][z] = 1;
    }
    for (int i = 0; i < 300; i++)
        fallingBlocks[rand() % 50][rand() % 35][rand() % 50] = 1;
    for (int x = 10; x < 20; x++) // a solid slab for long merges
        for (int y = 1; y < 20; y++)
            for (int z = 30; z < 42; z++)
                blocks[x][y][z] = 1;
}

TEST(WorldMeshes, InvariantsOverGeneratedWorlds) {
    for (int seed = 1; seed <= 2; seed++) {
        messUpWorld(seed);
        useLight = false;
        optimizeGeometry = false;
        rebuildAll();
        std::set<UnitFace> plain, merged;
        int plainQuads = 0, mergedQuads = 0;
        for (int c = 0; c < CHUNK_TOTAL; c++) {
            const ChunkMesh* all[3] = {&terrainMeshes[c], &blockMeshes[c], &fallingMeshes[c]};
            const CollisionList* lists[3] = {terrainCollision[c], blockCollision[c],
                                             fallingCollision[c]};
            for (int k = 0; k < 3; k++) {
                const ChunkMesh& m = *all[k];
                ASSERT_EQ(m.vertexCount % 4, 0);
                ASSERT_EQ(lists[k]->triangleCount, m.vertexCount / 2);
                for (int q = 0; q < quadCount(m); q++) {
                    Vec front = frontOf(m, q);
                    // Collision normals are the opposite of the quad's front.
                    for (int t = 2 * q; t < 2 * q + 2; t++) {
                        Vec n = {lists[k]->normal[3 * t], lists[k]->normal[3 * t + 1],
                                 lists[k]->normal[3 * t + 2]};
                        ASSERT_LT(dot(n, front), 0.0f);
                    }
                    if (k == 0) {
                        continue;
                    }
                    // Block faces: solid behind, open in front (world cells).
                    const unsigned char(*grid)[WORLD_LEVELS][WORLD_SIZE] =
                        k == 1 ? blocks : fallingBlocks;
                    QuadBox b = boxOf(m, q);
                    Vec n = {front.x / length(front), front.y / length(front),
                             front.z / length(front)};
                    float cx = (b.minX + b.maxX) / 2, cy = (b.minY + b.maxY) / 2,
                          cz = (b.minZ + b.maxZ) / 2;
                    // Probe at a unit cell of the face, not its middle: merged
                    // faces are checked at their first cell.
                    if (b.maxX - b.minX > 1)
                        cx = b.minX + 0.5f;
                    if (b.maxY - b.minY > 1)
                        cy = b.minY + 0.5f;
                    if (b.maxZ - b.minZ > 1)
                        cz = b.minZ + 0.5f;
                    int ix = wrapCell(5 * (c / 10) + (int)std::floor(cx - 0.5f * n.x));
                    int iy = (int)std::floor(cy - 0.5f * n.y);
                    int iz = wrapCell(5 * (c % 10) + (int)std::floor(cz - 0.5f * n.z));
                    ASSERT_EQ(grid[ix][iy][iz], 1) << "behind quad " << q << " chunk " << c;
                    int ox = wrapCell(5 * (c / 10) + (int)std::floor(cx + 0.5f * n.x));
                    int oy = (int)std::floor(cy + 0.5f * n.y);
                    int oz = wrapCell(5 * (c % 10) + (int)std::floor(cz + 0.5f * n.z));
                    if (oy >= 0 && oy < WORLD_LEVELS) {
                        ASSERT_EQ(grid[ox][oy][oz], 0)
                            << "in front of quad " << q << " chunk " << c;
                    }
                }
            }
            // Terrain: floor quads face up, ceiling quads down, and their
            // collision normals the other way.
            const ChunkMesh& t = terrainMeshes[c];
            for (int q = 0; q < quadCount(t); q++) {
                Vec p = vertex(t, 4 * q + 3); // floor corner h00 / ceiling corner h01
                int gx = 5 * (c / 10) + (int)p.x, gz = 5 * (c % 10) + (int)p.z;
                bool isFloor = p.y == floorHeight[wrapCell(gx)][wrapCell(gz)];
                EXPECT_EQ(frontOf(t, q).y > 0, isFloor);
            }
            EXPECT_TRUE(collectUnitFaces(blockMeshes[c], c, plain));
            plainQuads += quadCount(blockMeshes[c]);
        }
        optimizeGeometry = true;
        rebuildAll();
        for (int c = 0; c < CHUNK_TOTAL; c++) {
            ASSERT_EQ(blockCollision[c]->triangleCount, blockMeshes[c].vertexCount / 2);
            EXPECT_TRUE(collectUnitFaces(blockMeshes[c], c, merged)) << "overlapping merged quads";
            mergedQuads += quadCount(blockMeshes[c]);
            // Merged sizes stay within the chunk (W <= 5) and the levels.
            for (int q = 0; q < quadCount(blockMeshes[c]); q++) {
                QuadBox b = boxOf(blockMeshes[c], q);
                EXPECT_GE(b.minX, 0.0f);
                EXPECT_LE(b.maxX, 5.0f);
                EXPECT_GE(b.minZ, 0.0f);
                EXPECT_LE(b.maxZ, 5.0f);
                EXPECT_LE(b.maxY, 35.0f);
            }
        }
        EXPECT_TRUE(plain == merged) << "merging changed the covered faces";
        EXPECT_LT(mergedQuads, plainQuads);
        optimizeGeometry = false;
    }
}

TEST(WorldMeshes, TwoTrianglesCoverEachQuadOnce) {
    messUpWorld(3);
    optimizeGeometry = true;
    rebuildAll();
    for (int c = 0; c < CHUNK_TOTAL; c++) {
        const ChunkMesh& m = blockMeshes[c];
        const CollisionList* l = blockCollision[c];
        for (int q = 0; q < quadCount(m); q++) {
            QuadBox b = boxOf(m, q);
            float dims[3] = {b.maxX - b.minX, b.maxY - b.minY, b.maxZ - b.minZ};
            float area = dims[0] == 0   ? dims[1] * dims[2]
                         : dims[1] == 0 ? dims[0] * dims[2]
                                        : dims[0] * dims[1];
            float sum = 0.0f;
            for (int t = 2 * q; t < 2 * q + 2; t++) {
                Vec a = {l->corner0[3 * t], l->corner0[3 * t + 1], l->corner0[3 * t + 2]};
                Vec bb = {l->corner1[3 * t], l->corner1[3 * t + 1], l->corner1[3 * t + 2]};
                Vec cc = {l->corner2[3 * t], l->corner2[3 * t + 1], l->corner2[3 * t + 2]};
                sum += 0.5f * length(cross(sub(bb, a), sub(cc, a)));
            }
            // Equal areas of two triangles inside the quad that share only the
            // q0-q2 diagonal: together they are the quad, once.
            ASSERT_NEAR(sum, area, 1e-4f) << "chunk " << c << " quad " << q;
        }
    }
    optimizeGeometry = false;
}

} // namespace
