// test_physics.cpp: the two scans of a collision list and their run boxes,
// and the segment queries over the repeating world.

#include <utility>

#include "game/game.h"
#include "game_fixture.h"
#include "physics/collision.h"
#include "physics/geometry.h"
#include "physics/world_cells.h"

namespace {

const float R = 1.25f; // the body radius of the game

// A list made by hand, normals as the list builder makes them, no runs.
struct HandList {
    std::vector<float> c0, c1, c2, n;
    CollisionList list{0, nullptr, nullptr, nullptr, nullptr, 0, nullptr};
    HandList& add(Vector3 a, Vector3 b, Vector3 c) {
        Vector3 normal = triangleNormal(a, b, c);
        for (auto [to, v] : {std::pair{&c0, a}, {&c1, b}, {&c2, c}, {&n, normal}})
            to->insert(to->end(), {v.x, v.y, v.z});
        list = {(int)c0.size() / 3, c0.data(), c1.data(), c2.data(), n.data(), 0, nullptr};
        return *this;
    }
};

// Nearer than the radius to the edge of a floor: straight away from the
// edge, to a radius; no list, no push.
TEST(ListScans, SpheresArePushedOffEdges) {
    HandList wedge;
    wedge.add({1, 0, -4}, {-6, 0, 0}, {1, 0, 4}); // a floor at y = 0 up to its edge x = 1
    float x = 1.5f, y = 0.5f, z = 0.5f;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &wedge.list, true, false));
    EXPECT_TRUE(sphereVsTriangleList(x, y, z, R, &wedge.list, false, true));
    EXPECT_TRUE(std::fabs(std::hypot(x - 1, y) - R) < 1e-6f && std::fabs(x - 1 - y) < 1e-6f &&
                z == 0.5f);
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, nullptr, true, true));
}

// Rounding may carry the cosine of opposite vectors past -1: still pi, never NaN.
TEST(Geometry, OppositeVectorsMeetAtAStraightAngle) {
    Rng rng(3);
    for (int k = 0; k < 500; k++) {
        Vector3 a{rng.uniform(-9, 9), rng.uniform(-9, 9), rng.uniform(-9, 9)};
        const float s = -rng.uniform(0.1f, 7);
        ASSERT_NEAR(angleBetween(a, {s * a.x, s * a.y, s * a.z}), 3.14159265, 1e-3) << k;
    }
}

// Across the world's edge either way: cell 0 is 0.5 from x = 49.5, cell 49 is 1.5 from x = 0.5.
TEST(TerrainBrush, ReachesAcrossTheWorldsEdge) {
    emptyCave(5, 30);
    shapeTerrain(49.5f, 5, 25, 2, 0.5f), shapeTerrain(0.5f, 5, 30, 2, 0.5f);
    EXPECT_TRUE(floorHeight[0][25] == 5.75f && floorHeight[49][30] == 5.25f);
}

