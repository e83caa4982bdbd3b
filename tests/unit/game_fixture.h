// game_fixture.h: what the unit tests share. All game state is global, so each game test starts
// from a world generated from a fixed seed with input reset; step() runs one frame as the main
// loop does (update, chunk rebuild, the next poll promoting pressed keys and buttons to held).
#pragma once

#include <cmath>
#include <cstdlib>
#include <cstring>

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
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            floorHeight[x][z] = floorY, ceilingHeight[x][z] = ceilingY;
    blocksFalling = false;
    fillTextureTables();
}

inline float distance(Vector3 a, Vector3 b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
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
        for (int x = 0; x < WORLD_SIZE; ++x)
            for (int z = 0; z < WORLD_SIZE; ++z)
                floorHeight[x][z] = floorY, ceilingHeight[x][z] = ceilingY;
        markAllChunksDirty();
        rebuildDirtyChunks();
    }
    void settlePlayer() { // until the player stands, then a few more updates to rest
        for (int i = 0; i < 400 && !player.onGround; ++i)
            step(1.0f);
        steps(30, 1.0f);
    }
};
