// sphere_collision.cpp: keeps a body's sphere out of the solid surfaces of the
// chunks under it, in the world that repeats every 50 units.
#include "meshing/chunks.h"
#include "physics/collision.h"
#include "physics/geometry.h"
#include "physics/world_cells.h"
#include "world/world.h"

bool collideSphereWithWorld(float& x, float& y, float& z, float radius) {
    if (!queryCoordinateUsable(x) || !queryCoordinateUsable(y) || !queryCoordinateUsable(z) ||
        !(radius >= 0.0f && radius <= LARGEST_QUERY_RADIUS))
        return false;
    // Fixed on entry: pushes made in one cell do not widen or narrow the scan.
    CellRange range = sphereCellRange(x, z, radius);
    bool contact = false;
    for (int cx = range.firstX; cx <= range.lastX; cx++) {
        for (int cz = range.firstZ; cz <= range.lastZ; cz++) {
            int i = chunkIndex(cx, cz);
            float offsetX = static_cast<float>(CHUNK_SIZE * cx);
            float offsetZ = static_cast<float>(CHUNK_SIZE * cz);
            // Chunk-local copies; the caller's centre is written back only
            // when something moved it, so a free body keeps its exact
            // coordinates whatever the rounding of the offsets.
            float lx = x - offsetX;
            float ly = y;
            float lz = z - offsetZ;
            // Every face push of a pair of lists before any of its edge
            // pushes, so that a body on a floor seam is lifted by the face
            // rather than shoved sideways by the shared edge.
            bool hit = sphereVsTriangleList(lx, ly, lz, radius, terrainCollision[i], true, false);
            hit |= sphereVsTriangleList(lx, ly, lz, radius, blockCollision[i], true, false);
            hit |= sphereVsTriangleList(lx, ly, lz, radius, terrainCollision[i], false, true);
            hit |= sphereVsTriangleList(lx, ly, lz, radius, blockCollision[i], false, true);
            if (fallingMeshes[i].vertexCount > 0) {
                // Falling blocks are drawn settleProgress below where their
                // list stores them; meet them where they are seen.
                float fy = ly + settleProgress;
                bool fell =
                    sphereVsTriangleList(lx, fy, lz, radius, fallingCollision[i], true, false);
                fell |= sphereVsTriangleList(lx, fy, lz, radius, fallingCollision[i], false, true);
                if (fell)
                    ly = fy - settleProgress;
                hit |= fell;
            }
            if (hit) {
                x = lx + offsetX;
                y = ly;
                z = lz + offsetZ;
            }
            contact |= hit;
        }
    }
    return contact;
}