// The scans skip runs of triangles by their boxes; the same list without
// runs, scanned triangle by triangle, must give the same bits.
TEST(ListScans, RunBoxesAnswerAsThePlainScan) {
    Rng rng(7);
    int touched = 0;
    auto compare = [&](const CollisionList& list, float lo[3], float hi[3], bool besideWalls) {
        CollisionList plain = list;
        plain.groupCount = 0, plain.groupBounds = nullptr;
        for (int q = 0; q < 200; q++) {
            float p[3], e[3], reach = q % 2 ? rng.uniform(0.1f, 2) : rng.uniform(5, 60);
            for (int a = 0; a < 3; a++)
                p[a] = rng.uniform(lo[a] - 2, hi[a] + 2), e[a] = p[a] + rng.uniform(-reach, reach);
            if (besideWalls) // across a wall, up to 0.3 beside its long edges
                p[2] = e[2] = q % 4 < 2 ? rng.uniform(-0.3f, 0) : rng.uniform(0.5f, 0.8f),
                e[0] = p[0] + 1;
            float radius = q % 3 ? rng.uniform(0.05f, 3) : R, a[3], b[3], f[3], g[3];
            memcpy(a, p, sizeof a), memcpy(b, p, sizeof b), memcpy(f, e, sizeof f),
                memcpy(g, e, sizeof g);
            bool hitA =
                sphereVsTriangleList(a[0], a[1], a[2], radius, &list, q % 4 != 1, q % 4 != 2);
            bool hitB =
                sphereVsTriangleList(b[0], b[1], b[2], radius, &plain, q % 4 != 1, q % 4 != 2);
            ASSERT_TRUE(hitA == hitB && memcmp(a, b, sizeof a) == 0) << "sphere " << q;
            bool cutA = segmentVsTriangleList({p[0], p[1], p[2]}, f[0], f[1], f[2], &list);
            bool cutB = segmentVsTriangleList({p[0], p[1], p[2]}, g[0], g[1], g[2], &plain);
            ASSERT_TRUE(cutA == cutB && memcmp(f, g, sizeof f) == 0) << "segment " << q;
            touched += hitA + cutA;
        }
    };
    auto release = [](CollisionList* l) { // lists built here belong to the test
        for (float* a : {l->corner0, l->corner1, l->corner2, l->normal, l->groupBounds})
            delete[] a;
        delete l;
    };
    for (int soup = 0; soup < 30; soup++) { // quads of every size and slant, some degenerate
        std::vector<float> corners;
        for (int q = 0; q < 1 + soup * 5; q++) {
            float size = q % 5 ? rng.uniform(0.01f, 1.5f) : rng.uniform(3, 20);
            float c[3] = {rng.uniform(0, 5), rng.uniform(0, 8), rng.uniform(0, 5)};
            for (int v = 0; v < 12; v++)
                corners.push_back(c[v % 3] + (q % 7 == 3 ? 0 : rng.uniform(-size, size)));
        }
        CollisionList* list = buildCollisionList(nullptr, (int)corners.size() / 3, corners.data());
        float lo[3] = {0, 0, 0}, hi[3] = {5, 8, 5}, lo2[3] = {1, 1, 1}, hi2[3] = {6, 9, 6};
        compare(*list, lo, hi, false);
        for (float& c : corners) // rebuilt in place: the runs follow the corners
            c += 1;
        compare(*buildCollisionList(list, (int)corners.size() / 3, corners.data()), lo2, hi2,
                false);
        release(list);
    }
    std::vector<float> walls; // tall thin walls in the planes x = 0..39
    for (float x = 0; x < 40; x++)
        walls.insert(walls.end(), {x, 0, 0, x, 0, 0.5f, x, 35, 0.5f, x, 35, 0});
    float lo[3] = {2, 1, 0}, hi[3] = {37, 34, 0};
    CollisionList* wallList = buildCollisionList(nullptr, 160, walls.data());
    compare(*wallList, lo, hi, true);
    release(wallList);
    EXPECT_GT(touched, 2000);
}

TEST(WorldQueries, SegmentsScanTheCellsTheirLineTouches) {
    using Cells = std::vector<std::pair<int, int>>;
    const Cells diagonal{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}, {2, 1}, {2, 2}};
    const std::pair<std::vector<float>, Cells> cases[] = {
        {{7, 3, 7, 3}, {{1, 0}}},
        {{5, 5, 5, 5}, {{1, 1}}}, // vertical: its own cell
        {{-0.5f, 3, -0.5f, 3}, {{-1, 0}}},
        {{2, 2.5f, 5, 2.5f}, {{0, 0}, {1, 0}}},
        {{5, 2.5f, 7, 2.5f}, {{1, 0}}},
        {{2.5f, 2.5f, 12.5f, 12.5f}, diagonal},
        {{12.5f, 12.5f, 2.5f, 2.5f}, diagonal}};
    for (const auto& [s, want] : cases) {
        int cells[64][2];
        Cells got;
        for (int k = 0, n = listSegmentCells(s[0], s[1], s[2], s[3], cells, 64); k < n; k++)
            got.push_back({cells[k][0], cells[k][1]});
        EXPECT_EQ(got, want) << s[0] << "," << s[1] << " to " << s[2] << "," << s[3];
    }
    int few[3][2] = {{7, 7}, {7, 7}, {7, 7}}; // a full table: counted, not written past
    EXPECT_EQ(listSegmentCells(2.5f, 2.5f, 12.5f, 12.5f, few, 2), 7);
    EXPECT_TRUE(few[2][0] == 7 && few[2][1] == 7);
}

