// world_atlas.cpp: the texture-coordinate tables of the world atlas.
#include "world/world_atlas.h"

float waterTile[8];
float terrainTile[8];
float blockFaceTexCoords[6][36][8];

static void fillTile(float tile[8], int top) {
    const float left = atlasCoordinate(TILE_COLUMN_LEFT);
    const float right = atlasCoordinate(TILE_COLUMN_LEFT + WORLD_TILE_SIZE);
    const float upper = atlasCoordinate(top);
    const float lower = atlasCoordinate(top + WORLD_TILE_SIZE);
    const float t[8] = {left, lower, right, lower, right, upper, left, upper};
    for (int i = 0; i < 8; i++) {
        tile[i] = t[i];
    }
}

void fillTextureTables() {
    fillTile(waterTile, WATER_TILE_TOP);
    fillTile(terrainTile, TERRAIN_TILE_TOP);
    // A face W cells wide and H high spans W tiles of the strip and H tiles
    // down; beyond v = 1 the texture wraps.
    const float stripLeft = atlasCoordinate(BLOCK_STRIP_LEFT);
    const float cell = atlasCoordinate(WORLD_TILE_SIZE);
    for (int w = 0; w < 6; w++) {
        for (int h = 0; h < 36; h++) {
            float* t = blockFaceTexCoords[w][h];
            float right = stripLeft + cell * w;
            float bottom = cell * h;
            t[0] = stripLeft, t[1] = bottom;
            t[2] = right, t[3] = bottom;
            t[4] = right, t[5] = 0.0f;
            t[6] = stripLeft, t[7] = 0.0f;
        }
    }
}
