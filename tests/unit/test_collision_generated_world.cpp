// test_collision_generated_world.cpp: the sphere and segment queries on real
// generated worlds: nearest hit against a brute force over every triangle,
// independence from the order of triangles, lists and cells, the world's
// repeats, and bodies at rest on flat ground.
#include "game/game.h"
#include "meshing/chunks.h"
#include "physics/collision.h"
#include "physics/geometry.h"
#include "triangle_lists.h"
#include "world/new_game.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

namespace {

const float R = 1.25f;

struct Hit {
    bool hit;
    float x, y, z;
    double distance; // from the start, along the segment
};

// Every triangle of every chunk in the segment's bounding box, each tested
// against the whole unshortened segment; the crossing nearest the start.
Hit bruteClip(float sx, float sy, float sz, float ex, float ey, float ez) {
    Hit best{false, ex, ey, ez, 1e30};
    int x0 = (int)floorf(fminf(sx, ex) / 5), x1 = (int)floorf(fmaxf(sx, ex) / 5);
    int z0 = (int)floorf(fminf(sz, ez) / 5), z1 = (int)floorf(fmaxf(sz, ez) / 5);
    for (int cx = x0; cx <= x1; cx++)
        for (int cz = z0; cz <= z1; cz++) {
            int i = chunkIndex(cx, cz);
            float ox = 5.0f * cx, oz = 5.0f * cz;
            const CollisionList* lists[3] = {terrainCollision[i], blockCollision[i],
                                             fallingCollision[i]};
            for (int k = 0; k < 3; k++) {
                if (k == 2 && fallingMeshes[i].vertexCount <= 0)
                    continue;
                float lift = (k == 2) ? settleProgress : 0.0f;
                Segment s{{sx - ox, sy + lift, sz - oz}, {ex - ox, ey + lift, ez - oz}};
                const CollisionList* l = lists[k];
                for (int t = 0; t < l->triangleCount; t++) {
                    Triangle tri{{l->corner0[3 * t], l->corner0[3 * t + 1], l->corner0[3 * t + 2]},
                                 {l->corner1[3 * t], l->corner1[3 * t + 1], l->corner1[3 * t + 2]},
                                 {l->corner2[3 * t], l->corner2[3 * t + 1], l->corner2[3 * t + 2]}};
                    Vector3 n;
                    float d;
                    if (!segmentCrossesPlane(tri, s, n, d))
                        continue;
                    Vector3 h = linePlaneIntersection(s, n, d);
                    if (!pointInTriangle(tri, h))
                        continue;
                    double dist = std::sqrt(std::pow((double)h.x - s.start.x, 2) +
                                            std::pow((double)h.y - s.start.y, 2) +
                                            std::pow((double)h.z - s.start.z, 2));
                    if (dist < best.distance)
                        best = Hit{true, h.x + ox, h.y - lift, h.z + oz, dist};
                }
            }
        }
    return best;
}

Hit realClip(float sx, float sy, float sz, float ex, float ey, float ez) {
    Hit h{false, ex, ey, ez, 0};
    h.hit = clipSegmentToWorld(sx, sy, sz, h.x, h.y, h.z);
    h.distance = std::sqrt(std::pow((double)h.x - sx, 2) + std::pow((double)h.y - sy, 2) +
                           std::pow((double)h.z - sz, 2));
    return h;
}

// A random segment from inside the cave: short steps like a ball's, and long
// rays like the aim ray, some of them crossing the world's seams.
void randomSegment(std::mt19937& rng, float s[3], float e[3]) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int gx = (int)(unit(rng) * 49.99f), gz = (int)(unit(rng) * 49.99f);
    float lo = floorHeight[gx][gz], hi = ceilingHeight[gx][gz];
    s[0] = gx + unit(rng);
    s[2] = gz + unit(rng);
    s[1] = lo + (hi - lo) * unit(rng);
    float length = unit(rng) < 0.5f ? 2.0f * unit(rng) : 50.0f * unit(rng);
    float yaw = 6.2831853f * unit(rng), pitch = 3.0f * (unit(rng) - 0.5f);
    e[0] = s[0] + length * cosf(pitch) * cosf(yaw);
    e[1] = s[1] + length * sinf(pitch);
    e[2] = s[2] + length * cosf(pitch) * sinf(yaw);
}