// The distance from the start to the segment's first crossing of any triangle (falling blocks where
// drawn), or infinity.
double nearestCrossing(Segment w) {
    const Point s = Point::of(w.start), e = Point::of(w.end);
    const double share =
        firstCrossing(s, e, trianglesNear((s + e) * 0.5, (e - s).norm() / 2 + 0.01));
    return share <= 1 ? share * (e - s).norm() : INFINITY;
}

// On generated caves with slabs falling, drawn 0.4 low: short steps and long
// rays from random points end on the nearest crossing of all.
TEST(WorldQueries, SegmentsEndOnTheNearestOfAllCrossings) {
    Rng rng(1);
    int hits = 0;
    for (unsigned seed : {1u, 2u}) {
        srand(seed);
        setupNewWorld();
        for (int slab = 0; slab < 8; slab++)
            for (int k = 0; k < 16; k++)
                blocks[(slab * 13 + k % 4) % 50][10 + slab][(slab * 29 + k / 4) % 50] = 1;
        settleBlocks();
        markAllChunksDirty();
        rebuildDirtyChunks();
        settleProgress = 0.4f;
        for (int k = 0; k < 300; k++) {
            int gx = rng.below(50), gz = rng.below(50);
            Vector3 s{gx + rng.uniform(0, 1),
                      rng.uniform(floorHeight[gx][gz], ceilingHeight[gx][gz]),
                      gz + rng.uniform(0, 1)};
            float length = k % 2 ? rng.uniform(0, 2) : rng.uniform(0, 40),
                  yaw = rng.uniform(0, 6.2831853f), pitch = rng.uniform(-1.5f, 1.5f);
            Vector3 e{s.x + length * cosf(pitch) * cosf(yaw), s.y + length * sinf(pitch),
                      s.z + length * cosf(pitch) * sinf(yaw)};
            float x = e.x, y = e.y, z = e.z;
            bool hit = clipSegmentToWorld(s.x, s.y, s.z, x, y, z);
            double want = nearestCrossing({s, e});
            ASSERT_EQ(hit, want < INFINITY) << seed << " " << k;
            double got = std::hypot((double)x - s.x, (double)y - s.y, (double)z - s.z);
            EXPECT_TRUE(hit ? std::fabs(got - want) < 1e-3 : x == e.x && y == e.y && z == e.z)
                << seed << " " << k;
            hits += hit;
        }
    }
    EXPECT_TRUE(hits > 120 && hits < 600) << hits;
    settleProgress = 0;
}

// Falling blocks are drawn settleProgress below their cells, and a body meets them there: one
// sunk 0.25 into the top of a falling slab as drawn is lifted to rest on it.
TEST(WorldQueries, BodiesMeetFallingBlocksWhereTheyAreDrawn) {
    emptyCave(0.5f, 34.5f);
    for (int x = 23; x < 28; x++)
        for (int z = 23; z < 28; z++)
            fallingBlocks[x][10][z] = blocksFalling = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
    for (float progress : {0.0f, 0.4f, 0.9f}) {
        settleProgress = progress;
        float x = 25.5f, y = 12.0f - progress, z = 25.5f;
        EXPECT_TRUE(collideSphereWithWorld(x, y, z, R));
        EXPECT_NEAR(y, 12.25f - progress, 1e-4f) << progress;
    }
    settleProgress = 0;
}

} // namespace
