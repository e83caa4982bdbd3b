// chunk_marking.cpp: which chunks a change to the block grids can alter.
//
// A chunk's meshes read the block grids only in its own columns and in the
// columns one step outside it (a face shows when its neighbour is empty), and
// face merging never crosses a chunk. So a changed cell can alter the meshes
// of its own chunk and of the chunks of its four horizontal face neighbours,
// and no others. Rebuilding a chunk whose inputs did not change gives the
// same arrays, so marking exactly these chunks saves the rest. Only the
// falling-block meshes read the falling grid, and they read nothing else, so
// a change there alone rebuilds only those.
#include "world/world.h"

#include <cstring>

static void markAround(unsigned char* flags, int x, int z) {
    flags[chunkIndex(wrapCell(x) / CHUNK_SIZE, wrapCell(z) / CHUNK_SIZE)] = 1;
    flags[chunkIndex(wrapCell(x + 1) / CHUNK_SIZE, wrapCell(z) / CHUNK_SIZE)] = 1;
    flags[chunkIndex(wrapCell(x - 1) / CHUNK_SIZE, wrapCell(z) / CHUNK_SIZE)] = 1;
    flags[chunkIndex(wrapCell(x) / CHUNK_SIZE, wrapCell(z + 1) / CHUNK_SIZE)] = 1;
    flags[chunkIndex(wrapCell(x) / CHUNK_SIZE, wrapCell(z - 1) / CHUNK_SIZE)] = 1;
}

void markBlockCellDirty(int x, int z) {
    markAround(chunkDirty, x, z);
}

void markFallingCellDirty(int x, int z) {
    markAround(fallingDirty, x, z);
}

void markChangedCellsDirty(const unsigned char* blocksBefore, const unsigned char* fallingBefore) {
    const unsigned char* solidNow = &blocks[0][0][0];
    const unsigned char* fallingNow = &fallingBlocks[0][0][0];
    // Rows along z are contiguous: compare whole rows first, cells only in a
    // row that differs.
    for (int x = 0; x < WORLD_SIZE; x++) {
        for (int y = 0; y < WORLD_LEVELS; y++) {
            int row = (x * WORLD_LEVELS + y) * WORLD_SIZE;
            if (memcmp(solidNow + row, blocksBefore + row, WORLD_SIZE) == 0 &&
                memcmp(fallingNow + row, fallingBefore + row, WORLD_SIZE) == 0) {
                continue;
            }
            for (int z = 0; z < WORLD_SIZE; z++) {
                if (solidNow[row + z] != blocksBefore[row + z]) {
                    markBlockCellDirty(x, z);
                } else if (fallingNow[row + z] != fallingBefore[row + z]) {
                    markFallingCellDirty(x, z);
                }
            }
        }
    }
}