class GeneratedWorld : public ::testing::Test {
  protected:
    void SetUp() override { settleProgress = 0.0f; }
    void TearDown() override { settleProgress = 0.0f; }
    void makeWorld(unsigned seed) {
        srand(seed);
        setupNewWorld();
    }
};

TEST_F(GeneratedWorld, NearestHitMatchesBruteForce) {
    std::mt19937 rng(1);
    int hits = 0, total = 0;
    for (unsigned seed : {1u, 2u, 3u}) {
        makeWorld(seed);
        for (int k = 0; k < 300; k++) {
            float s[3], e[3];
            randomSegment(rng, s, e);
            Hit want = bruteClip(s[0], s[1], s[2], e[0], e[1], e[2]);
            Hit got = realClip(s[0], s[1], s[2], e[0], e[1], e[2]);
            ASSERT_EQ(got.hit, want.hit) << seed << " " << k;
            total++;
            if (!want.hit) {
                EXPECT_EQ(got.x, e[0]);
                EXPECT_EQ(got.y, e[1]);
                EXPECT_EQ(got.z, e[2]);
                continue;
            }
            hits++;
            EXPECT_NEAR(got.distance, want.distance, 1e-3) << seed << " " << k;
            EXPECT_NEAR(got.x, want.x, 2e-3);
            EXPECT_NEAR(got.y, want.y, 2e-3);
            EXPECT_NEAR(got.z, want.z, 2e-3);
        }
    }
    // The cases must exercise both outcomes.
    EXPECT_GT(hits, total / 5);
    EXPECT_LT(hits, total);
}

// The list scan as its steps read, with no shortcut: the scans of the world
// query must agree with it bit for bit.
bool plainSphereScan(float& x, float& y, float& z, float radius, const CollisionList* l,
                     bool pushFaces, bool pushEdges) {
    bool moved = false;
    for (int i = 0; i < l->triangleCount; i++) {
        Triangle t{{l->corner0[3 * i], l->corner0[3 * i + 1], l->corner0[3 * i + 2]},
                   {l->corner1[3 * i], l->corner1[3 * i + 1], l->corner1[3 * i + 2]},
                   {l->corner2[3 * i], l->corner2[3 * i + 1], l->corner2[3 * i + 2]}};
        Vector3 n{l->normal[3 * i], l->normal[3 * i + 1], l->normal[3 * i + 2]};
        float dist = (x - t.v0.x) * n.x + (y - t.v0.y) * n.y + (z - t.v0.z) * n.z;
        if (!(dist <= 0.0f && -dist < radius))
            continue;
        Vector3 q{x - dist * n.x, y - dist * n.y, z - dist * n.z};
        if (pointInTriangle(t, q)) {
            if (pushFaces) {
                float push = radius + dist;
                x -= push * n.x;
                y -= push * n.y;
                z -= push * n.z;
                moved = true;
            }
            continue;
        }
        if (!pushEdges)
            continue;
        Vector3 v[3] = {t.v0, t.v1, t.v2};
        for (int k = 0; k < 3; k++) {
            Vector3 e = closestPointOnSegment(v[k], v[(k + 1) % 3], {x, y, z});
            float dx = x - e.x, dy = y - e.y, dz = z - e.z;
            float len = sqrtf(dx * dx + dy * dy + dz * dz);
            if (radius > len && len > 0.0f) {
                float s = radius / len;
                x = e.x + dx * s;
                y = e.y + dy * s;
                z = e.z + dz * s;
                moved = true;
            }
        }
    }
    return moved;
}

