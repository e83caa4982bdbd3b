// geometry.cpp: vector, plane and triangle routines, and the two scans of one
// collision triangle list (sphere push-out and segment clipping).
//
// Everything is 32-bit float on purpose: the feel of walking and the exact
// resting heights of bodies come from these roundings. The single exception is
// the angle sum of pointInTriangle, which is accumulated in double.
#include "physics/geometry.h"

#include <cmath>

// A point counts as inside a triangle when the angles it sees the three edges
// under add up to at least this (1.98 half-turns, just short of a full turn).
const double INSIDE_ANGLE_SUM = 6.220353447; // radians

static float dot(Vector3 a, Vector3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

static Vector3 subtract(Vector3 a, Vector3 b) {
    return Vector3{a.x - b.x, a.y - b.y, a.z - b.z};
}

static float length(Vector3 a) {
    return sqrtf(a.x * a.x + a.y * a.y + a.z * a.z);
}

// A unit normal has squared length near 1; the normal of a zero-area triangle
// is zero or not a number, and this rejects both.
static bool usableNormal(Vector3 n) {
    return dot(n, n) > 0.5f;
}

static Triangle listTriangle(const CollisionList* list, int i) {
    const float* a = list->corner0 + 3 * i;
    const float* b = list->corner1 + 3 * i;
    const float* c = list->corner2 + 3 * i;
    return Triangle{{a[0], a[1], a[2]}, {b[0], b[1], b[2]}, {c[0], c[1], c[2]}};
}

Vector3 normalizeVector(float x, float y, float z) {
    float len = sqrtf(x * x + y * y + z * z);
    return Vector3{x / len, y / len, z / len};
}

bool segmentCrossesPlane(const Triangle& t, const Segment& s, Vector3& normal, float& offset) {
    Vector3 n = triangleNormal(t.v0, t.v1, t.v2);
    float d = -dot(n, t.v0);
    float s0 = dot(n, s.start) + d;
    float s1 = dot(n, s.end) + d;
    normal = n;
    offset = d;
    // Strict: an end lying exactly on the plane is not a crossing.
    return s0 * s1 < 0.0f;
}

double angleBetween(Vector3 a, Vector3 b) {
    float cosine = dot(a, b) / (length(b) * length(a));
    // Rounding can carry the cosine of a straight angle just past -1, which
    // would reject a point lying on an edge. Not-a-number (a zero vector)
    // passes through both tests unchanged and stays undefined.
    if (cosine > 1.0f)
        cosine = 1.0f;
    if (cosine < -1.0f)
        cosine = -1.0f;
    return acos(static_cast<double>(cosine));
}

Vector3 linePlaneIntersection(const Segment& s, Vector3 normal, double offset) {
    Vector3 delta = subtract(s.end, s.start);
    // A segment without length has no direction; its start is the answer.
    if (delta.x == 0.0f && delta.y == 0.0f && delta.z == 0.0f)
        return s.start;
    Vector3 u = normalizeVector(delta.x, delta.y, delta.z);
    float denominator = dot(normal, u);
    if (denominator == 0.0f)
        return s.start;
    float t = -(dot(normal, s.start) + offset) / denominator;
    return Vector3{s.start.x + t * u.x, s.start.y + t * u.y, s.start.z + t * u.z};
}

bool pointInTriangle(const Triangle& t, Vector3 p) {
    const Vector3 corners[3] = {t.v0, t.v1, t.v2};
    double sum = 0.0;
    for (int i = 0; i < 3; i++)
        sum += angleBetween(subtract(corners[i], p), subtract(corners[(i + 1) % 3], p));
    // An undefined sum (point on a corner) compares false: outside.
    return sum >= INSIDE_ANGLE_SUM;
}

Vector3 closestPointOnSegment(Vector3 a, Vector3 b, Vector3 p) {
    Vector3 delta = subtract(b, a);
    float span = length(delta);
    // A segment of zero length is the single point a.
    if (span == 0.0f)
        return a;
    Vector3 u = normalizeVector(delta.x, delta.y, delta.z);
    float t = dot(subtract(p, a), u);
    if (t <= 0.0f)
        return a;
    if (span <= t)
        return b;
    return Vector3{a.x + t * u.x, a.y + t * u.y, a.z + t * u.z};
}

bool sphereVsTriangleList(float& x, float& y, float& z, float radius, const CollisionList* list,
                          bool pushFaces, bool pushEdges) {
    if (list == nullptr || list->triangleCount < 1)
        return false;
    bool moved = false;
    Vector3 c{x, y, z};
    for (int i = 0; i < list->triangleCount; i++) {
        const float* nf = list->normal + 3 * i;
        Vector3 n{nf[0], nf[1], nf[2]};
        if (!usableNormal(n))
            continue;
        Triangle t = listTriangle(list, i);
        float dist = dot(subtract(c, t.v0), n);
        // Only a centre on the open side (or on the plane) and nearer than
        // the radius; one already on the solid side is left alone.
        if (!(dist <= 0.0f && -dist < radius))
            continue;
        Vector3 q{c.x - dist * n.x, c.y - dist * n.y, c.z - dist * n.z};
        if (pointInTriangle(t, q)) {
            if (pushFaces) {
                float push = radius + dist;
                x -= push * n.x;
                y -= push * n.y;
                z -= push * n.z;
                moved = true;
                c = Vector3{x, y, z};
            }
            continue;
        }
        if (!pushEdges)
            continue;
        const Vector3 corners[3] = {t.v0, t.v1, t.v2};
        for (int k = 0; k < 3; k++) {
            Vector3 e = closestPointOnSegment(corners[k], corners[(k + 1) % 3], c);
            Vector3 away = subtract(c, e);
            float len = length(away);
            // A centre exactly on the edge has no direction to be pushed in.
            if (!(radius > len) || len == 0.0f)
                continue;
            float scale = radius / len;
            x = e.x + away.x * scale;
            y = e.y + away.y * scale;
            z = e.z + away.z * scale;
            moved = true;
            c = Vector3{x, y, z};
        }
    }
    return moved;
}

bool segmentVsTriangleList(Vector3 start, float& x, float& y, float& z, const CollisionList* list) {
    if (list == nullptr || list->triangleCount < 1)
        return false;
    bool hit = false;
    Vector3 e{x, y, z};
    for (int i = 0; i < list->triangleCount; i++) {
        Triangle t = listTriangle(list, i);
        Segment s{start, e};
        Vector3 n{0.0f, 0.0f, 0.0f};
        float d = 0.0f;
        if (!segmentCrossesPlane(t, s, n, d) || !usableNormal(n))
            continue;
        Vector3 h = linePlaneIntersection(s, n, d);
        if (!pointInTriangle(t, h))
            continue;
        // Every hit shortens the segment, so later triangles can only hit
        // nearer to the start: the nearest crossing wins in any list order.
        x = h.x;
        y = h.y;
        z = h.z;
        e = h;
        hit = true;
    }
    return hit;
}
