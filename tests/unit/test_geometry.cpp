// test_geometry.cpp: the vector, plane and triangle routines and the two scans
// of one collision triangle list.
#include "physics/geometry.h"
#include "triangle_lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

const float R = 1.25f; // the body radius the game uses

bool finite3(float x, float y, float z) {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

TEST(Geometry, NormalizeAndPlaneCrossing) {
    Vector3 u = normalizeVector(3.0f, 4.0f, 0.0f);
    EXPECT_FLOAT_EQ(u.x, 0.6f);
    EXPECT_FLOAT_EQ(u.y, 0.8f);
    EXPECT_EQ(u.z, 0.0f);

    // Floor triangle at y = 1, open side up: the normal points down.
    Triangle t{{0, 1, 0}, {0, 1, 4}, {4, 1, 4}};
    Vector3 n{9, 9, 9};
    float d = 9.0f;
    EXPECT_TRUE(segmentCrossesPlane(t, Segment{{1, 3, 2}, {1, -1, 2}}, n, d));
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.y, -1.0f);
    EXPECT_EQ(n.z, 0.0f);
    EXPECT_EQ(d, 1.0f); // n.p + d = 0 on the plane y = 1
    // The plane is unbounded: a crossing outside the triangle still crosses.
    EXPECT_TRUE(segmentCrossesPlane(t, Segment{{40, 3, 2}, {40, -1, 2}}, n, d));
    // Strictly opposite sides only: an end on the plane, a segment in it,
    // and a segment wholly on one side are not crossings.
    EXPECT_FALSE(segmentCrossesPlane(t, Segment{{1, 3, 2}, {1, 1, 2}}, n, d));
    EXPECT_FALSE(segmentCrossesPlane(t, Segment{{1, 1, 2}, {1, -3, 2}}, n, d));
    EXPECT_FALSE(segmentCrossesPlane(t, Segment{{0, 1, 0}, {3, 1, 3}}, n, d));
    EXPECT_FALSE(segmentCrossesPlane(t, Segment{{1, 3, 2}, {1, 1.5f, 2}}, n, d));
}

TEST(Geometry, AngleBetween) {
    EXPECT_NEAR(angleBetween({1, 0, 0}, {0, 2, 0}), 1.5707963, 1e-6);
    EXPECT_NEAR(angleBetween({1, 1, 0}, {3, 3, 0}), 0.0, 1e-3);
    EXPECT_NEAR(angleBetween({1, 0, 0}, {-5, 0, 0}), 3.14159265, 1e-6);
    // Nearly opposite vectors whose float cosine rounds past -1 still give a
    // straight angle rather than not-a-number.
    int undefined = 0;
    srand(7);
    for (int k = 0; k < 2000; k++) {
        Vector3 a{rand() / (float)RAND_MAX - 0.5f, rand() / (float)RAND_MAX - 0.5f,
                  rand() / (float)RAND_MAX - 0.5f};
        float s = -(0.1f + 3.0f * rand() / (float)RAND_MAX);
        double angle = angleBetween(a, {a.x * s, a.y * s, a.z * s});
        if (std::isnan(angle))
            undefined++;
        else
            EXPECT_NEAR(angle, 3.14159265, 1e-3);
    }
    EXPECT_EQ(undefined, 0);
    // A zero vector has no direction.
    EXPECT_TRUE(std::isnan(angleBetween({0, 0, 0}, {1, 0, 0})));
}

TEST(Geometry, LinePlaneIntersection) {
    Vector3 down{0, -1, 0};
    // Plane y = 1 (normal down, offset 1).
    Vector3 h = linePlaneIntersection(Segment{{0.5f, 2, 0.25f}, {0.5f, 0, 0.25f}}, down, 1.0);
    EXPECT_FLOAT_EQ(h.x, 0.5f);
    EXPECT_FLOAT_EQ(h.y, 1.0f);
    EXPECT_FLOAT_EQ(h.z, 0.25f);
    // A slanted segment meets it where the line does.
    h = linePlaneIntersection(Segment{{0, 3, 0}, {4, -1, 0}}, down, 1.0);
    EXPECT_NEAR(h.x, 2.0f, 1e-5);
    EXPECT_NEAR(h.y, 1.0f, 1e-5);
    // The line, not the segment: a segment ending short of the plane.
    h = linePlaneIntersection(Segment{{0, 4, 0}, {0, 3, 0}}, down, 1.0);
    EXPECT_FLOAT_EQ(h.y, 1.0f);
    // Parallel to the plane: the denominator is exactly 0, the start comes back.
    h = linePlaneIntersection(Segment{{1, 2, 3}, {5, 2, -3}}, down, 1.0);
    EXPECT_EQ(h.x, 1.0f);
    EXPECT_EQ(h.y, 2.0f);
    EXPECT_EQ(h.z, 3.0f);
    // Zero length: the start, never not-a-number.
    h = linePlaneIntersection(Segment{{1, 2, 3}, {1, 2, 3}}, down, 1.0);
    EXPECT_EQ(h.x, 1.0f);
    EXPECT_EQ(h.y, 2.0f);
    EXPECT_EQ(h.z, 3.0f);
}

