// generate.cpp: the block layout and the random floor, ceiling and water
// grids of a new world. All numbers come from the C library's rand() in a
// fixed order, so one seed always gives one world.
#include "world/generate.h"

#include "app/settings.h"

#include <cstdlib>
#include <cstring>

const int RANDOM_STEPS = 1000;             // raw values lie on this many steps from low toward high
const double RANDOM_STEP = (double)0.001f; // the single-precision step, widened
const double SMOOTH_WEIGHT = (double)0.2f; // five-point average weight, widened

const int OPEN_LEVELS_FROM = 26; // levels 26..34 are empty
const int CEILING_LAYER = 24;    // full layer of blocks under the open levels
const int WALL_OPENING_TOP = 20; // walls are open from level 1 up to level 19
const int WALL_OPENING_LOW = 5;  // the opening spans cells 5..44
const int WALL_OPENING_HIGH = 44;

const float FLOOR_LOW = -17.75f, FLOOR_HIGH = 22.25f;
const float CEILING_LOW = 52.75f, CEILING_HIGH = 12.75f;
const int SURFACE_PASSES = 25;
const float WATER_LOW = 1.0f, WATER_HIGH = 3.0f;
const int WATER_PASSES = 5;
const float PHASE_LOW = 0.0f, PHASE_HIGH = 2.0f;
const int PHASE_PASSES = 2;

static float smoothScratch[WORLD_SIZE][WORLD_SIZE];

unsigned int worldSeed = 0;

unsigned int chooseWorldSeed(unsigned int setting, long long clockSeconds) {
    if (setting != 0) {
        return setting;
    }
    return (unsigned int)clockSeconds;
}

void generateHeightField(float grid[WORLD_SIZE][WORLD_SIZE], float low, float high, int passes) {
    float span = high - low;
    for (int x = 0; x < WORLD_SIZE; x++) {
        for (int z = 0; z < WORLD_SIZE; z++) {
            grid[x][z] = (float)(low + (rand() % RANDOM_STEPS) * RANDOM_STEP * span);
        }
    }
    for (int pass = 0; pass < passes; pass++) {
        memcpy(smoothScratch, grid, sizeof smoothScratch);
        for (int x = 0; x < WORLD_SIZE; x++) {
            int xp = wrapCell(x + 1), xm = wrapCell(x - 1);
            for (int z = 0; z < WORLD_SIZE; z++) {
                int zp = wrapCell(z + 1), zm = wrapCell(z - 1);
                float sum = smoothScratch[xp][z] + smoothScratch[x][z] + smoothScratch[xm][z] +
                            smoothScratch[x][zp] + smoothScratch[x][zm];
                grid[x][z] = (float)(sum * SMOOTH_WEIGHT);
            }
        }
    }
}

// Solid bottom layer, a full layer at level 24 and four border walls with a
// 40-cell opening from level 1 to 19, through which the wrapped world goes on.
static bool layoutCellSolid(int x, int y, int z) {
    if (y >= OPEN_LEVELS_FROM) {
        return false;
    }
    if (y == 0 || y == CEILING_LAYER) {
        return true;
    }
    bool xBorder = x == 0 || x == WORLD_SIZE - 1;
    bool zBorder = z == 0 || z == WORLD_SIZE - 1;
    bool zOutsideOpening = z < WALL_OPENING_LOW || z > WALL_OPENING_HIGH;
    bool xOutsideOpening = x < WALL_OPENING_LOW || x > WALL_OPENING_HIGH;
    bool aboveOpening = y >= WALL_OPENING_TOP;
    return (xBorder && (zOutsideOpening || aboveOpening)) ||
           (zBorder && (xOutsideOpening || aboveOpening));
}

void generateWorld() {
    for (int x = 0; x < WORLD_SIZE; x++) {
        for (int y = 0; y < WORLD_LEVELS; y++) {
            for (int z = 0; z < WORLD_SIZE; z++) {
                blocks[x][y][z] = layoutCellSolid(x, y, z) ? 1 : 0;
            }
        }
    }
    memset(fallingBlocks, 0, sizeof fallingBlocks);
    settleBlocks();

    generateHeightField(floorHeight, FLOOR_LOW, FLOOR_HIGH, SURFACE_PASSES);
    for (int x = 0; x < WORLD_SIZE; x++) {
        for (int z = 0; z < WORLD_SIZE; z++) {
            if (floorHeight[x][z] <= MIN_SURFACE_HEIGHT) {
                floorHeight[x][z] = MIN_SURFACE_HEIGHT;
            }
        }
    }
    generateHeightField(ceilingHeight, CEILING_LOW, CEILING_HIGH, SURFACE_PASSES);
    for (int x = 0; x < WORLD_SIZE; x++) {
        for (int z = 0; z < WORLD_SIZE; z++) {
            if (ceilingHeight[x][z] >= MAX_SURFACE_HEIGHT) {
                ceilingHeight[x][z] = MAX_SURFACE_HEIGHT;
            }
        }
    }

    // Water last, so that switching it on leaves floor and ceiling unchanged.
    if (useWater) {
        generateHeightField(waterHeight, WATER_LOW, WATER_HIGH, WATER_PASSES);
        for (int frame = 0; frame < 5; frame++) {
            generateHeightField(waterFrames[frame], WATER_LOW, WATER_HIGH, WATER_PASSES);
        }
        generateHeightField(waterPhaseOffset, PHASE_LOW, PHASE_HIGH, PHASE_PASSES);
    }
}
