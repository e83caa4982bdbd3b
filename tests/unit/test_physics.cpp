// test_physics.cpp: the geometry primitives, the two scans of a collision
// list and their run boxes, the sphere and segment queries over the
// repeating world, and the terrain brush.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "game/game.h"
#include "physics/collision.h"
#include "physics/geometry.h"
#include "physics/world_cells.h"
#include "world_scene.h"

namespace {

const float R = 1.25f; // the body radius of the game
const float NaN = std::numeric_limits<float>::quiet_NaN();
const float INF = std::numeric_limits<float>::infinity();

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
    // The square [x0, x1] x [z0, z1] at height y, open above or below.
    HandList& square(float x0, float z0, float x1, float z1, float y, bool openAbove = true) {
        Vector3 a{x0, y, z0}, b{x0, y, z1}, c{x1, y, z1}, d{x1, y, z0};
        return openAbove ? add(a, b, c).add(a, c, d) : add(a, d, c).add(a, c, b);
    }
    // The wall x = x0 over z 0..5 and y 0..10, open towards -x.
    HandList& wall(float x0) {
        return add({x0, 0, 0}, {x0, 0, 5}, {x0, 10, 5}).add({x0, 0, 0}, {x0, 10, 5}, {x0, 10, 0});
    }
};

bool at(Vector3 p, float x, float y, float z, float within = 1e-5f) {
    return std::fabs(p.x - x) <= within && std::fabs(p.y - y) <= within &&
           std::fabs(p.z - z) <= within;
}

TEST(Geometry, Primitives) {
    EXPECT_TRUE(at(normalizeVector(3, 4, 0), 0.6f, 0.8f, 0));
    Triangle t{{0, 1, 0}, {0, 1, 4}, {4, 1, 4}}; // a floor at y = 1, normal down into the solid
    const std::pair<Segment, bool> crossings[] = {
        {{{1, 3, 2}, {1, -1, 2}}, true}, {{{40, 3, 2}, {40, -1, 2}}, true}, // the whole plane
        {{{1, 3, 2}, {1, 1, 2}}, false}, {{{1, 1, 2}, {1, -3, 2}}, false},  // an end on it
        {{{0, 1, 0}, {3, 1, 3}}, false}, {{{1, 3, 2}, {1, 1.5f, 2}}, false}};
    for (const auto& [s, crosses] : crossings) {
        Vector3 n{9, 9, 9};
        float d = 9;
        EXPECT_EQ(segmentCrossesPlane(t, s, n, d), crosses) << s.start.x << "," << s.end.y;
        EXPECT_TRUE(at(n, 0, -1, 0) && d == 1.0f);
    }
    EXPECT_NEAR(angleBetween({1, 0, 0}, {0, 2, 0}), 1.5707963, 1e-6);
    EXPECT_NEAR(angleBetween({1, 0, 0}, {-5, 0, 0}), 3.14159265, 1e-6);
    EXPECT_NEAR(angleBetween({1, 1, 0}, {3, 3, 0}), 0.0, 1e-3);
    EXPECT_TRUE(std::isnan(angleBetween({0, 0, 0}, {1, 0, 0})));
    // The plane y = 1, met along the line; parallel to it: the start.
    const std::pair<Segment, Vector3> meets[] = {
        {{{0.5f, 2, 0.25f}, {0.5f, 0, 0.25f}}, {0.5f, 1, 0.25f}},
        {{{0, 3, 0}, {4, -1, 0}}, {2, 1, 0}},
        {{{1, 2, 3}, {5, 2, -3}}, {1, 2, 3}}};
    for (const auto& [s, h] : meets)
        EXPECT_TRUE(at(linePlaneIntersection(s, {0, -1, 0}, 1), h.x, h.y, h.z)) << s.end.x;
    // Inside is an angle sum of 1.98 half-turns: a hair outside an edge
    // counts, a corner does not.
    Triangle u{{0, 0, 0}, {0, 0, 4}, {4, 0, 0}};
    for (Vector3 p : {Vector3{1, 0, 1}, {0.01f, 0, 0.01f}, {2.0007f, 0, 2.0007f}})
        EXPECT_TRUE(pointInTriangle(u, p)) << p.x << "," << p.z;
    for (Vector3 p : {Vector3{3, 0, 3}, {-0.05f, 0, 1}, {2.1f, 0, 2.1f}, u.v0, u.v1, u.v2})
        EXPECT_FALSE(pointInTriangle(u, p)) << p.x << "," << p.z;
    Rng rng(11);
    for (int k = 0; k < 2000; k++) { // a point on an edge of any triangle is inside
        Vector3 a{rng.uniform(-5, 5), rng.uniform(-5, 5), rng.uniform(-5, 5)},
            b{rng.uniform(-5, 5), 0, 3};
        float s = rng.uniform(0.05f, 0.95f);
        Vector3 on{a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), a.z + s * (b.z - a.z)};
        ASSERT_TRUE(pointInTriangle({a, b, {1, 7, -2}}, on)) << k;
    }
    const std::pair<Vector3, Vector3> closest[] = {
        {{-2, 1, 0}, {0, 0, 0}}, {{9, 1, 1}, {4, 0, 0}}, {{0.5f, 2, 0}, {0.5f, 0, 0}}};
    for (const auto& [p, q] : closest)
        EXPECT_TRUE(at(closestPointOnSegment({0, 0, 0}, {4, 0, 0}, p), q.x, q.y, q.z)) << p.x;
}