TEST_F(GeneratedWorld, SphereScansMatchThePlainSteps) {
    std::mt19937 rng(8);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    makeWorld(8);
    int moves = 0;
    for (int k = 0; k < 3000; k++) {
        int i = (int)(unit(rng) * 99.99f);
        const CollisionList* lists[2] = {terrainCollision[i], blockCollision[i]};
        const CollisionList* l = lists[k % 2];
        if (l->triangleCount == 0)
            continue;
        // Near a random corner of a random triangle of the list.
        int t = (int)(unit(rng) * (l->triangleCount - 0.01f));
        float x = l->corner1[3 * t] + 3.0f * (unit(rng) - 0.5f);
        float y = l->corner1[3 * t + 1] + 3.0f * (unit(rng) - 0.5f);
        float z = l->corner1[3 * t + 2] + 3.0f * (unit(rng) - 0.5f);
        bool faces = k % 3 != 0, edges = k % 3 != 1;
        float px = x, py = y, pz = z;
        bool want = plainSphereScan(px, py, pz, R, l, faces, edges);
        bool got = sphereVsTriangleList(x, y, z, R, l, faces, edges);
        ASSERT_EQ(got, want) << k;
        ASSERT_EQ(x, px) << k;
        ASSERT_EQ(y, py) << k;
        ASSERT_EQ(z, pz) << k;
        moves += got;
    }
    EXPECT_GT(moves, 300);
}

// Copies of every chunk's lists, triangles shuffled, optionally mirrored in x
// (chunk (cx, cz) moves to (9 - cx, cz), x to 50 - x): a mirrored world is
// scanned in the opposite order of cells.
struct WorldCopy {
    TestList terrain[CHUNK_TOTAL], block[CHUNK_TOTAL], falling[CHUNK_TOTAL];
    int fallingCount[CHUNK_TOTAL];
    CollisionList* saved[3][CHUNK_TOTAL];
    int savedFalling[CHUNK_TOTAL];

    void copy(std::mt19937& rng, bool mirror, bool swapTerrainAndBlock) {
        for (int i = 0; i < CHUNK_TOTAL; i++) {
            saved[0][i] = terrainCollision[i];
            saved[1][i] = blockCollision[i];
            saved[2][i] = fallingCollision[i];
            savedFalling[i] = fallingMeshes[i].vertexCount;
        }
        for (int cx = 0; cx < CHUNK_COUNT; cx++)
            for (int cz = 0; cz < CHUNK_COUNT; cz++) {
                int from = cx * CHUNK_COUNT + cz;
                int to = (mirror ? CHUNK_COUNT - 1 - cx : cx) * CHUNK_COUNT + cz;
                fill(terrain[to], saved[0][from], rng, mirror);
                fill(block[to], saved[1][from], rng, mirror);
                fill(falling[to], saved[2][from], rng, mirror);
                fallingCount[to] = savedFalling[from];
            }
        for (int i = 0; i < CHUNK_TOTAL; i++) {
            terrainCollision[i] = swapTerrainAndBlock ? &block[i].list : &terrain[i].list;
            blockCollision[i] = swapTerrainAndBlock ? &terrain[i].list : &block[i].list;
            fallingCollision[i] = &falling[i].list;
            fallingMeshes[i].vertexCount = fallingCount[i];
        }
    }
    void restore() {
        for (int i = 0; i < CHUNK_TOTAL; i++) {
            terrainCollision[i] = saved[0][i];
            blockCollision[i] = saved[1][i];
            fallingCollision[i] = saved[2][i];
            fallingMeshes[i].vertexCount = savedFalling[i];
        }
    }
    static void fill(TestList& out, const CollisionList* in, std::mt19937& rng, bool mirror) {
        out.clear();
        std::vector<int> order(in->triangleCount);
        for (int t = 0; t < in->triangleCount; t++)
            order[t] = t;
        std::shuffle(order.begin(), order.end(), rng);
        for (int t : order) {
            Vector3 a{in->corner0[3 * t], in->corner0[3 * t + 1], in->corner0[3 * t + 2]};
            Vector3 b{in->corner1[3 * t], in->corner1[3 * t + 1], in->corner1[3 * t + 2]};
            Vector3 c{in->corner2[3 * t], in->corner2[3 * t + 1], in->corner2[3 * t + 2]};
            if (mirror) {
                a.x = 5.0f - a.x, b.x = 5.0f - b.x, c.x = 5.0f - c.x;
                std::swap(b, c); // keeps the normal pointing into the solid
            }
            out.add(a, b, c);
        }
    }
};

