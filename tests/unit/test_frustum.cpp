// test_frustum.cpp: the camera matrices, the planes they give and the cube
// test, all without a display.
#include <gtest/gtest.h>

#include <cmath>

#include "render/frustum.h"

namespace {

const float EPS = 1e-5f;

void expectPlane(const ViewFrustum& f, int plane, float a, float b, float c, float d) {
    EXPECT_NEAR(f.planes[plane][0], a, EPS) << "plane " << plane;
    EXPECT_NEAR(f.planes[plane][1], b, EPS) << "plane " << plane;
    EXPECT_NEAR(f.planes[plane][2], c, EPS) << "plane " << plane;
    EXPECT_NEAR(f.planes[plane][3], d, EPS) << "plane " << plane;
}

// Applies a column-major matrix to a point (w = 1).
void transformPoint(const float m[16], float x, float y, float z, float out[3]) {
    for (int r = 0; r < 3; r++) {
        out[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
    }
}

CameraPose pose(float x, float y, float z, float pitch, float yaw, float roll) {
    CameraPose p{};
    p.position = {x, y, z};
    p.pitch = pitch;
    p.yaw = yaw;
    p.roll = roll;
    return p;
}

// 90 degrees, square, near 1, far 3, camera at the origin looking down -z.
ViewFrustum rightAngleFrustum(const CameraPose& camera) {
    float projection[16];
    float modelview[16];
    perspectiveMatrix(projection, 90.0f, 1.0f, 1.0f, 3.0f);
    cameraModelviewMatrix(modelview, camera);
    ViewFrustum f{};
    frustumFromMatrices(f, projection, modelview);
    return f;
}

} // namespace

TEST(Frustum, PerspectiveMatrixHasTheProjectionNumbers) {
    float m[16];
    // cot(45 deg) = 1: x scale 1 / aspect, depth terms -(f + n)/(f - n) and -2fn/(f - n).
    perspectiveMatrix(m, 90.0f, 2.0f, 1.0f, 3.0f);
    const float expected[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
    for (int i = 0; i < 16; i++) {
        EXPECT_NEAR(m[i], expected[i], EPS) << "element " << i;
    }
    // 50 degrees, 4:3, the scene's own near plane and view range 6.
    perspectiveMatrix(m, 50.0f, 4.0f / 3.0f, 0.1f, 35.0f);
    const float cot25 = 2.1445069f; // 1 / tan(25 degrees)
    EXPECT_NEAR(m[5], cot25, 1e-5f);
    EXPECT_NEAR(m[0], cot25 * 0.75f, 1e-5f);
    EXPECT_NEAR(m[10], -35.1f / 34.9f, 1e-6f);
    EXPECT_NEAR(m[14], -7.0f / 34.9f, 1e-6f);
    EXPECT_EQ(m[11], -1.0f);
    EXPECT_EQ(m[15], 0.0f);
}

TEST(Frustum, ModelviewRotatesPitchThenYawThenRollThenMoves) {
    float m[16];
    float p[3];
    cameraModelviewMatrix(m, pose(0, 0, 0, 0, 0, 0));
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f);
    }
    // Pure move: the world shifts by minus the eye position.
    cameraModelviewMatrix(m, pose(1, 2, 3, 0, 0, 0));
    transformPoint(m, 1, 2, -2, p);
    EXPECT_NEAR(p[0], 0, EPS);
    EXPECT_NEAR(p[1], 0, EPS);
    EXPECT_NEAR(p[2], -5, EPS);
    // Yaw of pi/2 turns the eye to face +x: a point 5 along +x is straight ahead.
    cameraModelviewMatrix(m, pose(0, 0, 0, 0, 1.570796325f, 0));
    transformPoint(m, 5, 0, 0, p);
    EXPECT_NEAR(p[0], 0, EPS);
    EXPECT_NEAR(p[1], 0, EPS);
    EXPECT_NEAR(p[2], -5, EPS);
    // Positive pitch looks down: a point below the eye comes to the centre.
    cameraModelviewMatrix(m, pose(0, 0, 0, 1.570796325f, 0, 0));
    transformPoint(m, 0, -5, 0, p);
    EXPECT_NEAR(p[0], 0, EPS);
    EXPECT_NEAR(p[1], 0, EPS);
    EXPECT_NEAR(p[2], -5, EPS);
    // Yaw applies to the point first, pitch last (R = Rx Ry Rz): (5, 0, 0)
    // goes to (0, 0, -5) under the yaw and then up to (0, 5, 0) under the pitch.
    cameraModelviewMatrix(m, pose(0, 0, 0, 1.570796325f, 1.570796325f, 0));
    transformPoint(m, 5, 0, 0, p);
    EXPECT_NEAR(p[0], 0, EPS);
    EXPECT_NEAR(p[1], 5, EPS);
    EXPECT_NEAR(p[2], 0, EPS);
    // Roll of pi/2 about the view axis: +x of the world shows as +y on screen.
    cameraModelviewMatrix(m, pose(0, 0, 0, 0, 0, 1.570796325f));
    transformPoint(m, 1, 0, 0, p);
    EXPECT_NEAR(p[0], 0, EPS);
    EXPECT_NEAR(p[1], 1, EPS);
    // The move comes after the rotations: the eye itself maps to the origin.
    cameraModelviewMatrix(m, pose(25, 10, 25, 0.4f, -2.1f, 0.3f));
    transformPoint(m, 25, 10, 25, p);
    EXPECT_NEAR(p[0], 0, 1e-5f);
    EXPECT_NEAR(p[1], 0, 1e-5f);
    EXPECT_NEAR(p[2], 0, 1e-5f);
}

