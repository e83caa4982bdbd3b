// game_fixture.h: a fresh game for the gameplay tests. All game state is global, so each test
// starts from a world generated from a fixed seed with input reset; step() runs one frame as the
// main loop does (update, chunk rebuild, the next poll promoting pressed keys and buttons to held).
#pragma once

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include <gtest/gtest.h>

#include "app/input.h"
#include "app/settings.h"
#include "game/game.h"
#include "game/update_steps.h"
#include "meshing/chunks.h"
#include "render/frustum.h"
#include "world/new_game.h"
#include "world/world.h"

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

inline int countBlocks() {
    return std::accumulate(&blocks[0][0][0], &blocks[0][0][0] + sizeof blocks, 0);
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
