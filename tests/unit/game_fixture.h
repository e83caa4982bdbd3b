// game_fixture.h: what the unit tests share. All game state is global, so each game test starts
// from a world generated from a fixed seed with input reset; step() runs one frame as the main
// loop does (update, chunk rebuild, the next poll promoting pressed keys and buttons to held).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "app/input.h"
#include "app/settings.h"
#include "game/game.h"
#include "game/new_game.h"
#include "game/update_steps.h"
#include "meshing/chunks.h"
#include "render/frustum.h"
#include "world/generate.h"
#include "world/world.h"
#include "world/world_atlas.h"

const unsigned int TEST_SEED = 1234;

inline void setWindow(float width, float height) {
    screenWidth = width, screenHeight = height, aspectRatio = width / height;
}

inline void freshWorld(unsigned int seed, bool water) {
    memset(keyState, 0, sizeof keyState);
    memset(mouseButtonState, 0, sizeof mouseButtonState);
    setWindow(1024.0f, 768.0f);
    mouseX = 512, mouseY = 384, mouseInWindow = true, fieldOfView = 50.0f;
    resetGameState();
    useWater = water;
    srand(seed);
    setupNewWorld();
}

inline void step(float f) {
    updateGame(f);
    rebuildDirtyChunks();
    promotePressedKeys();
    promotePressedButtons();
}
inline void steps(int count, float f) {
    for (int i = 0; i < count; ++i)
        step(f);
}

// Solid blocks in the cells [x0, x1] x [y0, y1] x [z0, z1], meshes rebuilt.
inline void fillBlocks(int x0, int x1, int y0, int y1, int z0, int z1) {
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            for (int z = z0; z <= z1; ++z)
                blocks[wrapCell(x)][y][wrapCell(z)] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
}

struct Rng {
    unsigned state;
    explicit Rng(unsigned seed) : state(seed) {}
    int below(int n) {
        state = state * 1103515245u + 12345u;
        return (int)((state >> 8) % (unsigned)n);
    }
    float uniform(float lo, float hi) { return lo + (hi - lo) * (float)below(65536) / 65535.0f; }
};

template <typename Visit> void eachCell(Visit visit) {
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int y = 0; y < WORLD_LEVELS; y++)
            for (int z = 0; z < WORLD_SIZE; z++)
                visit(x, y, z);
}

inline int countCells(const unsigned char grid[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE]) {
    int n = 0;
    eachCell([&](int x, int y, int z) { n += grid[x][y][z] != 0; });
    return n;
}

// No blocks, nothing falling, flat floor and ceiling, texture tables filled.
inline void emptyCave(float floorY, float ceilingY) {
    memset(blocks, 0, sizeof blocks);
    memset(fallingBlocks, 0, sizeof fallingBlocks);
    std::fill_n(&floorHeight[0][0], WORLD_SIZE * WORLD_SIZE, floorY);
    std::fill_n(&ceilingHeight[0][0], WORLD_SIZE * WORLD_SIZE, ceilingY);
    blocksFalling = false;
    fillTextureTables();
}

// A column-major matrix applied to (x, y, z, w).
inline void applyMatrix(const float m[16], const double p[4], double out[4]) {
    for (int r = 0; r < 4; r++)
        out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r] * p[3];
}

inline float distance(Vector3 a, Vector3 b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

// World-placed collision triangles in double precision, for oracles that check the physics.
struct Point {
    double x, y, z;
    Point operator-(Point b) const { return {x - b.x, y - b.y, z - b.z}; }
    Point operator+(Point b) const { return {x + b.x, y + b.y, z + b.z}; }
    Point operator*(double s) const { return {s * x, s * y, s * z}; }
    double dot(Point b) const { return x * b.x + y * b.y + z * b.z; }
    Point cross(Point b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x}; }
    double norm() const { return std::sqrt(dot(*this)); }
    static Point of(Vector3 v) { return {v.x, v.y, v.z}; }
};

struct Tri {
    Point a, b, c;
    double size; // no point of it is farther from a
};

// Every collision triangle of the world that may come within `radius` of p,
// placed at the repeat of the world nearest to p (falling blocks where drawn).
inline std::vector<Tri> trianglesNear(Point p, double radius) {
    std::vector<Tri> near;
    for (int i = 0; i < CHUNK_TOTAL; i++) {
        if (std::fabs(std::remainder(p.x - 5 * (i / 10) - 2.5, 50)) > radius + 2.5 ||
            std::fabs(std::remainder(p.z - 5 * (i % 10) - 2.5, 50)) > radius + 2.5)
            continue; // the chunk's column lies farther off
        const CollisionList* lists[3] = {terrainCollision[i], blockCollision[i],
                                         fallingMeshes[i].vertexCount ? fallingCollision[i] : 0};
        for (int k = 0; k < 3; k++) {
            for (int n = 0; lists[k] && n < lists[k]->triangleCount; n++) {
                const float* v[3] = {lists[k]->corner0 + 3 * n, lists[k]->corner1 + 3 * n,
                                     lists[k]->corner2 + 3 * n};
                const double x = 5.0 * (i / 10), z = 5.0 * (i % 10),
                             y = k == 2 ? settleProgress : 0;
                const Point shift = {x + 50 * std::round((p.x - x - v[0][0]) / 50), -y,
                                     z + 50 * std::round((p.z - z - v[0][2]) / 50)};
                Tri t = {Point{v[0][0], v[0][1], v[0][2]} + shift,
                         Point{v[1][0], v[1][1], v[1][2]} + shift,
                         Point{v[2][0], v[2][1], v[2][2]} + shift, 0};
                t.size = std::max((t.b - t.a).norm(), (t.c - t.a).norm());
                if ((p - t.a).norm() - t.size < radius)
                    near.push_back(t);
            }
        }
    }
    return near;
}

// The share (0..1) of the way from s to e where it first meets one of the triangles
// (Moller-Trumbore), or 2 when it meets none.
inline double firstCrossing(Point s, Point e, const std::vector<Tri>& tris) {
    const Point d = e - s;
    double first = 2;
    for (const Tri& t : tris) {
        const Point e1 = t.b - t.a, e2 = t.c - t.a, pv = d.cross(e2), tv = s - t.a,
                    qv = tv.cross(e1);
        const double det = e1.dot(pv), u = tv.dot(pv) / det, v = d.dot(qv) / det,
                     w = e2.dot(qv) / det;
        if (det != 0 && u >= 0 && v >= 0 && u + v <= 1 && w >= 0 && w <= 1)
            first = std::min(first, w);
    }
    return first;
}

// The fixed seed's cave flattened to a floor at 3 and a ceiling at 30, the player dropped at
// (25, 10, 25).
class GameTest : public ::testing::Test {
  protected:
    static constexpr float FLOOR_Y = 3.0f;
    void SetUp() override {
        optimizeGeometry = useLight = false; // the same meshes whatever ran before
        freshWorld(TEST_SEED, false);
        flatten(FLOOR_Y, 30.0f);
    }
    void TearDown() override { resetGameState(); }
    static void flatten(float floorY, float ceilingY) {
        std::fill_n(&floorHeight[0][0], WORLD_SIZE * WORLD_SIZE, floorY);
        std::fill_n(&ceilingHeight[0][0], WORLD_SIZE * WORLD_SIZE, ceilingY);
        markAllChunksDirty();
        rebuildDirtyChunks();
    }
    void settlePlayer() { // until the player stands, then a few more updates to rest
        for (int i = 0; i < 400 && !player.onGround; ++i)
            step(1.0f);
        steps(30, 1.0f);
    }
};
