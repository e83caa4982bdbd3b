// world_cells.cpp: the chunk cells a sphere or segment query scans.
#include "physics/world_cells.h"

#include "physics/collision.h"
#include "world/world.h"

#include <cmath>

const float CELL_SPAN = static_cast<float>(CHUNK_SIZE); // world units per cell side

static int cellOf(float v) {
    return static_cast<int>(floorf(v / CELL_SPAN));
}

bool queryCoordinateUsable(float v) {
    return fabsf(v) <= FARTHEST_QUERY_COORDINATE;
}

CellRange sphereCellRange(float x, float z, float radius) {
    return CellRange{cellOf(x - radius), cellOf(x + radius), cellOf(z - radius),
                     cellOf(z + radius)};
}

CellRange segmentCellRange(float startX, float startZ, float endX, float endZ) {
    return CellRange{cellOf(fminf(startX, endX)), cellOf(fmaxf(startX, endX)),
                     cellOf(fminf(startZ, endZ)), cellOf(fmaxf(startZ, endZ))};
}

bool segmentTouchesCell(float startX, float startZ, float endX, float endZ, int cx, int cz) {
    float left = CELL_SPAN * static_cast<float>(cx);
    float near = CELL_SPAN * static_cast<float>(cz);
    return lineTouchesCell(startX, startZ, endX, endZ, left, near + CELL_SPAN, left + CELL_SPAN,
                           near);
}

int listSegmentCells(float startX, float startZ, float endX, float endZ, int cells[][2],
                     int capacity) {
    if (!queryCoordinateUsable(startX) || !queryCoordinateUsable(startZ) ||
        !queryCoordinateUsable(endX) || !queryCoordinateUsable(endZ))
        return 0;
    CellRange range = segmentCellRange(startX, startZ, endX, endZ);
    int count = 0;
    for (int cx = range.firstX; cx <= range.lastX; cx++)
        for (int cz = range.firstZ; cz <= range.lastZ; cz++) {
            if (!segmentTouchesCell(startX, startZ, endX, endZ, cx, cz))
                continue;
            if (count < capacity) {
                cells[count][0] = cx;
                cells[count][1] = cz;
            }
            count++;
        }
    return count;
}
