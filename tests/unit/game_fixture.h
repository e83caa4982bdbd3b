// game_fixture.h: a fresh, fully reset game for the gameplay tests. All game
// state is global, so every test starts from a world generated from a fixed
// seed with the player, enemies, balls, cameras, flags, clocks and input
// tables reset; step() runs one frame as the main loop does (update, chunk
// rebuild, then the next poll's promotion of pressed keys to held).
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

// A new world from the seed, as the game starts one; useWater chooses whether
// the water grids are generated and animated.
inline void freshWorld(unsigned int seed, bool water) {
    resetInput();
    resetGameState();
    useWater = water;
    srand(seed);
    setupNewWorld();
}

// One frame of the main loop at the given time factor.
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

// Presses as a person would: the key is Pressed for the next update and Held
// after it (step() promotes it), until released.
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

// Flat floor and ceiling everywhere, so positions can be checked against
// known heights; every chunk is rebuilt before returning.
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

// Solid blocks filling the box of cells [x0, x1] x [y0, y1] x [z0, z1].
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
    for (int x = 0; x < WORLD_SIZE; ++x) {
        for (int y = 0; y < WORLD_LEVELS; ++y) {
            for (int z = 0; z < WORLD_SIZE; ++z) {
                count += blocks[x][y][z];
            }
        }
    }
    return count;
}

inline float distance(Vector3 a, Vector3 b) {
    float dx = a.x - b.x;
    float dy = a.y - b.y;
    float dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

inline bool finite(Vector3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The view direction of a camera pose: straight ahead at its pitch and yaw
// (positive pitch looks down).
inline Vector3 viewDirection(const CameraPose& camera) {
    return Vector3{std::cos(camera.pitch) * std::sin(camera.yaw), -std::sin(camera.pitch),
                   -std::cos(camera.pitch) * std::cos(camera.yaw)};
}

// A test world: the generated cave from the fixed seed, flattened to a floor
// at 3 and a ceiling at 30, with the player dropped at (25, 10, 25).
class GameTest : public ::testing::Test {
  protected:
    static constexpr float FLOOR_Y = 3.0f;
    static constexpr float CEILING_Y = 30.0f;
    void SetUp() override {
        freshWorld(TEST_SEED, false);
        flattenCave(FLOOR_Y, CEILING_Y);
    }
    // No enemies, balls or clocks left behind for whatever runs next.
    void TearDown() override { resetGameState(); }
    // Runs updates until the player stands, then a few more so it rests.
    void settlePlayer() {
        for (int i = 0; i < 400 && !player.onGround; ++i) {
            step(1.0f);
        }
        steps(30, 1.0f);
    }
};
