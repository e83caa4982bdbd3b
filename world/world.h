// world.h: the world's grids and the block-settling step.
//
// The cave is 50 x 50 cells and 35 levels; x and z wrap modulo 50 (the world
// is a torus), y never wraps. One cell or level is one world unit, y is up.
// Chunks of 5 x 5 cells (all levels) are the unit of mesh rebuilding.
#pragma once

const int WORLD_SIZE = 50;   // cells along x and along z
const int WORLD_LEVELS = 35; // levels along y
const int CHUNK_SIZE = 5;    // cells per chunk side
const int CHUNK_COUNT = 10;  // chunks along x and along z
const int CHUNK_TOTAL = CHUNK_COUNT * CHUNK_COUNT;

const float MIN_SURFACE_HEIGHT = 0.25f;  // lowest floor or ceiling value
const float MAX_SURFACE_HEIGHT = 34.75f; // highest floor or ceiling value

// [x][y][z]: 1 = a solid block fills [x,x+1] x [y,y+1] x [z,z+1], 0 = empty.
extern unsigned char blocks[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
// Same layout: 1 = an unsupported block, dropping one level per settling step.
extern unsigned char fallingBlocks[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
// [x][z]: surface heights at grid point (x, z), world units, in [0.25, 34.75].
extern float floorHeight[WORLD_SIZE][WORLD_SIZE];
extern float ceilingHeight[WORLD_SIZE][WORLD_SIZE];
// [cx * 10 + cz]: 1 = chunk (cx, cz) must be rebuilt before it is drawn.
extern unsigned char chunkDirty[CHUNK_TOTAL];
// [cx * 10 + cz]: 1 = only the falling-block mesh of chunk (cx, cz) and its
// collision list must be rebuilt: the falling grid changed there and nothing
// the other meshes read. chunkDirty, when also set, covers it.
extern unsigned char fallingDirty[CHUNK_TOTAL];
// Some fallingBlocks cell was still set after the last settling step.
extern bool blocksFalling;
// 0..1 through the current settling step: falling blocks are drawn and
// collide this many levels below their cells.
extern float settleProgress;

// Water (only generated and animated with "usewater"): current surface, five
// key frames and a per-point phase offset, all [x][z] like the height grids.
extern float waterHeight[WORLD_SIZE][WORLD_SIZE];
extern float waterFrames[5][WORLD_SIZE][WORLD_SIZE];
extern float waterPhaseOffset[WORLD_SIZE][WORLD_SIZE];

// Any integer cell index mapped into 0..49 (-1 -> 49, 50 -> 0).
inline int wrapCell(int i) {
    int m = i % WORLD_SIZE;
    return m < 0 ? m + WORLD_SIZE : m;
}
// Any integer chunk index mapped into 0..9 (-1 -> 9).
inline int wrapChunk(int i) {
    int m = i % CHUNK_COUNT;
    return m < 0 ? m + CHUNK_COUNT : m;
}
inline int chunkIndex(int cx, int cz) { return wrapChunk(cx) * CHUNK_COUNT + wrapChunk(cz); }

void markAllChunksDirty();
// Marks the chunks whose meshes a change of block cell (x, y, z) can alter:
// its own, and a neighbouring chunk where the cell's horizontal face
// neighbour in it holds a block (x and z may be any integers, wrapped; y in
// 0..34). Call it after the change, with the grids as they are now.
void markBlockCellDirty(int x, int y, int z);
// The same for a change of falling-block cell only, judged by the falling
// grid: the falling meshes are the only ones that read it (fallingDirty).
void markFallingCellDirty(int x, int y, int z);
// Marks, as above, around every cell where the block grids now differ from
// the given copies (laid out like blocks and fallingBlocks): chunkDirty where
// blocks changed, fallingDirty where only falling blocks did.
void markChangedCellsDirty(const unsigned char* blocksBefore, const unsigned char* fallingBefore);

// One settling step: falling blocks drop a level, then every block that is
// connected through faces to level 0 or to the floor is solid again and the
// rest is falling. Does not touch chunkDirty.
void settleBlocks();
