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

// (x, y, z) scaled to unit length; not a number for the zero vector.
Vector3 normalizeVector(float x, float y, float z);
// Whether the segment's ends lie strictly on opposite sides of the
// triangle's plane (an end on the plane is no crossing). Writes the plane
// either way: `normal` the triangle's unit normal, `offset` d such that
// normal . p + d = 0 on the plane.
bool segmentCrossesPlane(const Triangle& t, const Segment& s, Vector3& normal, float& offset);
// The angle between a and b, radians 0..pi; not a number when either is zero.
double angleBetween(Vector3 a, Vector3 b);
// Where the line through the segment meets the plane normal . p + offset = 0
// (normal of unit length); the segment's start when the segment has no length
// or runs parallel to the plane. Not limited to the segment's extent.
Vector3 linePlaneIntersection(const Segment& s, Vector3 normal, double offset);
// Whether p, taken to lie in the triangle's plane, is inside it: the angles
// at p toward the three corner pairs add up to at least 1.98 pi (a full turn
// is 2 pi). So a point on an edge counts as inside, and so does one outside
// within about 0.008 of an edge's length from that edge; a point on a corner
// does not.
bool pointInTriangle(const Triangle& t, Vector3 p);
// The point of segment a..b nearest to p (a when the segment has no length).
Vector3 closestPointOnSegment(Vector3 a, Vector3 b, Vector3 p);
// Pushes the centre out of the list's triangles; true when it was moved.
bool sphereVsTriangleList(float& x, float& y, float& z, float radius, const CollisionList* list,
                          bool pushFaces, bool pushEdges);
// Pulls the end back to the list's crossing nearest to start; true on a hit.
bool segmentVsTriangleList(Vector3 start, float& x, float& y, float& z, const CollisionList* list);
