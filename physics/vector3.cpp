// vector3.cpp: the triangle normal shared by the collision lists and the
// collision queries.
#include "physics/vector3.h"

#include <cmath>

Vector3 triangleNormal(Vector3 a, Vector3 b, Vector3 c) {
    float ex = c.x - a.x, ey = c.y - a.y, ez = c.z - a.z; // c - a
    float fx = b.x - a.x, fy = b.y - a.y, fz = b.z - a.z; // b - a
    float nx = ey * fz - ez * fy;
    float ny = ez * fx - ex * fz;
    float nz = ex * fy - ey * fx;
    // No guard: the meshes never hold a degenerate triangle.
    float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    Vector3 n = {nx / length, ny / length, nz / length};
    return n;
}