TEST(Geometry, PointInTriangle) {
    Triangle t{{0, 0, 0}, {0, 0, 4}, {4, 0, 0}};
    EXPECT_TRUE(pointInTriangle(t, {1, 0, 1}));
    EXPECT_TRUE(pointInTriangle(t, {0.01f, 0, 0.01f}));
    EXPECT_FALSE(pointInTriangle(t, {3, 0, 3}));
    EXPECT_FALSE(pointInTriangle(t, {-0.05f, 0, 1}));
    EXPECT_FALSE(pointInTriangle(t, {10, 0, 10}));
    // Corners are outside: their angles are undefined.
    EXPECT_FALSE(pointInTriangle(t, t.v0));
    EXPECT_FALSE(pointInTriangle(t, t.v1));
    EXPECT_FALSE(pointInTriangle(t, t.v2));
    // The sum must reach 1.98 half-turns: a point barely outside an edge sees
    // the triangle under just less than a full turn; at 0.001 outside the
    // long edge of this triangle the sum is about 6.2827, above the
    // threshold, so it counts as inside; at 0.1 it is well below.
    EXPECT_TRUE(pointInTriangle(t, {2.0f + 0.0007f, 0, 2.0f + 0.0007f}));
    EXPECT_FALSE(pointInTriangle(t, {2.1f, 0, 2.1f}));
    // Points on an edge count as inside (the clamped cosine keeps their
    // straight angle defined), whatever the triangle.
    srand(11);
    int rejected = 0;
    for (int k = 0; k < 3000; k++) {
        auto r = [] { return 10.0f * rand() / (float)RAND_MAX - 5.0f; };
        Triangle u{{r(), r(), r()}, {r(), r(), r()}, {r(), r(), r()}};
        float s = 0.05f + 0.9f * rand() / (float)RAND_MAX;
        Vector3 p{u.v0.x + s * (u.v1.x - u.v0.x), u.v0.y + s * (u.v1.y - u.v0.y),
                  u.v0.z + s * (u.v1.z - u.v0.z)};
        if (!pointInTriangle(u, p))
            rejected++;
    }
    EXPECT_EQ(rejected, 0);
}

TEST(Geometry, ClosestPointOnSegment) {
    Vector3 a{0, 0, 0}, b{4, 0, 0};
    Vector3 p = closestPointOnSegment(a, b, {0, 3, 0}); // t exactly 0
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, 0.0f);
    p = closestPointOnSegment(a, b, {-2, 1, 0});
    EXPECT_EQ(p.x, 0.0f);
    p = closestPointOnSegment(a, b, {4, 1, 1}); // exactly at the far end
    EXPECT_EQ(p.x, 4.0f);
    p = closestPointOnSegment(a, b, {9, 1, 1});
    EXPECT_EQ(p.x, 4.0f);
    p = closestPointOnSegment(a, b, {1.5f, 2, -7});
    EXPECT_FLOAT_EQ(p.x, 1.5f);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(p.z, 0.0f);
    // A zero-length segment is its one point.
    p = closestPointOnSegment(a, a, {1, 1, 1});
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(p.z, 0.0f);
}

TEST(SphereVsList, FacePushes) {
    TestList floor;
    addFloor(floor, 0, 0, 4, 4, 1.0f);
    float x = 1, y = 1, z = 1;
    // Centre on the plane: pushed by the full radius.
    EXPECT_TRUE(sphereVsTriangleList(x, y, z, R, &floor.list, true, false));
    EXPECT_EQ(y, 1.0f + R);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(z, 1.0f);
    // Resting exactly one radius above: left alone.
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &floor.list, true, true));
    EXPECT_EQ(y, 1.0f + R);
    // Sunk by less than the radius: lifted to exactly one radius above.
    for (float sunk : {0.001f, 0.3f, 1.0f, 1.249f}) {
        x = 2.5f, y = 1.0f + R - sunk, z = 3.0f;
        EXPECT_TRUE(sphereVsTriangleList(x, y, z, R, &floor.list, true, true)) << sunk;
        EXPECT_EQ(y, 1.0f + R) << sunk;
    }
    // On the solid side, however near: not this triangle's business.
    x = 1, y = 0.99f, z = 1;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &floor.list, true, true));
    EXPECT_EQ(y, 0.99f);
    // Faces only, with the projection outside every triangle: never moved.
    x = 4.5f, y = 1.5f, z = 2;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &floor.list, true, false));
    EXPECT_EQ(x, 4.5f);
    EXPECT_EQ(y, 1.5f);
    // Edges only, with the projection inside: not moved by that triangle,
    // though it lies nearer than the radius to an edge (x = 1).
    TestList wedge;
    wedge.add({1, 0, -4}, {-6, 0, 0}, {1, 0, 4});
    x = 0, y = 0.5f, z = 0;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &wedge.list, false, true));
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.5f);
    // No list, or an empty one, moves nothing.
    TestList none;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &none.list, true, true));
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, nullptr, true, true));
    EXPECT_EQ(y, 0.5f);
}

