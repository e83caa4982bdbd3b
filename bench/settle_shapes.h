// settle_shapes.h: structures whose support runs against the order in which
// a sweep visits the cells, for the settling benchmarks.
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

// A serpentine folded through levels as well: in each plane x = 48, 46, ...
// down to lowestPlane (even, at least 2), rows along z (0..48) on every other level from `low` up
// to `high` (or down again in the next plane), joined at alternate ends by one cell on the level
// between; neighbouring planes are joined by one cell at the odd x between them. Held only by a
// post under (48, low, 48). Support runs toward lower z in every other row, so a sweep needs a pass
// per cell of half of all the rows: thousands of passes. Returns the number of cells.
inline int foldedSerpentine(int low, int high, int lowestPlane = 2) {
    int cells = 0;
    for (int y = 0; y < low; y++) {
        blocks[48][y][48] = 1;
        cells++;
    }
    int top = low + ((high - low) / 2) * 2; // rows sit on low, low + 2, ..., top
    bool upward = true;
    int z = 48; // where support enters the current row
    for (int x = 48; x >= lowestPlane; x -= 2) {
        int first = upward ? low : top, last = upward ? top : low, stepY = upward ? 2 : -2;
        for (int y = first;; y += stepY) {
            for (int zz = 0; zz <= 48; zz++) {
                blocks[x][y][zz] = 1;
                cells++;
            }
            z = 48 - z; // support leaves the row at its other end
            if (y == last)
                break;
            blocks[x][y + stepY / 2][z] = 1; // the joint to the next row
            cells++;
        }
        if (x > lowestPlane) {
            blocks[x - 1][last][z] = 1; // the joint to the next plane
            cells++;
        }
        upward = !upward;
    }
    return cells;
}
