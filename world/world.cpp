// world.cpp: the world's grids. Static storage, zero at start, never freed.
#include "world/world.h"

#include <cstring>

unsigned char blocks[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
unsigned char fallingBlocks[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
float floorHeight[WORLD_SIZE][WORLD_SIZE];
float ceilingHeight[WORLD_SIZE][WORLD_SIZE];
unsigned char chunkDirty[CHUNK_TOTAL];
unsigned char fallingDirty[CHUNK_TOTAL];
bool blocksFalling = false;
float settleProgress = 0.0f;

float waterHeight[WORLD_SIZE][WORLD_SIZE];
float waterFrames[5][WORLD_SIZE][WORLD_SIZE];
float waterPhaseOffset[WORLD_SIZE][WORLD_SIZE];

void markAllChunksDirty() { memset(chunkDirty, 1, sizeof chunkDirty); }
