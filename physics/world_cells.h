// world_cells.h: which chunk cells a collision query scans. A cell (cx, cz)
// is the 5 x 5 square [5 cx, 5 cx + 5] x [5 cz, 5 cz + 5] for any integers;
// chunkIndex (world/world.h) wraps it onto the chunk that serves it.
#pragma once

// Inclusive range of cells, x in the outer loop, z in the inner, ascending.
struct CellRange {
    int firstX, lastX;
    int firstZ, lastZ;
};

// Beyond this distance from the origin (world units) a float no longer
// resolves a unit step and a cell number no longer fits in an int; the
// queries refuse such points, and points that are not numbers, untouched.
const float FARTHEST_QUERY_COORDINATE = 1.0e7f;

// A sphere wider than the world's repeat has no meaning here, and its cell
// range would grow without bound; such a radius is refused (world units).
const float LARGEST_QUERY_RADIUS = 50.0f;

bool queryCoordinateUsable(float v);

// Cells under the square centre +- radius, from the centre on entry.
CellRange sphereCellRange(float x, float z, float radius);
// Cells under the bounding box of the segment's two horizontal points.
CellRange segmentCellRange(float startX, float startZ, float endX, float endZ);
// Whether the segment's line passes over cell (cx, cz), borders included.
bool segmentTouchesCell(float startX, float startZ, float endX, float endZ, int cx, int cz);
// The cells clipSegmentToWorld scans for this segment (as long as no hit
// shortens it), in its visiting order; returns how many, writing at most
// `capacity` pairs (x cell, z cell).
int listSegmentCells(float startX, float startZ, float endX, float endZ, int cells[][2],
                     int capacity);