TEST(ListScans, SpherePushes) {
    HandList floor, wedge, room, flat;
    floor.square(0, 0, 4, 4, 1);
    wedge.add({1, 0, -4}, {-6, 0, 0}, {1, 0, 4}); // a floor at y = 0 up to its edge x = 1
    room.square(0, 0, 4, 4, 0).square(0, 0, 4, 4, 2, false);
    flat.add({0, 0, 0}, {1, 0, 0}, {2, 0, 0}).add({1, 0, 1}, {1, 0, 1}, {1, 0, 1}); // no area
    const struct {
        const char* what;
        const HandList& l;
        Vector3 from;
        bool faces, edges;
        Vector3 to; // equal to from: not moved
    } cases[] = {
        {"sunk almost a radius", floor, {2.5f, 1 + R - 1.249f, 3}, true, true, {2.5f, 1 + R, 3}},
        {"on the solid side", floor, {1, 0.99f, 1}, true, true, {1, 0.99f, 1}},
        {"faces only, beside all triangles", floor, {4.5f, 1.5f, 2}, true, false, {4.5f, 1.5f, 2}},
        {"edges only, over the triangle", wedge, {0, 0.5f, 0}, false, true, {0, 0.5f, 0}},
        {"faces only, beside the edge", wedge, {1.5f, 0.5f, 0.5f}, true, false, {1.5f, 0.5f, 0.5f}},
        {"on a corner", wedge, {1, 0, 4}, true, true, {1, 0, 4}},
        {"later triangles see earlier pushes", room, {2, 0.5f, 1}, true, false, {2, 0.75f, 1}},
        {"triangles without area", flat, {1, 0.1f, 0.1f}, true, true, {1, 0.1f, 0.1f}},
    };
    for (const auto& c : cases) {
        float x = c.from.x, y = c.from.y, z = c.from.z;
        bool moved = !at(c.from, c.to.x, c.to.y, c.to.z, 0);
        EXPECT_EQ(sphereVsTriangleList(x, y, z, R, &c.l.list, c.faces, c.edges), moved) << c.what;
        EXPECT_TRUE(at({x, y, z}, c.to.x, c.to.y, c.to.z, 1e-6f)) << c.what;
    }
    // Nearer than the radius to the edge: straight away from it, to a radius.
    float x = 1.5f, y = 0.5f, z = 0.5f;
    EXPECT_TRUE(sphereVsTriangleList(x, y, z, R, &wedge.list, false, true));
    EXPECT_TRUE(std::fabs(std::hypot(x - 1, y) - R) < 1e-6f && std::fabs(x - 1 - y) < 1e-6f &&
                z == 0.5f);
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, nullptr, true, true));
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
    EXPECT_FLOAT_EQ(lineZAtX(5, 0, 0, 10, 20), 10);
    EXPECT_FLOAT_EQ(lineXAtZ(5, 0, 0, 10, 20), 2.5f);
    EXPECT_NEAR(lineZAtX(3, 2, 0, 2, 1), 1000, 0.1f); // parallel: the nudge of 0.001
    EXPECT_NEAR(lineXAtZ(3, 0, 2, 1, 2), 1000, 0.1f);
}

