// new_game.cpp: the new-game setup without the texture upload, so the whole
// world can be built and checked with no display.
#include "world/new_game.h"

#include "game/game.h"
#include "meshing/chunks.h"
#include "render/models.h"

#include <cstdio>

char gameTitle[64] = "";
float gameVersion = 0.0f;

unsigned int worldSeed = 0;

float waterTile[8];
float terrainTile[8];
float blockFaceTexCoords[6][36][8];

const float GAME_VERSION = 0.9f;
const float START_X = 25.0f, START_Y = 10.0f, START_Z = 25.0f;

// One block cell spans 128 texels of the 1024-texel atlas; the block strip
// starts 64 texels from the left edge.
const float BLOCK_STRIP_U = 0.0625f;
const float BLOCK_CELL_UV = 0.125f;

unsigned int chooseWorldSeed(unsigned int setting, long long clockSeconds) {
    if (setting != 0) {
        return setting;
    }
    return (unsigned int)clockSeconds;
}

void fillTextureTables() {
    const float water[8] = {0.8125f, 0.1875f, 0.9375f, 0.1875f, 0.9375f, 0.0625f, 0.8125f, 0.0625f};
    const float terrain[8] = {0.8125f, 0.4375f, 0.9375f, 0.4375f,
                              0.9375f, 0.3125f, 0.8125f, 0.3125f};
    for (int i = 0; i < 8; i++) {
        waterTile[i] = water[i];
        terrainTile[i] = terrain[i];
    }
    for (int w = 0; w < 6; w++) {
        for (int h = 0; h < 36; h++) {
            float* t = blockFaceTexCoords[w][h];
            float right = BLOCK_STRIP_U + BLOCK_CELL_UV * w;
            float bottom = BLOCK_CELL_UV * h;
            t[0] = BLOCK_STRIP_U, t[1] = bottom;
            t[2] = right, t[3] = bottom;
            t[4] = right, t[5] = 0.0f;
            t[6] = BLOCK_STRIP_U, t[7] = 0.0f;
        }
    }
}

void setupNewWorld() {
    snprintf(gameTitle, sizeof gameTitle, "%s", "The Hollowmark");
    gameVersion = GAME_VERSION;
    fillTextureTables();
    buildModels();
    scaleModels();
    generateWorld();
    markAllChunksDirty();
    rebuildDirtyChunks();

    Vector3 start = {START_X, START_Y, START_Z};
    player.position = start;
    firstPersonCamera.position = start;
    thirdPersonCamera.position = start;
    viewCamera.position = start;
}