TEST_F(GeneratedWorld, NearestHitInAnyOrder) {
    static WorldCopy copy; // large: keep it off the stack
    std::mt19937 rng(2);
    makeWorld(4);
    // Some falling blocks too, drawn a little below their stored place: a
    // few chunks' falling slots borrow their block lists for this test.
    CollisionList* ownFalling[CHUNK_TOTAL];
    int ownFallingCount[CHUNK_TOTAL];
    for (int i = 0; i < CHUNK_TOTAL; i++) {
        ownFalling[i] = fallingCollision[i];
        ownFallingCount[i] = fallingMeshes[i].vertexCount;
        if (i % 7 == 0 && ownFallingCount[i] == 0 && blockMeshes[i].vertexCount > 0) {
            fallingCollision[i] = blockCollision[i];
            fallingMeshes[i].vertexCount = blockMeshes[i].vertexCount;
        }
    }
    settleProgress = 0.4f;
    const int N = 200;
    float segs[N][6];
    Hit original[N];
    for (int k = 0; k < N; k++) {
        randomSegment(rng, segs[k], segs[k] + 3);
        float* q = segs[k];
        original[k] = realClip(q[0], q[1], q[2], q[3], q[4], q[5]);
        Hit want = bruteClip(q[0], q[1], q[2], q[3], q[4], q[5]);
        ASSERT_EQ(original[k].hit, want.hit);
        if (want.hit) {
            EXPECT_NEAR(original[k].distance, want.distance, 1e-3);
        }
    }
    int hits = 0;
    for (int variant = 0; variant < 3; variant++) {
        bool mirror = variant == 2;
        copy.copy(rng, mirror, variant == 1);
        for (int k = 0; k < N; k++) {
            float* q = segs[k];
            float sx = mirror ? 50.0f - q[0] : q[0], ex = mirror ? 50.0f - q[3] : q[3];
            Hit got = realClip(sx, q[1], q[2], ex, q[4], q[5]);
            Hit want = bruteClip(sx, q[1], q[2], ex, q[4], q[5]);
            ASSERT_EQ(got.hit, want.hit) << variant << " " << k;
            if (want.hit) {
                EXPECT_NEAR(got.distance, want.distance, 1e-3) << variant << " " << k;
            }
            // And the same place as in the world as generated.
            EXPECT_EQ(got.hit, original[k].hit) << variant << " " << k;
            EXPECT_NEAR(got.distance, original[k].distance, 2e-3) << variant << " " << k;
            hits += got.hit;
        }
        copy.restore();
    }
    for (int i = 0; i < CHUNK_TOTAL; i++) {
        fallingCollision[i] = ownFalling[i];
        fallingMeshes[i].vertexCount = ownFallingCount[i];
    }
    EXPECT_GT(hits, N / 2);
}

