// vector3.h: the one vector type of the game. Three 32-bit floats, y up;
// used for points and directions alike.
#pragma once

struct Vector3 {
    float x, y, z;
};

// Unit normal of triangle (a, b, c): normalize((c - a) x (b - a)). Seen from
// where the corners run counter-clockwise it points away from the viewer, so
// the collision lists' normals point into the solid.
Vector3 triangleNormal(Vector3 a, Vector3 b, Vector3 c);