TEST(SphereVsList, EdgePushes) {
    // One floor triangle at y = 0 whose edge from (1, 0, 4) to (1, 0, -4)
    // runs along x = 1; open space above it and beyond x = 1.
    TestList wedge;
    wedge.add({1, 0, -4}, {-6, 0, 0}, {1, 0, 4});
    ASSERT_LT(wedge.n[1], 0.0f);
    // Exactly one radius from the edge (0.75 across, 1 up): stays.
    float x = 1.75f, y = 1.0f, z = 0.5f;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &wedge.list, false, true));
    EXPECT_EQ(x, 1.75f);
    EXPECT_EQ(y, 1.0f);
    // Nearer than the radius: pushed straight away from the nearest edge
    // point to exactly one radius.
    x = 1.5f, y = 0.5f, z = 0.5f;
    EXPECT_TRUE(sphereVsTriangleList(x, y, z, R, &wedge.list, false, true));
    EXPECT_NEAR(std::hypot(x - 1.0f, y), R, 1e-6);
    EXPECT_NEAR(x - 1.0f, y, 1e-6); // along the 45 degree line it came in on
    EXPECT_EQ(z, 0.5f);
    // The same position with faces only is not moved (projection outside).
    x = 1.5f, y = 0.5f, z = 0.5f;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &wedge.list, true, false));
    EXPECT_EQ(x, 1.5f);
    // A centre exactly on a corner has no direction to leave by: it stays,
    // and nothing undefined reaches its coordinates.
    x = 1.0f, y = 0.0f, z = 4.0f;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &wedge.list, true, true));
    EXPECT_TRUE(finite3(x, y, z));
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(z, 4.0f);
}

TEST(SphereVsList, SharedEdgeOfAFloorPushesWhenFacesAreSkipped) {
    // A flat quad's diagonal is an edge of both its triangles: a sunk centre
    // over one triangle is within the radius of the other's diagonal, and an
    // edge-only pass shoves it sideways. This is why the world query runs all
    // face pushes before any edge push.
    TestList floor;
    addFloor(floor, 0, 0, 4, 4, 1.0f);
    float x = 2, y = 1.5f, z = 1;
    EXPECT_TRUE(sphereVsTriangleList(x, y, z, R, &floor.list, false, true));
    EXPECT_NE(x, 2.0f);
    x = 2, y = 1.5f, z = 1;
    EXPECT_TRUE(sphereVsTriangleList(x, y, z, R, &floor.list, true, false));
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &floor.list, false, true));
    EXPECT_EQ(x, 2.0f);
    EXPECT_EQ(y, 1.0f + R);
}

TEST(SphereVsList, LaterTrianglesSeeEarlierPushes) {
    // A floor at y = 0 and a ceiling at y = 2: a sphere of radius 1.25 fits
    // nowhere; the floor lifts it to 1.25 and the ceiling, seeing the lifted
    // centre 0.75 below it, pushes it back down to 0.75.
    TestList room;
    addFloor(room, 0, 0, 4, 4, 0.0f);
    addCeiling(room, 0, 0, 4, 4, 2.0f);
    float x = 2, y = 0.5f, z = 1;
    EXPECT_TRUE(sphereVsTriangleList(x, y, z, R, &room.list, true, false));
    EXPECT_FLOAT_EQ(y, 0.75f);
}

TEST(SphereVsList, DegenerateTrianglesAreSkipped) {
    TestList flat;
    flat.add({0, 0, 0}, {1, 0, 0}, {2, 0, 0}); // collinear: no area
    flat.add({1, 0, 1}, {1, 0, 1}, {1, 0, 1}); // a single point
    float x = 1, y = 0.1f, z = 0.1f;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &flat.list, true, true));
    EXPECT_FALSE(segmentVsTriangleList({1, 1, 0}, x, y, z, &flat.list));
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 0.1f);
    EXPECT_EQ(z, 0.1f);
    // Also when its stored normal is zero rather than undefined.
    for (float& v : flat.n)
        v = 0.0f;
    EXPECT_FALSE(sphereVsTriangleList(x, y, z, R, &flat.list, true, true));
    EXPECT_EQ(y, 0.1f);
}

