// test_collision_runs.cpp: the list scans skip runs of triangles by their
// boxes without changing a single result. The straightforward scan (a list
// without runs tests every triangle) is the reference: on generated worlds
// and on random triangle soups, many random sphere and segment queries give
// bit-identical answers with and without the runs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/settings.h"
#include "meshing/chunks.h"
#include "physics/geometry.h"
#include "world/new_game.h"

namespace {

unsigned int randomState = 7;
float uniform(float lo, float hi) {
    randomState = randomState * 1103515245u + 12345u;
    return lo + (hi - lo) * (float)((randomState >> 8) & 0xFFFF) / 65535.0f;
}

// The same triangles, without runs: every scan tests every triangle.
CollisionList plainCopy(const CollisionList& list) {
    CollisionList plain = list;
    plain.groupCount = 0;
    plain.groupBounds = nullptr;
    return plain;
}

// Lists made here with buildCollisionList belong to the test.
void release(CollisionList* list) {
    delete[] list->corner0;
    delete[] list->corner1;
    delete[] list->corner2;
    delete[] list->normal;
    delete[] list->groupBounds;
    delete list;
}

bool sameBits(float a, float b) {
    return memcmp(&a, &b, sizeof a) == 0;
}

// Runs queries around the list's own extent; returns how many moved or hit,
// so a caller can check that the queries were not all trivial misses.
int compareQueries(const CollisionList& list, float lo[3], float hi[3], int queries) {
    CollisionList plain = plainCopy(list);
    int touched = 0;
    for (int q = 0; q < queries; q++) {
        float x = uniform(lo[0] - 2, hi[0] + 2), y = uniform(lo[1] - 2, hi[1] + 2),
              z = uniform(lo[2] - 2, hi[2] + 2);
        float radius = q % 3 == 0 ? 1.25f : uniform(0.05f, 3.0f);
        bool faces = q % 4 != 1, edges = q % 4 != 2;
        float ax = x, ay = y, az = z, bx = x, by = y, bz = z;
        bool a = sphereVsTriangleList(ax, ay, az, radius, &list, faces, edges);
        bool b = sphereVsTriangleList(bx, by, bz, radius, &plain, faces, edges);
        EXPECT_EQ(a, b) << "sphere query " << q;
        EXPECT_TRUE(sameBits(ax, bx) && sameBits(ay, by) && sameBits(az, bz))
            << "sphere query " << q;
        touched += a;

        // Short segments as balls fly them, long ones as the aim ray.
        float reach = q % 2 == 0 ? uniform(0.1f, 2.0f) : uniform(5.0f, 60.0f);
        Vector3 start{x, y, z};
        float ex = x + uniform(-reach, reach), ey = y + uniform(-reach, reach),
              ez = z + uniform(-reach, reach);
        float sx = ex, sy = ey, sz = ez;
        a = segmentVsTriangleList(start, ex, ey, ez, &list);
        b = segmentVsTriangleList(start, sx, sy, sz, &plain);
        EXPECT_EQ(a, b) << "segment query " << q;
        EXPECT_TRUE(sameBits(ex, sx) && sameBits(ey, sy) && sameBits(ez, sz))
            << "segment query " << q;
        touched += a;
    }
    return touched;
}

TEST(CollisionRuns, GeneratedWorldListsAnswerAsThePlainScan) {
    for (unsigned int seed : {3u, 31u}) {
        srand(seed);
        optimizeGeometry = seed == 3u;
        setupNewWorld();
        // Blocks of every kind: a few hanging (they fall), some on the floor.
        for (int x = 10; x < 16; x++)
            for (int z = 20; z < 23; z++)
                blocks[x][18][z] = 1;
        settleBlocks();
        markAllChunksDirty();
        rebuildDirtyChunks();
        int touched = 0;
        for (int i = 0; i < CHUNK_TOTAL; i += 7) {
            for (CollisionList* list :
                 {terrainCollision[i], blockCollision[i], fallingCollision[i]}) {
                ASSERT_NE(list, nullptr);
                ASSERT_EQ(list->groupCount,
                          (list->triangleCount + COLLISION_GROUP_SIZE - 1) / COLLISION_GROUP_SIZE);
                float lo[3] = {0.0f, 0.0f, 0.0f}, hi[3] = {5.0f, 35.0f, 5.0f};
                touched += compareQueries(*list, lo, hi, 300);
            }
        }
        EXPECT_GT(touched, 500) << "seed " << seed;
    }
}

TEST(CollisionRuns, RandomTriangleSoupsAnswerAsThePlainScan) {
    int touched = 0;
    for (int soup = 0; soup < 40; soup++) {
        // Quads of every size and slant, some of them degenerate, packed into
        // a small box so that runs overlap and queries meet many of them.
        int quads = 1 + soup * 5;
        std::vector<float> positions;
        for (int q = 0; q < quads; q++) {
            float cx = uniform(0, 5), cy = uniform(0, 8), cz = uniform(0, 5);
            float size = q % 5 == 0 ? uniform(3, 20) : uniform(0.01f, 1.5f);
            for (int v = 0; v < 4; v++) {
                bool flat = q % 7 == 3; // all four corners on one point
                positions.push_back(flat ? cx : cx + uniform(-size, size));
                positions.push_back(flat ? cy : cy + uniform(-size, size));
                positions.push_back(flat ? cz : cz + uniform(-size, size));
            }
        }
        CollisionList* list = buildCollisionList(nullptr, 4 * quads, positions.data());
        float lo[3] = {0, 0, 0}, hi[3] = {5, 8, 5};
        touched += compareQueries(*list, lo, hi, 200);
        // Rebuilt in place with the same count: the runs follow the corners.
        for (float& p : positions)
            p += 0.5f;
        list = buildCollisionList(list, 4 * quads, positions.data());
        float lo2[3] = {0.5f, 0.5f, 0.5f}, hi2[3] = {5.5f, 8.5f, 5.5f};
        touched += compareQueries(*list, lo2, hi2, 100);
        release(list);
    }
    EXPECT_GT(touched, 2000);
}

// pointInTriangle accepts points a little outside a long edge; the runs'
// boxes must still let such crossings and pushes through. Tall walls (edges
// 35 long) with queries aimed up to 0.3 beyond their long edges.
TEST(CollisionRuns, CrossingsJustOutsideLongEdgesAreStillFound) {
    std::vector<float> positions;
    for (int k = 0; k < 40; k++) { // 40 thin walls side by side in planes x = k
        float x = (float)k;
        const float quad[4][3] = {{x, 0, 0}, {x, 0, 0.5f}, {x, 35, 0.5f}, {x, 35, 0}};
        for (const auto& v : quad)
            positions.insert(positions.end(), v, v + 3);
    }
    CollisionList* list = buildCollisionList(nullptr, (int)positions.size() / 3, positions.data());
    CollisionList plain = plainCopy(*list);
    int found = 0;
    for (int q = 0; q < 2000; q++) {
        float x = (float)(q % 40);
        float y = uniform(1, 34), z = q % 2 == 0 ? uniform(-0.3f, 0.0f) : uniform(0.5f, 0.8f);
        Vector3 start{x - 0.5f, y, z};
        float ex = x + 0.5f, ey = y, ez = z, px = ex, py = ey, pz = ez;
        bool a = segmentVsTriangleList(start, ex, ey, ez, list);
        bool b = segmentVsTriangleList(start, px, py, pz, &plain);
        ASSERT_EQ(a, b) << "segment " << q;
        ASSERT_TRUE(sameBits(ex, px) && sameBits(ey, py) && sameBits(ez, pz)) << "segment " << q;
        found += a;
        float sx = x - 0.3f, sy = y, sz = z, tx = sx, ty = sy, tz = sz;
        a = sphereVsTriangleList(sx, sy, sz, 1.25f, list, true, false);
        b = sphereVsTriangleList(tx, ty, tz, 1.25f, &plain, true, false);
        ASSERT_EQ(a, b) << "sphere " << q;
        ASSERT_TRUE(sameBits(sx, tx) && sameBits(sy, ty) && sameBits(sz, tz)) << "sphere " << q;
    }
    release(list);
    // Some of them lie in the accepted margin outside the edges.
    EXPECT_GT(found, 100);
    EXPECT_LT(found, 2000);
}

} // namespace