TEST(Frustum, PlanesOfKnownMatrices) {
    float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ViewFrustum f{};
    // The clip cube itself: |x|, |y|, |z| < 1.
    frustumFromMatrices(f, identity, identity);
    expectPlane(f, FrustumRight, -1, 0, 0, 1);
    expectPlane(f, FrustumLeft, 1, 0, 0, 1);
    expectPlane(f, FrustumBottom, 0, 1, 0, 1);
    expectPlane(f, FrustumTop, 0, -1, 0, 1);
    expectPlane(f, FrustumFar, 0, 0, -1, 1);
    expectPlane(f, FrustumNear, 0, 0, 1, 1);

    // 90 degrees square: side planes at 45 degrees, near z = -1, far z = -3.
    const float h = 0.70710678f;
    f = rightAngleFrustum(pose(0, 0, 0, 0, 0, 0));
    expectPlane(f, FrustumRight, -h, 0, -h, 0);
    expectPlane(f, FrustumLeft, h, 0, -h, 0);
    expectPlane(f, FrustumBottom, 0, h, -h, 0);
    expectPlane(f, FrustumTop, 0, -h, -h, 0);
    expectPlane(f, FrustumFar, 0, 0, 1, 3);
    expectPlane(f, FrustumNear, 0, 0, -1, -1);

    // The eye moved to x = 10: the side planes shift with it, near and far do not.
    f = rightAngleFrustum(pose(10, 0, 0, 0, 0, 0));
    expectPlane(f, FrustumRight, -h, 0, -h, 10 * h);
    expectPlane(f, FrustumLeft, h, 0, -h, -10 * h);
    expectPlane(f, FrustumNear, 0, 0, -1, -1);

    // Facing +x (yaw pi/2): the near plane now faces along +x.
    f = rightAngleFrustum(pose(0, 0, 0, 0, 1.570796325f, 0));
    expectPlane(f, FrustumNear, 1, 0, 0, -1);
    expectPlane(f, FrustumFar, -1, 0, 0, 3);
}

TEST(Frustum, NormalizePlaneDividesAllFourValues) {
    ViewFrustum f{};
    f.planes[FrustumTop][0] = 3;
    f.planes[FrustumTop][1] = 0;
    f.planes[FrustumTop][2] = 4;
    f.planes[FrustumTop][3] = 10;
    normalizePlane(FrustumTop, f);
    expectPlane(f, FrustumTop, 0.6f, 0, 0.8f, 2);
    // Other planes are left alone.
    expectPlane(f, FrustumBottom, 0, 0, 0, 0);
    // A zero normal is left as it is rather than becoming NaN.
    f.planes[FrustumFar][3] = 7;
    normalizePlane(FrustumFar, f);
    expectPlane(f, FrustumFar, 0, 0, 0, 7);
}

TEST(Frustum, CubeTest) {
    const ViewFrustum f = rightAngleFrustum(pose(0, 0, 0, 0, 0, 0));
    // Corners at z = -1 lie exactly on the near plane, the rest behind it.
    EXPECT_FALSE(cubeInFrustum(f, 0, 0, -0.5f, 0.5f));
    // Straddling the near plane right in front of the eye.
    EXPECT_TRUE(cubeInFrustum(f, 0, 0, -1, 0.5f));
    // Wholly inside.
    EXPECT_TRUE(cubeInFrustum(f, 0, 0, -2, 0.25f));
    // Behind the eye.
    EXPECT_FALSE(cubeInFrustum(f, 0, 0, 5, 1));
    // Beyond the far plane, and touching it from outside.
    EXPECT_FALSE(cubeInFrustum(f, 0, 0, -10, 1));
    EXPECT_FALSE(cubeInFrustum(f, 0, 0, -4, 1));
    EXPECT_TRUE(cubeInFrustum(f, 0, 0, -3.9f, 1));
    // Off to each side at mid depth.
    EXPECT_FALSE(cubeInFrustum(f, 10, 0, -2, 1));
    EXPECT_FALSE(cubeInFrustum(f, -10, 0, -2, 1));
    EXPECT_FALSE(cubeInFrustum(f, 0, 10, -2, 1));
    EXPECT_FALSE(cubeInFrustum(f, 0, -10, -2, 1));
    // Enclosing the whole view volume.
    EXPECT_TRUE(cubeInFrustum(f, 0, 0, 0, 100));
    // Conservative near a corner of the volume: this cube (x <= -3.2, z from
    // -4 to -2.2) holds no point with x > z and z > -3, so it is invisible,
    // yet the left and the far plane each have a corner of it inside.
    EXPECT_TRUE(cubeInFrustum(f, -4.1f, 0.0f, -3.1f, 0.9f));

    // The same with the game's camera: eye at (25, 10, 25) facing +x.
    float projection[16];
    float modelview[16];
    perspectiveMatrix(projection, 50.0f, 4.0f / 3.0f, 0.1f, 35.0f);
    cameraModelviewMatrix(modelview, pose(25, 10, 25, 0, 1.570796325f, 0));
    ViewFrustum g{};
    frustumFromMatrices(g, projection, modelview);
    EXPECT_TRUE(cubeInFrustum(g, 35, 10, 25, 1));
    EXPECT_FALSE(cubeInFrustum(g, 15, 10, 25, 1));
    EXPECT_FALSE(cubeInFrustum(g, 65, 10, 25, 1)); // 40 ahead, past the far plane
    EXPECT_FALSE(cubeInFrustum(g, 35, 10, 45, 1)); // 20 to the side at depth 10
}
