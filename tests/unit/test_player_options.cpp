// test_player_options.cpp: the trailing camera kept clear of surfaces, and the
// player's figure faded when that camera comes near it; comforts behind their
// own settings key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "app/input.h"
#include "app/settings.h"
#include "game/update_steps.h"
#include "physics/collision.h"
#include "game_fixture.h"

namespace {

struct Point {
    double x, y, z;
};
Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Point operator*(double s, Point a) {
    return {s * a.x, s * a.y, s * a.z};
}
double dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Point cross(Point a, Point b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double norm(Point a) {
    return std::sqrt(dot(a, a));
}
Point point(Vector3 v) {
    return {v.x, v.y, v.z};
}

struct Tri {
    Point a, b, c;
    Point lo, hi; // the box round the corners
};

double boxGap(Point p, const Tri& t) {
    return std::max({p.x - t.hi.x, t.lo.x - p.x, p.y - t.hi.y, t.lo.y - p.y, p.z - t.hi.z,
                     t.lo.z - p.z, 0.0});
}

// Every collision triangle of the world whose box comes within `radius` of p,
// placed at the repeat of the world nearest to p (falling blocks where drawn).
std::vector<Tri> trianglesNear(Point p, double radius) {
    std::vector<Tri> near;
    for (int i = 0; i < CHUNK_TOTAL; i++) {
        const CollisionList* lists[3] = {terrainCollision[i], blockCollision[i],
                                         fallingMeshes[i].vertexCount > 0 ? fallingCollision[i]
                                                                           : nullptr};
        for (int k = 0; k < 3; k++) {
            for (int n = 0; lists[k] && n < lists[k]->triangleCount; n++) {
                const float* v[3] = {lists[k]->corner0 + 3 * n, lists[k]->corner1 + 3 * n,
                                     lists[k]->corner2 + 3 * n};
                Point c[3];
                for (int j = 0; j < 3; j++)
                    c[j] = {v[j][0] + 5.0 * (i / 10), v[j][1] - (k == 2 ? settleProgress : 0),
                            v[j][2] + 5.0 * (i % 10)};
                const Point shift = {50 * std::round((p.x - c[0].x) / 50), 0,
                                     50 * std::round((p.z - c[0].z) / 50)};
                Tri t = {c[0] + shift, c[1] + shift, c[2] + shift, {}, {}};
                t.lo = {std::min({t.a.x, t.b.x, t.c.x}), std::min({t.a.y, t.b.y, t.c.y}),
                        std::min({t.a.z, t.b.z, t.c.z})};
                t.hi = {std::max({t.a.x, t.b.x, t.c.x}), std::max({t.a.y, t.b.y, t.c.y}),
                        std::max({t.a.z, t.b.z, t.c.z})};
                if (boxGap(p, t) < radius)
                    near.push_back(t);
            }
        }
    }
    return near;
}

double segmentDistance(Point p, Point a, Point b) {
    const double t = std::clamp(dot(p - a, b - a) / dot(b - a, b - a), 0.0, 1.0);
    return norm(p - (a + t * (b - a)));
}

// Brute force: the plane when p projects inside (each edge sees the projection
// on the same side as the triangle), else the nearest edge.
double nearestSurface(Point p, const std::vector<Tri>& tris) {
    double best = 1e30;
    for (const Tri& t : tris) {
        if (boxGap(p, t) >= best)
            continue; // no nearer than its box
        const Point n = cross(t.b - t.a, t.c - t.a);
        const double h = dot(p - t.a, n) / dot(n, n);
        const Point q = p - h * n;
        const bool inside = dot(cross(t.b - t.a, q - t.a), n) >= 0 &&
                            dot(cross(t.c - t.b, q - t.b), n) >= 0 &&
                            dot(cross(t.a - t.c, q - t.c), n) >= 0;
        double d = inside ? std::fabs(h) * norm(n) : 1e30;
        d = std::min({d, segmentDistance(p, t.a, t.b), segmentDistance(p, t.b, t.c),
                      segmentDistance(p, t.c, t.a)});
        best = std::min(best, d);
    }
    return best;
}

// Whether the segment from s to e meets any of the triangles (Moller-Trumbore).
bool segmentMeets(Point s, Point e, const std::vector<Tri>& tris) {
    const Point d = e - s;
    const Point mid = 0.5 * (s + e);
    for (const Tri& t : tris) {
        if (boxGap(mid, t) > 0.5 * norm(d))
            continue; // out of reach of the segment

        const Point e1 = t.b - t.a, e2 = t.c - t.a, pv = cross(d, e2);
        const double det = dot(e1, pv);
        if (det == 0)
            continue;
        const Point tv = s - t.a, qv = cross(tv, e1);
        const double u = dot(tv, pv) / det, v = dot(d, qv) / det, w = dot(e2, qv) / det;
        if (u >= 0 && v >= 0 && u + v <= 1 && w >= 0 && w <= 1)
            return true;
    }
    return false;
}

// The distance from the eye to a corner of the scene's near plane (0.1 units
// ahead; 50 degrees high; as wide as the window's shape).
double nearCornerReach() {
    const double h = 0.1 * std::tan(25 * 3.14159265358979 / 180);
    return std::sqrt(0.1 * 0.1 + h * h + h * aspectRatio * h * aspectRatio);
}

// Above the floor and below the ceiling of its cell, and not in a block.
bool inOpenAir(Vector3 p) {
    const int x = (int)p.x, z = (int)p.z, x1 = (x + 1) % 50, z1 = (z + 1) % 50;
    const float floor = std::max({floorHeight[x][z], floorHeight[x1][z], floorHeight[x][z1],
                                  floorHeight[x1][z1]});
    const float ceiling = std::min({ceilingHeight[x][z], ceilingHeight[x1][z],
                                    ceilingHeight[x][z1], ceilingHeight[x1][z1]});
    return floor < p.y && p.y < ceiling && blocks[x][(int)p.y][z] == 0;
}

bool same(Vector3 a, Vector3 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Random bodies in the open air of generated caves (half of them near a wall),
// looking any way, over either shoulder, coming from any earlier reach and at any rate. Every tick
// the camera either looks from the eye (no room at all) or stands on the line
// from the point above the body to its trailing place, at least half a unit
// out, with no surface between that point and it and none within the reach of
// the near plane's corners. With room for it, it eases all the way out.
TEST(CameraCollision, NearPlaneAndLineToTheBodyKeptClear) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int poses = 0, pulled = 0, eye = 0, free = 0;
    for (unsigned int cave = 1; cave <= 3; ++cave) {
        freshWorld(cave * 7919, false);
        setWindow(cave == 2 ? 450.0f : 1280.0f, cave == 2 ? 660.0f : 720.0f);
        mouseInWindow = false;
        thirdPersonView = true, viewBlend = 1.0f;
        const double reach = nearCornerReach();
        for (int pose = 0; pose < 300; ++pose) {
            const Vector3 body = {50 * unit(random), 1.5f + 22 * unit(random), 50 * unit(random)};
            const Point pivot = {body.x, body.y + 1.0, body.z};
            const std::vector<Tri> tris = trianglesNear(pivot, 7.0);
            const double room = nearestSurface(point(body), tris);
            // The physics' own distance agrees with the brute force, a repeat away as well.
            ASSERT_NEAR(nearestSurfaceDistance(body.x - 50, body.y, body.z + 50, 3.0f),
                        std::min(room, 3.0), 1e-4);
            if (!inOpenAir(body) || room < 1.25 || (pose % 2 && room > 3))
                continue; // in rock; or, every other pose, far from any wall
            poses++;
            player.position = player.head = body;
            player.head.y += 1.65f;
            thirdPersonCamera.pitch = player.pitch = (unit(random) * 2 - 1) * 1.13f;
            player.yaw = (unit(random) * 2 - 1) * 10;
            thirdPersonCamera.yaw = player.yaw - 1.570796325f;
            cameraSide = unit(random) < 0.5f, cameraSideBlend = cameraSide ? 1.0f : 0.0f;
            cameraCollision = false;
            updateCameraRig(1.0f);
            const Point trailing = point(viewCamera.position);
            cameraCollision = true;
            cameraReach = unit(random);
            const float rate = unit(random) < 0.5f ? 1.0f : 0.25f + 2 * unit(random);
            for (int tick = 0; tick < 60; ++tick) {
                updateCameraRig(tick < 5 ? rate : 1.0f);
                if (same(viewCamera.position, player.head)) {
                    eye += tick == 59;
                    continue;
                }
                const Point c = point(viewCamera.position);
                ASSERT_GT(nearestSurface(c, tris), reach) << "cave " << cave << " pose " << pose;
                ASSERT_FALSE(segmentMeets(pivot, c, tris)) << "cave " << cave << " pose " << pose;
                ASSERT_NEAR(norm(c - pivot) + norm(trailing - c), norm(trailing - pivot), 1e-4);
                ASSERT_GE(norm(c - pivot), 0.5 - 1e-5);
            }
            const Point c = point(viewCamera.position);
            if (nearestSurface(trailing, tris) > reach + 0.3 &&
                !segmentMeets(pivot, trailing, tris)) {
                free++;
                EXPECT_LT(norm(c - trailing), 1e-4) << "cave " << cave << " pose " << pose;
            } else {
                pulled++;
            }
        }
    }
    cameraCollision = false;
    EXPECT_GT(pulled, poses / 10);
    EXPECT_GT(free, poses / 3);
    EXPECT_LT(eye, poses / 25) << "the eye only when there is no room at all";
}

// Far off, or seen from the eye, the figure is opaque; nearer than its own size
// to a trailing camera it fades, the more the nearer.
TEST(CameraCollision, FigureFadesWhenTheCameraComesNearIt) {
    for (float d : {2.0f, 2.5f, 6.0f, 1e9f})
        EXPECT_EQ(figureOpacity(d, 1.0f), 1.0f) << d;
    float last = 0.0f;
    for (float d = 0.0f; d < 2.0f; d += 0.125f) {
        const float o = figureOpacity(d, 1.0f);
        EXPECT_TRUE(o > last && o < 1.0f) << d;
        EXPECT_EQ(figureOpacity(d, 0.0f), 1.0f) << "first person, " << d;
        EXPECT_TRUE(figureOpacity(d, 0.5f) > o && figureOpacity(d, 0.5f) < 1.0f) << d;
        last = o;
    }
}

// With the back to a pillar the camera comes in close and the figure fades;
// without the key it stays opaque wherever the camera is.
TEST_F(GameTest, BackToAPillarFadesTheFigure) {
    memset(blocks, 0, sizeof blocks);
    markAllChunksDirty();
    rebuildDirtyChunks();
    settlePlayer();
    cameraCollision = true;
    thirdPersonView = true;
    steps(60, 1.0f);
    EXPECT_EQ(playerOpacity(), 1.0f) << "the camera trails five units out";
    // One column of blocks on the camera's line, just behind the back.
    const Vector3 pivot = {player.position.x, player.position.y + 1, player.position.z};
    const Vector3 c = viewCamera.position;
    const float share = 1.8f / distance(pivot, c);
    fillBlocks((int)std::floor(pivot.x + share * (c.x - pivot.x)),
               (int)std::floor(pivot.x + share * (c.x - pivot.x)), 3, 12,
               (int)std::floor(pivot.z + share * (c.z - pivot.z)),
               (int)std::floor(pivot.z + share * (c.z - pivot.z)));
    steps(2, 1.0f);
    EXPECT_LT(distance(pivot, viewCamera.position), 1.8f);
    EXPECT_LT(playerOpacity(), 0.8f) << "the figure fades";
    cameraCollision = false;
    EXPECT_EQ(playerOpacity(), 1.0f) << "without the key";
}

} // namespace