// Hand-made lists in the chunk slots; the game's own are put back after.
class HandWorld : public ::testing::Test {
  protected:
    HandList none;
    CollisionList** slots[3] = {terrainCollision, blockCollision, fallingCollision};
    CollisionList* saved[3][CHUNK_TOTAL];
    int savedFalling[CHUNK_TOTAL];
    void SetUp() override {
        for (int i = 0; i < CHUNK_TOTAL; i++) {
            for (int k = 0; k < 3; k++)
                saved[k][i] = slots[k][i], slots[k][i] = &none.list;
            savedFalling[i] = fallingMeshes[i].vertexCount, fallingMeshes[i].vertexCount = 0;
        }
    }
    void TearDown() override {
        for (int i = 0; i < CHUNK_TOTAL; i++) {
            for (int k = 0; k < 3; k++)
                slots[k][i] = saved[k][i];
            fallingMeshes[i].vertexCount = savedFalling[i];
        }
        settleProgress = 0;
    }
};

TEST_F(HandWorld, SpheresMeetTheChunksUnderTheirSquare) {
    HandList floor, corner, ceiling, block;
    terrainCollision[0] = &floor.square(-1, -1, 6, 6, 1).list;
    for (float sunk : {0.0001f, 0.5f, 1.2499f}) // lifted to a radius above, in any repeat
        for (int k : {0, -800, -7, -1, 1, 40, 799}) {
            float x = 2.5f + 50 * k, y = 1 + R - sunk, z = 3 - 50 * k;
            EXPECT_TRUE(collideSphereWithWorld(x, y, z, R) &&
                        at({x, y, z}, 2.5f + 50 * k, 1 + R, 3 - 50 * k, 0))
                << k;
        }
    float x = 2.5f, y = 1 + R, z = 3; // resting
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R) || !at({x, y, z}, 2.5f, 1 + R, 3, 0));
    terrainCollision[0] = &none.list;
    for (int c : {0, 1, 10, 11}) { // around the corner (5, 5) each of four chunks alone
        HandList square;
        float lx = 5.0f - 5 * (c / 10), lz = 5.0f - 5 * (c % 10);
        terrainCollision[c] = &square.square(lx - 0.5f, lz - 0.5f, lx + 0.5f, lz + 0.5f, 0).list;
        float x = 5.1f, y = 0.5f, z = 5.1f;
        EXPECT_TRUE(collideSphereWithWorld(x, y, z, R) && y == R) << c;
        terrainCollision[c] = &none.list;
    }
    // In cell order: the floor of chunk 0 lifts it to 1.25, then the ceiling
    // at 2 of chunk 11 pushes it down to 0.75.
    terrainCollision[0] = &corner.square(3, 3, 7, 7, 0).list;
    terrainCollision[11] = &ceiling.square(-2, -2, 2, 2, 2, false).list;
    x = 4.9f, y = 0.5f, z = 4.9f;
    EXPECT_TRUE(collideSphereWithWorld(x, y, z, R) && std::fabs(y - 0.75f) < 1e-6f);
    // Faces of both lists before any edge: lifted by the block floor, the
    // terrain floor's edge beside it is then out of reach.
    terrainCollision[0] = &(floor = HandList()).square(-3, 0, 2, 5, 0).list;
    blockCollision[0] = &block.square(2, 0, 5, 5, 0).list;
    terrainCollision[11] = &none.list;
    x = 2.5f, y = 0.5f, z = 2.5f;
    EXPECT_TRUE(collideSphereWithWorld(x, y, z, R) && at({x, y, z}, 2.5f, R, 2.5f, 0));
}

