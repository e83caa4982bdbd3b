// geometry.h: the vector, plane and triangle routines every collision query
// rests on, and the two routines that run one collision triangle list.
// Pure functions; 32-bit float arithmetic except pointInTriangle's angle sum.
#pragma once

#include "meshing/chunks.h"
#include "physics/vector3.h"

struct Triangle {
    Vector3 v0, v1, v2;
};

struct Segment {
    Vector3 start, end;
};

Vector3 normalizeVector(float x, float y, float z);
bool segmentCrossesPlane(const Triangle& t, const Segment& s, Vector3& normal, float& offset);
double angleBetween(Vector3 a, Vector3 b);
Vector3 linePlaneIntersection(const Segment& s, Vector3 normal, double offset);
bool pointInTriangle(const Triangle& t, Vector3 p);
Vector3 closestPointOnSegment(Vector3 a, Vector3 b, Vector3 p);
// Pushes the centre out of the list's triangles; true when it was moved.
bool sphereVsTriangleList(float& x, float& y, float& z, float radius, const CollisionList* list,
                          bool pushFaces, bool pushEdges);
// Pulls the end back to the list's crossing nearest to start; true on a hit.
bool segmentVsTriangleList(Vector3 start, float& x, float& y, float& z, const CollisionList* list);
