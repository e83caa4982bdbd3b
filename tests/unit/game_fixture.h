// game_fixture.h: a fresh game for the gameplay tests. All game state is
// global, so every test starts from a world generated from a fixed seed with
// bodies, cameras, flags, clocks and input reset; step() runs one frame as
// the main loop does (update, chunk rebuild, the next poll's promotion of
// pressed keys and buttons to held).
#pragma once

#include <cmath>
#include <cstdlib>
#include <cstring>

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
const float TEST_WIDTH = 1024.0f;
const float TEST_HEIGHT = 768.0f;

inline void resetInput() {
    memset(keyState, 0, sizeof keyState);
    memset(mouseButtonState, 0, sizeof mouseButtonState);
    screenWidth = TEST_WIDTH;
    screenHeight = TEST_HEIGHT;
    aspectRatio = TEST_WIDTH / TEST_HEIGHT;
    mouseX = (int)(TEST_WIDTH / 2);
    mouseY = (int)(TEST_HEIGHT / 2);
    mouseInWindow = true;
    fieldOfView = 50.0f;
}

// A new world from the seed, as the game starts one; water chooses whether
// the water grids are generated and animated.
inline void freshWorld(unsigned int seed, bool water) {
    resetInput();
    resetGameState();
    useWater = water;
    srand(seed);
    setupNewWorld();
}

inline void step(float timeFactor) {
    updateGame(timeFactor);
    rebuildDirtyChunks();
    promotePressedKeys();
    promotePressedButtons();
}
inline void steps(int count, float timeFactor) {
    for (int i = 0; i < count; ++i) {
        step(timeFactor);
    }
}

// Pressed for the next update, held after it (step() promotes), until released.
inline void pressKey(int key) {
    keyState[key] = Pressed;
}
inline void releaseKey(int key) {
    keyState[key] = Up;
}
inline void pressButton(int button) {
    mouseButtonState[button] = Pressed;
}
inline void releaseButton(int button) {
    mouseButtonState[button] = Up;
}

// Flat floor and ceiling everywhere, every chunk rebuilt.
inline void flattenCave(float floorY, float ceilingY) {
    for (int x = 0; x < WORLD_SIZE; ++x) {
        for (int z = 0; z < WORLD_SIZE; ++z) {
            floorHeight[x][z] = floorY;
            ceilingHeight[x][z] = ceilingY;
        }
    }
    markAllChunksDirty();
    rebuildDirtyChunks();
}

// Solid blocks filling the cells [x0, x1] x [y0, y1] x [z0, z1].
inline void fillBlocks(int x0, int x1, int y0, int y1, int z0, int z1) {
    for (int x = x0; x <= x1; ++x) {
        for (int y = y0; y <= y1; ++y) {
            for (int z = z0; z <= z1; ++z) {
                blocks[wrapCell(x)][y][wrapCell(z)] = 1;
            }
        }
    }
    markAllChunksDirty();
    rebuildDirtyChunks();
}

inline int countBlocks() {
    int count = 0;
    const unsigned char* cells = &blocks[0][0][0];
    for (size_t i = 0; i < sizeof blocks; ++i) {
        count += cells[i];
    }
    return count;
}

inline float distance(Vector3 a, Vector3 b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

inline bool finite(Vector3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Straight ahead from a camera pose (positive pitch looks down).
inline Vector3 viewDirection(const CameraPose& camera) {
    return Vector3{std::cos(camera.pitch) * std::sin(camera.yaw), -std::sin(camera.pitch),
                   -std::cos(camera.pitch) * std::cos(camera.yaw)};
}

// The generated cave from the fixed seed flattened to a floor at 3 and a
// ceiling at 30, the player dropped at (25, 10, 25).
class GameTest : public ::testing::Test {
  protected:
    static constexpr float FLOOR_Y = 3.0f;
    static constexpr float CEILING_Y = 30.0f;
    void SetUp() override {
        optimizeGeometry = useLight = false; // the same meshes whatever ran before
        freshWorld(TEST_SEED, false);
        flattenCave(FLOOR_Y, CEILING_Y);
    }
    // No enemies, balls or clocks left behind for whatever runs next.
    void TearDown() override { resetGameState(); }
    // Updates until the player stands, then a few more so it rests.
    void settlePlayer() {
        for (int i = 0; i < 400 && !player.onGround; ++i) {
            step(1.0f);
        }
        steps(30, 1.0f);
    }
};
