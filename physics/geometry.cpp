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

// How far outside its triangle pointInTriangle still accepts a point. The
// angle sum of 1.98 half-turns lets a point outside see one edge under 178.2
// degrees, which keeps it within tan(0.9 deg) / 2 = 0.00785 of that edge's
// length from the edge; an edge is never longer than the sum of the
// triangle's three extents, so 0.01 of that sum, plus a little for rounding,
// bounds the slack from above. Triangles farther than this from a query are
// rejected by their bounds alone, without changing any result.
const float INSIDE_SLACK_SHARE = 0.01f; // of the sum of the triangle's extents
const float BOUNDS_ROUNDING = 0.001f;   // world units

// An axis-aligned box.
struct Bounds {
    float minX, minY, minZ, maxX, maxY, maxZ;
};

// Plain comparisons: the library's fminf and fmaxf are calls, too slow for
// the inner loop, and no coordinate here is ever not-a-number.
static inline float least(float a, float b) {
    return b < a ? b : a;
}
static inline float most(float a, float b) {
    return b > a ? b : a;
}

static Bounds segmentBounds(Vector3 a, Vector3 b) {
    return Bounds{least(a.x, b.x), least(a.y, b.y), least(a.z, b.z),
                  most(a.x, b.x),  most(a.y, b.y),  most(a.z, b.z)};
}

// Whether the box of corners a, b, c, grown by the inside slack and by
// `grow`, meets the query box. Runs for every triangle of a scan, so it reads
// the list's floats in place.
static inline bool nearTriangle(const float* a, const float* b, const float* c, const Bounds& q,
                                float grow) {
    float minX = least(a[0], least(b[0], c[0])), maxX = most(a[0], most(b[0], c[0]));
    float minY = least(a[1], least(b[1], c[1])), maxY = most(a[1], most(b[1], c[1]));
    float minZ = least(a[2], least(b[2], c[2])), maxZ = most(a[2], most(b[2], c[2]));
    float margin = INSIDE_SLACK_SHARE * ((maxX - minX) + (maxY - minY) + (maxZ - minZ)) +
                   BOUNDS_ROUNDING + grow;
    // Bitwise rather than short-circuit: six cheap comparisons beat the
    // branches that would skip some of them.
    return (q.maxX >= minX - margin) & (q.minX <= maxX + margin) & (q.maxY >= minY - margin) &
           (q.minY <= maxY + margin) & (q.maxZ >= minZ - margin) & (q.minZ <= maxZ + margin);
}

// A unit normal has squared length near 1; the normal of a zero-area triangle
// is zero or not a number, and this rejects both.
static bool usableNormal(Vector3 n) {
    return dot(n, n) > 0.5f;
}

static Triangle cornersTriangle(const float* a, const float* b, const float* c) {
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
    // Local copies: the caller's floats could alias the list for all the
    // compiler knows, and would make it reload these every triangle.
    const int count = list->triangleCount;
    const float* const corner0 = list->corner0;
    const float* const corner1 = list->corner1;
    const float* const corner2 = list->corner2;
    const float* const normal = list->normal;
    for (int i = 0; i < count; i++) {
        const float* nf = normal + 3 * i;
        Vector3 n{nf[0], nf[1], nf[2]};
        if (!usableNormal(n))
            continue;
        const float* v0 = corner0 + 3 * i;
        const float* v1 = corner1 + 3 * i;
        const float* v2 = corner2 + 3 * i;
        float dist = (c.x - v0[0]) * n.x + (c.y - v0[1]) * n.y + (c.z - v0[2]) * n.z;
        // Only a centre on the open side (or on the plane) and nearer than
        // the radius; one already on the solid side is left alone.
        if (!(dist <= 0.0f && -dist < radius))
            continue;
        // Farther than the radius from the slack-grown triangle: neither its
        // face nor its edges can reach the centre.
        if (!nearTriangle(v0, v1, v2, Bounds{c.x, c.y, c.z, c.x, c.y, c.z}, radius))
            continue;
        Triangle t = cornersTriangle(v0, v1, v2);
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
    Bounds reach = segmentBounds(start, e);
    const int count = list->triangleCount;
    const float* const corner0 = list->corner0;
    const float* const corner1 = list->corner1;
    const float* const corner2 = list->corner2;
    for (int i = 0; i < count; i++) {
        const float* v0 = corner0 + 3 * i;
        const float* v1 = corner1 + 3 * i;
        const float* v2 = corner2 + 3 * i;
        // A crossing lies on the segment, and an accepted one near the
        // triangle: disjoint bounds rule it out before any square root.
        if (!nearTriangle(v0, v1, v2, reach, 0.0f))
            continue;
        Triangle t = cornersTriangle(v0, v1, v2);
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
        reach = segmentBounds(start, e);
        hit = true;
    }
    return hit;
}