TEST(SegmentVsList, NearestCrossingWinsInEitherOrder) {
    TestList lower, upper, both, reversed;
    addFloor(lower, 0, 0, 4, 4, 1.0f);
    addFloor(upper, 0, 0, 4, 4, 2.0f);
    addFloor(both, 0, 0, 4, 4, 1.0f);
    addFloor(both, 0, 0, 4, 4, 2.0f);
    addFloor(reversed, 0, 0, 4, 4, 2.0f);
    addFloor(reversed, 0, 0, 4, 4, 1.0f);
    for (const TestList* l : {&both, &reversed}) {
        float x = 3, y = 0, z = 1;
        EXPECT_TRUE(segmentVsTriangleList({1, 3, 1}, x, y, z, &l->list));
        EXPECT_NEAR(x, 1.0f + 2.0f / 3.0f, 1e-5);
        EXPECT_NEAR(y, 2.0f, 1e-5);
        EXPECT_NEAR(z, 1.0f, 1e-5);
    }
    // From below, the lower floor's back is met first; the crossing counts
    // whichever way the segment runs.
    float x = 1, y = 3, z = 1;
    EXPECT_TRUE(segmentVsTriangleList({1, 0, 1}, x, y, z, &both.list));
    EXPECT_FLOAT_EQ(y, 1.0f);
}

TEST(SegmentVsList, NoCrossing) {
    TestList floor;
    addFloor(floor, 0, 0, 4, 4, 1.0f);
    // End exactly on the surface: not a hit, end unchanged.
    float x = 1, y = 1, z = 1;
    EXPECT_FALSE(segmentVsTriangleList({1, 3, 1}, x, y, z, &floor.list));
    EXPECT_EQ(y, 1.0f);
    // In the plane.
    x = 3, y = 1, z = 3;
    EXPECT_FALSE(segmentVsTriangleList({1, 1, 1}, x, y, z, &floor.list));
    EXPECT_EQ(x, 3.0f);
    // Crossing the plane outside the triangles.
    x = 6, y = 0, z = 6;
    EXPECT_FALSE(segmentVsTriangleList({6, 3, 6}, x, y, z, &floor.list));
    EXPECT_EQ(y, 0.0f);
    // Zero length, even on the surface.
    x = 1, y = 1, z = 1;
    EXPECT_FALSE(segmentVsTriangleList({1, 1, 1}, x, y, z, &floor.list));
    EXPECT_TRUE(finite3(x, y, z));
    EXPECT_FALSE(segmentVsTriangleList({1, 3, 1}, x, y, z, nullptr));
    EXPECT_EQ(y, 1.0f);
}

} // namespace

namespace {

// pointInTriangle accepts points a little outside a long edge (the angle sum
// needs only 1.98 half-turns). The list scans reject far triangles by their
// bounds first; they must still find crossings and pushes in that margin.
TEST(ListScans, AcceptedPointsJustOutsideALongEdge) {
    // A tall wall triangle in the plane x = 0: edge from (0, 0, 0) to
    // (0, 35, 0) along y, the third corner at z = 5. Open side towards -x.
    TestList wall;
    wall.add({0, 0, 0}, {0, 0, 5}, {0, 35, 0});
    ASSERT_GT(wall.n[0], 0.9f);
    Triangle t = wall.triangle(0);
    // 0.2 beyond the long edge (z = -0.2), halfway up: outside the
    // triangle's own bounds, yet counted as inside.
    Vector3 p{0, 17.5f, -0.2f};
    ASSERT_TRUE(pointInTriangle(t, p));
    ASSERT_FALSE(pointInTriangle(t, {0, 17.5f, -0.4f}));
    float x = 1, y = 17.5f, z = -0.2f;
    EXPECT_TRUE(segmentVsTriangleList({-1, 17.5f, -0.2f}, x, y, z, &wall.list));
    EXPECT_NEAR(x, 0.0f, 1e-6);
    // A sphere whose projection lands there is pushed by the face.
    x = -0.5f, y = 17.5f, z = -0.2f;
    EXPECT_TRUE(sphereVsTriangleList(x, y, z, 1.25f, &wall.list, true, false));
    EXPECT_FLOAT_EQ(x, -1.25f);
    EXPECT_EQ(z, -0.2f);
}

} // namespace
