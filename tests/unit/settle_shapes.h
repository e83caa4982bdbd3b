// settle_shapes.h: structures whose support runs against the order in which
// a sweep visits the cells, shared by the settling tests and benchmarks.
#pragma once

#include "world/world.h"

// On `level`: rows along z (0..48) at x = 48, 46, ..., 2, joined at alternate
// ends, held only by a post under (48, level, 48). Support reaches every other
// row at its high-z end and every row from the row at higher x. Returns the
// number of cells of the structure.
inline int serpentine(int level) {
    int cells = 0;
    for (int y = 0; y < level; y++) {
        blocks[48][y][48] = 1;
        cells++;
    }
    bool joinAtLowZ = true;
    for (int x = 48; x >= 2; x -= 2) {
        for (int z = 0; z <= 48; z++) {
            blocks[x][level][z] = 1;
            cells++;
        }
        if (x > 2) {
            blocks[x - 1][level][joinAtLowZ ? 0 : 48] = 1;
            cells++;
        }
        joinAtLowZ = !joinAtLowZ;
    }
    return cells;
}