TEST_F(HandWorld, SegmentsEndOnTheNearestCrossingOfAnyCell) {
    HandList terrain, block, falling;
    terrainCollision[20] = &terrain.wall(1).list; // at x = 11
    blockCollision[0] = &block.wall(3).list;
    const struct {
        float from, to, end; // along x at y = 2, z = 2.5
        bool hit;
    } cases[] = {{12, 1, 11, true},
                 {1, 12, 3, true},
                 {12 - 50, 1 - 50, 11 - 50, true},
                 {12, 11, 11, false},
                 {40012, 39999, 40011, true}};
    for (const auto& c : cases) {
        float x = c.to, y = 2, z = 2.5f;
        EXPECT_EQ(clipSegmentToWorld(c.from, 2, 2.5f, x, y, z), c.hit) << c.from << " to " << c.to;
        EXPECT_TRUE(at({x, y, z}, c.end, 2, 2.5f, 0.01f)) << c.from << " to " << c.to;
    }
    // Falling blocks are met where they are drawn, settleProgress lower, and
    // only while their chunk's falling mesh has faces.
    terrainCollision[20] = blockCollision[0] = &none.list;
    fallingCollision[0] = &falling.square(0, 0, 5, 5, 3).list;
    settleProgress = 0.25f;
    for (int faces : {0, 4}) {
        fallingMeshes[0].vertexCount = faces;
        float x = 2, y = 3, z = 2, ex = 2, ey = 0, ez = 2;
        EXPECT_EQ(collideSphereWithWorld(x, y, z, R), faces > 0);
        EXPECT_EQ(clipSegmentToWorld(2, 6, 2, ex, ey, ez), faces > 0);
        EXPECT_TRUE(std::fabs(y - (faces ? 2.75f + R : 3)) < 1e-6f &&
                    std::fabs(ey - (faces ? 2.75f : 0)) < 1e-6f);
    }
    // A miss across the seam leaves the end bit for bit; unusable input is refused.
    float ex = 0.1f, ey = 5.3f, ez = 2.3f, x = NaN, y = 3, z = 2, inf = INF;
    EXPECT_FALSE(clipSegmentToWorld(47.7f, 5.3f, 2.2f, ex, ey, ez) ||
                 !at({ex, ey, ez}, 0.1f, 5.3f, 2.3f, 0));
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R) || y != 3);
    x = 2;
    for (float radius : {NaN, 1e9f})
        EXPECT_FALSE(collideSphereWithWorld(x, y, z, radius) || y != 3);
    EXPECT_FALSE(clipSegmentToWorld(2, 6, 2, inf, ey, ez));
}

// Every triangle of the chunks under the segment's bounding box, each against
// the whole segment: the distance to the crossing nearest the start.
double nearestCrossing(Segment w) {
    double best = INFINITY;
    auto cell = [](float a, float b, bool last) {
        return (int)floorf((last ? fmaxf(a, b) : fminf(a, b)) / 5);
    };
    for (int cx = cell(w.start.x, w.end.x, false); cx <= cell(w.start.x, w.end.x, true); cx++)
        for (int cz = cell(w.start.z, w.end.z, false); cz <= cell(w.start.z, w.end.z, true); cz++) {
            int i = chunkIndex(cx, cz);
            const CollisionList* lists[3] = {terrainCollision[i], blockCollision[i],
                                             fallingCollision[i]};
            for (int k = 0; k < 2 + (fallingMeshes[i].vertexCount > 0); k++) {
                float lift = k == 2 ? settleProgress : 0;
                Segment s{{w.start.x - 5 * cx, w.start.y + lift, w.start.z - 5 * cz},
                          {w.end.x - 5 * cx, w.end.y + lift, w.end.z - 5 * cz}};
                for (int t = 0; t < lists[k]->triangleCount; t++) {
                    const float *a = lists[k]->corner0 + 3 * t, *b = lists[k]->corner1 + 3 * t,
                                *c = lists[k]->corner2 + 3 * t;
                    Triangle tri{{a[0], a[1], a[2]}, {b[0], b[1], b[2]}, {c[0], c[1], c[2]}};
                    Vector3 n, h;
                    float d;
                    if (segmentCrossesPlane(tri, s, n, d) &&
                        pointInTriangle(tri, h = linePlaneIntersection(s, n, d)))
                        best = std::min(best,
                                        std::hypot((double)h.x - s.start.x, (double)h.y - s.start.y,
                                                   (double)h.z - s.start.z));
                }
            }
        }
    return best;
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
            float length = k % 2 ? rng.uniform(0, 2) : rng.uniform(0, 50),
                  yaw = rng.uniform(0, 6.2831853f), pitch = rng.uniform(-1.5f, 1.5f);
            Vector3 e{s.x + length * cosf(pitch) * cosf(yaw), s.y + length * sinf(pitch),
                      s.z + length * cosf(pitch) * sinf(yaw)};
            float x = e.x, y = e.y, z = e.z;
            bool hit = clipSegmentToWorld(s.x, s.y, s.z, x, y, z);
            double want = nearestCrossing({s, e});
            ASSERT_EQ(hit, want < INFINITY) << seed << " " << k;
            double got = std::hypot((double)x - s.x, (double)y - s.y, (double)z - s.z);
            EXPECT_TRUE(hit ? std::fabs(got - want) < 1e-3 : at({x, y, z}, e.x, e.y, e.z, 0))
                << seed << " " << k;
            hits += hit;
        }
    }
    EXPECT_TRUE(hits > 120 && hits < 600) << hits;
    settleProgress = 0;
}

