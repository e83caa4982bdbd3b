// segment_clip.cpp: pulls a segment's end back to the first solid surface it
// crosses, scanning only the chunk cells its line passes over.
#include "meshing/chunks.h"
#include "physics/collision.h"
#include "physics/geometry.h"
#include "physics/world_cells.h"
#include "world/world.h"

// Added to the second point when a line runs parallel to an axis, so that
// the slope's division has a divisor (world units).
const float AXIS_PARALLEL_NUDGE = 0.001f;

float lineZAtX(float x, float x1, float z1, float x2, float z2) {
    float x2n = (x2 == x1) ? x2 + AXIS_PARALLEL_NUDGE : x2;
    return z1 + (x - x1) * (z2 - z1) / (x2n - x1);
}

float lineXAtZ(float z, float x1, float z1, float x2, float z2) {
    float z2n = (z2 == z1) ? z2 + AXIS_PARALLEL_NUDGE : z2;
    return x1 + (z - z1) * (x2 - x1) / (z2n - z1);
}

// Tests the infinite line through the two points, not just the segment: the
// callers stay inside the segment's bounding box, where that can only add a
// cell to scan, never lose a hit.
bool lineTouchesCell(float x1, float z1, float x2, float z2, float xmin, float zmax, float xmax,
                     float zmin) {
    if (xmin <= x1 && x1 <= xmax && zmin <= z1 && z1 <= zmax)
        return true;
    if (xmin <= x2 && x2 <= xmax && zmin <= z2 && z2 <= zmax)
        return true;
    float x = lineXAtZ(zmin, x1, z1, x2, z2);
    if (xmin <= x && x <= xmax)
        return true;
    x = lineXAtZ(zmax, x1, z1, x2, z2);
    if (xmin <= x && x <= xmax)
        return true;
    float z = lineZAtX(xmin, x1, z1, x2, z2);
    if (zmin <= z && z <= zmax)
        return true;
    z = lineZAtX(xmax, x1, z1, x2, z2);
    return zmin <= z && z <= zmax;
}

bool clipSegmentToWorld(float startX, float startY, float startZ, float& endX, float& endY,
                        float& endZ) {
    if (!queryCoordinateUsable(startX) || !queryCoordinateUsable(startY) ||
        !queryCoordinateUsable(startZ) || !queryCoordinateUsable(endX) ||
        !queryCoordinateUsable(endY) || !queryCoordinateUsable(endZ))
        return false;
    // Fixed on entry; a hit only shortens the segment along the same line.
    CellRange range = segmentCellRange(startX, startZ, endX, endZ);
    bool hit = false;
    for (int cx = range.firstX; cx <= range.lastX; cx++) {
        for (int cz = range.firstZ; cz <= range.lastZ; cz++) {
            if (!segmentTouchesCell(startX, startZ, endX, endZ, cx, cz))
                continue;
            int i = chunkIndex(cx, cz);
            float offsetX = static_cast<float>(CHUNK_SIZE * cx);
            float offsetZ = static_cast<float>(CHUNK_SIZE * cz);
            // Chunk-local copies; the caller's end is written back only on a
            // hit, so a miss leaves it exactly as it was.
            Vector3 start{startX - offsetX, startY, startZ - offsetZ};
            float ex = endX - offsetX;
            float ey = endY;
            float ez = endZ - offsetZ;
            bool cellHit = segmentVsTriangleList(start, ex, ey, ez, terrainCollision[i]);
            cellHit |= segmentVsTriangleList(start, ex, ey, ez, blockCollision[i]);
            if (fallingMeshes[i].vertexCount > 0) {
                // Meet the falling blocks where they are drawn, then hand a
                // hit back in world space.
                start.y += settleProgress;
                float fy = ey + settleProgress;
                if (segmentVsTriangleList(start, ex, fy, ez, fallingCollision[i])) {
                    ey = fy - settleProgress;
                    cellHit = true;
                }
            }
            if (cellHit) {
                endX = ex + offsetX;
                endY = ey;
                endZ = ez + offsetZ;
            }
            hit |= cellHit;
        }
    }
    return hit;
}
