// new_game.cpp: the new-game setup without the texture upload, so the whole
// world can be built and checked with no display.
#include "game/new_game.h"

#include "game/game.h"
#include "game/models.h"
#include "meshing/chunks.h"
#include "world/generate.h"
#include "world/world_atlas.h"

#include <cstdio>

char gameTitle[64] = "";
float gameVersion = 0.0f;

const float GAME_VERSION = 0.9f;
const float START_X = 25.0f, START_Y = 10.0f, START_Z = 25.0f;

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