float wasFloor[50][50], wasCeiling[50][50];
void keepHeights() {
    memcpy(wasFloor, floorHeight, sizeof wasFloor),
        memcpy(wasCeiling, ceilingHeight, sizeof wasFloor);
}
bool heightsKept() {
    return !memcmp(wasFloor, floorHeight, sizeof wasFloor) &&
           !memcmp(wasCeiling, ceilingHeight, sizeof wasFloor);
}

// The rule in double: the distance to the nearest of a sample's copies 50
// apart; samples within a hair of a boundary are left undecided. Heights and
// amounts large enough to meet the clamps, centres near and very far.
TEST(TerrainBrush, EditsWhatTheSphereHoldsOverTheWrappedPlane) {
    Rng rng(5);
    for (int trial = 0; trial < 150; trial++) {
        for (int x = 0; x < 50; x++)
            for (int z = 0; z < 50; z++)
                floorHeight[x][z] = rng.uniform(0.25f, 34.75f),
                ceilingHeight[x][z] = rng.uniform(0.25f, 34.75f);
        memset(chunkDirty, 0, sizeof chunkDirty);
        keepHeights();
        double far = trial % 3 ? 60 : trial % 2 ? 5e4 : 3e9; // a step of 50 counts no more at 3e9
        double cx = (float)(rng.uniform(-1, 1) * far), cz = (float)(rng.uniform(-1, 1) * far);
        double cy = rng.uniform(0, 35), r = rng.uniform(1, 12), amount = rng.uniform(-1, 1);
        shapeTerrain((float)cx, (float)cy, (float)cz, (float)r, (float)amount);
        for (int x = 0; x < 50; x++)
            for (int z = 0; z < 50; z++) {
                double h = INFINITY, wx = fmod(fmod(cx, 50) + 50, 50),
                       wz = fmod(fmod(cz, 50) + 50, 50);
                for (int sx = -1; sx <= 1; sx++)
                    for (int sz = -1; sz <= 1; sz++)
                        h = fmin(h, hypot(wx - (x + 50.0 * sx), wz - (z + 50.0 * sz)));
                const float* was[2] = {&wasFloor[x][z], &wasCeiling[x][z]};
                const float* now[2] = {&floorHeight[x][z], &ceilingHeight[x][z]};
                for (int s = 0; s < 2; s++) {
                    double d3 = hypot(h, cy - *was[s]), want = *was[s];
                    if (fabs(h - r) < 1e-4 || fabs(d3 - r) < 1e-4)
                        continue;
                    if (h < r && d3 < r)
                        want = fmin(fmax(want + (s ? -1 : 1) * (r - h) * amount, 0.25), 34.75);
                    ASSERT_NEAR(*now[s], want, 1e-4) << trial << " " << x << "," << z;
                }
                ASSERT_TRUE(h >= r - 1e-4 || chunkDirty[(x / 5) * 10 + z / 5]) << trial;
            }
    }
}

TEST(TerrainBrush, EdgesOfTheSphereAndOfTheWorld) {
    const float r = 5, amount = 0.01f;
    emptyCave(5, 30);
    memset(chunkDirty, 0, sizeof chunkDirty);
    shapeTerrain(10, 17, 10, r, amount); // in open space: marks the chunks it passes, edits nothing
    for (int c = 0; c < CHUNK_TOTAL; c++)
        EXPECT_EQ(chunkDirty[c], c / 10 <= 3 && c % 10 <= 3) << c;
    shapeTerrain(10, 5, 10, r, amount);
    EXPECT_FLOAT_EQ(floorHeight[10][10], 5 + r * amount);      // below the centre, on the surface
    for (auto [x, z] : {std::pair{15, 10}, {13, 14}, {5, 10}}) // exactly r away
        EXPECT_EQ(floorHeight[x][z], 5) << x << "," << z;
    keepHeights();
    memset(chunkDirty, 0, sizeof chunkDirty);
    for (float bad : {NaN, INF}) { // not a place or not an amount: nothing happens
        shapeTerrain(bad, 5, 5, r, amount), shapeTerrain(5, bad, 5, r, amount);
        shapeTerrain(5, 5, bad, r, amount), shapeTerrain(5, 5, 5, r, bad);
        shapeTerrain(5, 5, 5, bad == INF ? 1e20f : bad, amount);
    }
    EXPECT_TRUE(heightsKept() &&
                std::count(chunkDirty, chunkDirty + CHUNK_TOTAL, 0) == CHUNK_TOTAL);
}

} // namespace