TEST_F(GeneratedWorld, EveryRepeatGivesTheSameAnswer) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> repeat(-300, 300);
    makeWorld(5);
    int contacts = 0;
    for (int k = 0; k < 300; k++) {
        float s[3], e[3];
        randomSegment(rng, s, e);
        float dx = 50.0f * repeat(rng), dz = 50.0f * repeat(rng);
        Hit home = realClip(s[0], s[1], s[2], e[0], e[1], e[2]);
        Hit away = realClip(s[0] + dx, s[1], s[2] + dz, e[0] + dx, e[1], e[2] + dz);
        // Far out a float keeps about a thousandth of a unit.
        ASSERT_EQ(home.hit, away.hit) << k;
        EXPECT_NEAR(away.x - dx, home.x, 0.01) << k;
        EXPECT_NEAR(away.y, home.y, 0.01) << k;
        EXPECT_NEAR(away.z - dz, home.z, 0.01) << k;

        // A body somewhere near a surface.
        float x = s[0], y = floorHeight[(int)s[0]][(int)s[2]] + 2.0f * rand() / RAND_MAX, z = s[2];
        float fx = x + dx, fy = y, fz = z + dz;
        bool c1 = collideSphereWithWorld(x, y, z, R);
        bool c2 = collideSphereWithWorld(fx, fy, fz, R);
        EXPECT_EQ(c1, c2) << k;
        EXPECT_NEAR(fx - dx, x, 0.01) << k;
        EXPECT_NEAR(fy, y, 0.01) << k;
        EXPECT_NEAR(fz - dz, z, 0.01) << k;
        contacts += c1;
    }
    EXPECT_GT(contacts, 30);
}

TEST_F(GeneratedWorld, BodiesOnFlatGround) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int borderShoves = 0;
    for (unsigned seed : {6u, 7u}) {
        makeWorld(seed);
        // Level a patch of floor at 4, lift the ceiling over it and clear
        // the blocks around it, then rebuild as the game would.
        const float level = 4.0f;
        for (int x = 15; x <= 35; x++)
            for (int z = 15; z <= 35; z++) {
                floorHeight[x][z] = level;
                ceilingHeight[x][z] = 20.0f;
                for (int y = 0; y < WORLD_LEVELS; y++)
                    blocks[x][y][z] = fallingBlocks[x][y][z] = 0;
            }
        markAllChunksDirty();
        rebuildDirtyChunks();
        for (int k = 0; k < 200; k++) {
            float x0 = 20.0f + 10.0f * unit(rng), z0 = 20.0f + 10.0f * unit(rng);
            // Exactly one radius above: left alone, no contact.
            float x = x0, y = level + R, z = z0;
            EXPECT_FALSE(collideSphereWithWorld(x, y, z, R)) << x0 << "," << z0;
            EXPECT_EQ(x, x0);
            EXPECT_EQ(y, level + R);
            EXPECT_EQ(z, z0);
            // Sunk by less than the radius: exactly one radius above.
            float sunk = R * unit(rng) * 0.999f + 0.0001f;
            y = level + R - sunk;
            EXPECT_TRUE(collideSphereWithWorld(x, y, z, R)) << x0 << "," << z0;
            EXPECT_EQ(y, level + R) << x0 << "," << z0 << " sunk " << sunk;
            if (std::floor((x0 - R) / 5) == std::floor((x0 + R) / 5) &&
                std::floor((z0 - R) / 5) == std::floor((z0 + R) / 5)) {
                // Within one chunk every face push comes before any edge
                // push: lifted straight up.
                EXPECT_EQ(x, x0);
                EXPECT_EQ(z, z0);
            } else {
                // Across a chunk border the chunk visited first pushes with
                // the edges its floor has on and near the border before the
                // other chunk's face lifts the body: it may slide sideways,
                // but still ends exactly one radius above the floor.
                borderShoves += (x != x0 || z != z0);
            }
            // Also a world repeat away in both directions.
            x = x0 - 150.0f, y = level + R - sunk, z = z0 + 100.0f;
            EXPECT_TRUE(collideSphereWithWorld(x, y, z, R));
            EXPECT_EQ(y, level + R);
        }
    }
    // The border case did occur among the samples.
    EXPECT_GT(borderShoves, 0);
}

} // namespace
