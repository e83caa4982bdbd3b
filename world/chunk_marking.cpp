// chunk_marking.cpp: which chunks a change to the block grids can alter.
//
// A chunk's meshes read the block grids in its own columns, and one step
// outside it only to decide whether a face of one of its own occupied cells
// shows; face merging never crosses a chunk. So a changed cell alters the
// meshes of its own chunk, and those of a neighbouring chunk only where the
// face neighbour across the border is occupied (if that neighbour changed
// as well, it marks its chunk itself). Rebuilding a chunk whose inputs did
// not change gives the same arrays, so marking exactly these chunks saves
// the rest. Only the falling-block meshes read the falling grid, and they
// read nothing else, so a change there alone rebuilds only those.
#include "world/world.h"

#include <cstring>

static int chunkOfCell(int x, int z) {
    return chunkIndex(wrapCell(x) / CHUNK_SIZE, wrapCell(z) / CHUNK_SIZE);
}

// Marks the chunk of cell (x, y, z) and the chunks of those of its four
// horizontal face neighbours that are occupied in grid.
static void markAround(unsigned char* flags,
                       const unsigned char grid[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE], int x, int y,
                       int z) {
    int own = chunkOfCell(x, z);
    flags[own] = 1;
    const int neighbours[4][2] = {{x + 1, z}, {x - 1, z}, {x, z + 1}, {x, z - 1}};
    for (const auto& n : neighbours) {
        int chunk = chunkOfCell(n[0], n[1]);
        if (chunk != own && grid[wrapCell(n[0])][y][wrapCell(n[1])]) {
            flags[chunk] = 1;
        }
    }
}

void markBlockCellDirty(int x, int y, int z) {
    markAround(chunkDirty, blocks, x, y, z);
}

void markFallingCellDirty(int x, int y, int z) {
    markAround(fallingDirty, fallingBlocks, x, y, z);
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
                    markBlockCellDirty(x, y, z);
                } else if (fallingNow[row + z] != fallingBefore[row + z]) {
                    markFallingCellDirty(x, y, z);
                }
            }
        }
    }
}
