// surface_distance.cpp: how far a point is from the nearest solid surface,
// whichever side of it the point is on. The sphere query pushes only from the
// open side and stops at the first contact; a camera that must keep its near
// plane clear needs the plain distance instead.
#include <cmath>

#include "meshing/chunks.h"
#include "physics/collision.h"
#include "physics/world_cells.h"
#include "world/world.h"

namespace {

struct Point {
    float x, y, z;
};

Point minus(const float* a, const float* b) {
    return Point{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

float dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Squared distance from p to the segment a..b.
float segmentDistanceSquared(const float* p, const float* a, const float* b) {
    const Point ab = minus(b, a);
    const Point ap = minus(p, a);
    const float length = dot(ab, ab);
    float t = length > 0.0f ? dot(ap, ab) / length : 0.0f;
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    const Point d{ap.x - t * ab.x, ap.y - t * ab.y, ap.z - t * ab.z};
    return dot(d, d);
}

// Squared distance from p to triangle (a, b, c): to its plane when p projects
// inside it (judged by the barycentric weights of the projection), else to the
// nearest of its edges. A triangle without area has only its edges.
float triangleDistanceSquared(const float* p, const float* a, const float* b, const float* c) {
    const Point ab = minus(b, a);
    const Point ac = minus(c, a);
    const Point ap = minus(p, a);
    const float d00 = dot(ab, ab), d01 = dot(ab, ac), d11 = dot(ac, ac);
    const float d20 = dot(ap, ab), d21 = dot(ap, ac);
    const float area = d00 * d11 - d01 * d01; // squared, times four
    if (area > 0.0f) {
        const float v = (d11 * d20 - d01 * d21) / area;
        const float w = (d00 * d21 - d01 * d20) / area;
        if (v >= 0.0f && w >= 0.0f && v + w <= 1.0f) {
            const Point d{ap.x - v * ab.x - w * ac.x, ap.y - v * ab.y - w * ac.y,
                          ap.z - v * ab.z - w * ac.z};
            return dot(d, d);
        }
    }
    float best = segmentDistanceSquared(p, a, b);
    const float bc = segmentDistanceSquared(p, b, c);
    const float ca = segmentDistanceSquared(p, c, a);
    best = bc < best ? bc : best;
    return ca < best ? ca : best;
}

// Squared distance from p to the box of 6 floats (min x, y, z, max x, y, z).
float boxDistanceSquared(const float* p, const float* box) {
    float sum = 0.0f;
    for (int k = 0; k < 3; k++) {
        float d = 0.0f;
        if (p[k] < box[k])
            d = box[k] - p[k];
        else if (p[k] > box[3 + k])
            d = p[k] - box[3 + k];
        sum += d * d;
    }
    return sum;
}

// Lowers best (squared) to the squared distance of p to any triangle of the
// list that is nearer; runs whose box is already farther are skipped whole.
void nearerInList(const float* p, const CollisionList* list, float& best) {
    if (list == nullptr || list->triangleCount < 1)
        return;
    const int count = list->triangleCount;
    const bool hasRuns = list->groupCount > 0 && list->groupBounds != nullptr;
    const int runs = hasRuns ? list->groupCount : 1;
    const int runLength = hasRuns ? COLLISION_GROUP_SIZE : count;
    for (int g = 0; g < runs; g++) {
        if (hasRuns && boxDistanceSquared(p, list->groupBounds + 7 * g) >= best)
            continue;
        const int first = g * runLength;
        const int end = first + runLength < count ? first + runLength : count;
        for (int i = first; i < end; i++) {
            const float* a = list->corner0 + 3 * i;
            const float* n = list->normal + 3 * i;
            // The plane is never farther than the triangle.
            const float plane = (p[0] - a[0]) * n[0] + (p[1] - a[1]) * n[1] + (p[2] - a[2]) * n[2];
            if (plane * plane >= best)
                continue;
            const float d =
                triangleDistanceSquared(p, a, list->corner1 + 3 * i, list->corner2 + 3 * i);
            if (d < best)
                best = d;
        }
    }
}

} // namespace

float nearestSurfaceDistance(float x, float y, float z, float limit) {
    if (!queryCoordinateUsable(x) || !queryCoordinateUsable(y) || !queryCoordinateUsable(z) ||
        !(limit >= 0.0f && limit <= LARGEST_QUERY_RADIUS))
        return limit;
    const CellRange range = sphereCellRange(x, z, limit);
    float best = limit * limit;
    for (int cx = range.firstX; cx <= range.lastX; cx++) {
        for (int cz = range.firstZ; cz <= range.lastZ; cz++) {
            const int i = chunkIndex(cx, cz);
            const float local[3] = {x - static_cast<float>(CHUNK_SIZE * cx), y,
                                    z - static_cast<float>(CHUNK_SIZE * cz)};
            nearerInList(local, terrainCollision[i], best);
            nearerInList(local, blockCollision[i], best);
            if (fallingMeshes[i].vertexCount > 0) {
                // Falling blocks are met where they are drawn.
                const float raised[3] = {local[0], local[1] + settleProgress, local[2]};
                nearerInList(raised, fallingCollision[i], best);
            }
        }
    }
    return std::sqrt(best);
}
