// settle.cpp: the block-settling step. Blocks stay where they are connected,
// through face neighbours, to the bottom level or to the floor surface; every
// other block drops one level per step.
//
// The support test is a flood fill from the cells that support themselves,
// so a step costs time linear in the number of cells whatever the shape of
// the structure (a staircase climbing against the scan order would otherwise
// need one full sweep of the grid per stair).
#include "world/world.h"

#include <cstring>

const int CELL_COUNT = WORLD_SIZE * WORLD_LEVELS * WORLD_SIZE;
const int X_STRIDE = WORLD_LEVELS * WORLD_SIZE; // index step of one cell in x
const int Y_STRIDE = WORLD_SIZE;                // index step of one level

// Cells restored but whose neighbours have not been looked at yet. Every cell
// enters at most once (it is restored as it is pushed), so it never overflows.
static int pendingCells[CELL_COUNT];
static int pendingCount = 0;

// Drops every falling block one level; the top level empties. Within one x
// the levels are consecutive rows, so that is one move of 34 rows.
static void dropFallingBlocks() {
    for (int x = 0; x < WORLD_SIZE; x++) {
        memmove(&fallingBlocks[x][0][0], &fallingBlocks[x][1][0],
                (size_t)(WORLD_LEVELS - 1) * WORLD_SIZE);
        memset(&fallingBlocks[x][WORLD_LEVELS - 1][0], 0, WORLD_SIZE);
    }
}

// Moves a falling cell back into the solid grid and queues it so that its
// falling neighbours are restored in turn.
static void restoreCell(unsigned char* solid, unsigned char* falling, int index) {
    solid[index] = 1;
    falling[index] = 0;
    pendingCells[pendingCount++] = index;
}

static void restoreIfFalling(unsigned char* solid, unsigned char* falling, int index) {
    if (falling[index]) {
        restoreCell(solid, falling, index);
    }
}

void settleBlocks() {
    unsigned char* solid = &blocks[0][0][0];
    unsigned char* falling = &fallingBlocks[0][0][0];

    if (blocksFalling) {
        dropFallingBlocks();
    }

    // Lift every block out; a block placed into a falling block's cell merges
    // with it here. Written without a branch per cell; every falling cell
    // holds exactly 0 or 1 afterwards.
    for (int i = 0; i < CELL_COUNT; i++) {
        falling[i] = (falling[i] | solid[i]) != 0;
    }
    memset(solid, 0, CELL_COUNT);

    // Seeds: the bottom level, and every cell that reaches into the floor at
    // one of its four corners (floor above the cell's lowest point).
    pendingCount = 0;
    for (int x = 0; x < WORLD_SIZE; x++) {
        int x1 = wrapCell(x + 1);
        for (int z = 0; z < WORLD_SIZE; z++) {
            int z1 = wrapCell(z + 1);
            float highest = floorHeight[x][z];
            if (floorHeight[x1][z] > highest)
                highest = floorHeight[x1][z];
            if (floorHeight[x][z1] > highest)
                highest = floorHeight[x][z1];
            if (floorHeight[x1][z1] > highest)
                highest = floorHeight[x1][z1];
            int column = x * X_STRIDE + z;
            for (int y = 0; y < WORLD_LEVELS; y++) {
                if (y != 0 && !(highest > (float)y)) {
                    break; // levels only rise from here
                }
                restoreIfFalling(solid, falling, column + y * Y_STRIDE);
            }
        }
    }

    // Everything connected to a seed through falling cells is supported.
    while (pendingCount > 0) {
        int index = pendingCells[--pendingCount];
        int x = index / X_STRIDE;
        int y = (index / Y_STRIDE) % WORLD_LEVELS;
        int z = index % WORLD_SIZE;
        int levelAndZ = index - x * X_STRIDE;
        restoreIfFalling(solid, falling, wrapCell(x + 1) * X_STRIDE + levelAndZ);
        restoreIfFalling(solid, falling, wrapCell(x - 1) * X_STRIDE + levelAndZ);
        restoreIfFalling(solid, falling, index - z + wrapCell(z + 1));
        restoreIfFalling(solid, falling, index - z + wrapCell(z - 1));
        if (y > 0) {
            restoreIfFalling(solid, falling, index - Y_STRIDE);
        }
        if (y < WORLD_LEVELS - 1) {
            restoreIfFalling(solid, falling, index + Y_STRIDE);
        }
    }

    blocksFalling = memchr(falling, 1, CELL_COUNT) != nullptr;
}
