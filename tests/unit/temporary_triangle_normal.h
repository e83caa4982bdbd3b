// temporary_triangle_normal.h: stands in for the shared triangleNormal until
// the world code that defines it is merged. Weak, so the real definition wins
// as soon as it is linked in.
#pragma once

#include "physics/vector3.h"

#include <cmath>

__attribute__((weak)) Vector3 triangleNormal(Vector3 a, Vector3 b, Vector3 c) {
    Vector3 p{c.x - a.x, c.y - a.y, c.z - a.z};
    Vector3 q{b.x - a.x, b.y - a.y, b.z - a.z};
    float x = p.y * q.z - p.z * q.y;
    float y = p.z * q.x - p.x * q.z;
    float z = p.x * q.y - p.y * q.x;
    float len = sqrtf(x * x + y * y + z * z);
    return Vector3{x / len, y / len, z / len};
}
