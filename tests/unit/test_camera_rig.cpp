// test_camera_rig.cpp: the two cameras, the glide between them, the side
// switch and the aim ray through the pointer.
#include "game_fixture.h"

TEST_F(GameTest, CentredPointerAimsStraightAheadFiftyUnitsUnlessASurfaceIsNearer) {
    settlePlayer();
    // First person, level: straight along -x through the wall's opening.
    step(1.0f);
    Vector3 c = viewCamera.position;
    Vector3 view = viewDirection(viewCamera);
    EXPECT_NEAR(view.x, -1.0f, 1e-6f);
    EXPECT_NEAR(distance(aimPoint, c), 50.0f, 1e-3f);
    EXPECT_NEAR(aimPoint.x, c.x + 50.0f * view.x, 1e-3f);
    EXPECT_NEAR(aimPoint.y, c.y + 50.0f * view.y, 1e-3f);
    EXPECT_NEAR(aimPoint.z, c.z + 50.0f * view.z, 1e-3f);
    // The first-person camera is the head.
    EXPECT_EQ(c.x, player.head.x);
    EXPECT_EQ(c.y, player.head.y);

    // Turned and looking down: still along the view, now stopped by the
    // floor at 3 well within 50 units.
    player.yaw = 0.7f;
    player.pitch = 0.5f;
    step(1.0f);
    c = viewCamera.position;
    view = viewDirection(viewCamera);
    float along = (FLOOR_Y - c.y) / view.y;
    ASSERT_LT(along, 50.0f);
    EXPECT_NEAR(aimPoint.y, FLOOR_Y, 1e-3f);
    EXPECT_NEAR(aimPoint.x, c.x + along * view.x, 1e-3f);
    EXPECT_NEAR(aimPoint.z, c.z + along * view.z, 1e-3f);

    // A wall in front: the aim stops at its face at x = 16.
    player.yaw = 0.0f;
    player.pitch = 0.0f;
    fillBlocks(14, 15, 1, 12, 20, 30);
    step(1.0f);
    EXPECT_NEAR(aimPoint.x, 16.0f, 1e-3f);
    EXPECT_NEAR(aimPoint.y, viewCamera.position.y, 1e-3f);
}

TEST_F(GameTest, PointerOffsetTurnsTheAimByTheFieldOfView) {
    settlePlayer();
    // Pointer at the top edge: half the vertical field of view upward.
    mouseY = 0;
    mouseInWindow = false; // keep the view itself still
    step(1.0f);
    Vector3 c = viewCamera.position;
    float up = std::atan2(aimPoint.y - c.y, c.x - aimPoint.x);
    EXPECT_NEAR(up, 25.0f * 0.0174532925f, 1e-4f);
    EXPECT_LE(distance(aimPoint, c), 50.0f + 1e-3f);
    // Pointer at the right edge: half the horizontal angle, to the right (-z
    // when facing -x).
    mouseY = (int)(TEST_HEIGHT / 2);
    mouseX = (int)TEST_WIDTH;
    step(1.0f);
    float right = std::atan2(c.z - aimPoint.z, c.x - aimPoint.x);
    EXPECT_NEAR(right, 25.0f * (TEST_WIDTH / TEST_HEIGHT) * 0.0174532925f, 1e-4f);
}

TEST_F(GameTest, ViewSwitchGlidesOverTenTicks) {
    settlePlayer();
    pressButton(MOUSE_RIGHT);
    step(1.0f);
    EXPECT_TRUE(thirdPersonView);
    EXPECT_NEAR(viewBlend, 0.1f, 1e-6f);
    steps(8, 1.0f);
    EXPECT_LT(viewBlend, 1.0f);
    step(1.0f);
    EXPECT_EQ(viewBlend, 1.0f);
    // Fully third person: the view camera is the trailing camera.
    EXPECT_EQ(viewCamera.position.x, thirdPersonCamera.position.x);
    EXPECT_EQ(viewCamera.yaw, thirdPersonCamera.yaw);
    // 5 units from the point 1 above the body, shifted to the side.
    Vector3 pivot = player.position;
    pivot.y += 1.0f;
    float lateral = 1.25f * aspectRatio; // side blend 0: lateral = -1.25 x aspect
    float expected = std::sqrt(25.0f + lateral * lateral);
    EXPECT_NEAR(distance(viewCamera.position, pivot), expected, 1e-3f);

    // Back in slow motion: a quarter of the rate per update.
    slowMotion = true;
    pressButton(MOUSE_RIGHT);
    step(1.0f);
    EXPECT_FALSE(thirdPersonView);
    EXPECT_NEAR(viewBlend, 0.975f, 1e-6f);
    steps(40, 1.0f);
    EXPECT_EQ(viewBlend, 0.0f);
    EXPECT_EQ(viewCamera.position.x, player.head.x);

    // And out again: forty updates of 0.025. In float arithmetic the forty
    // steps sum to 0.9999996, so the blend is visually complete after forty
    // and exactly 1 after the forty-first.
    pressButton(MOUSE_RIGHT);
    steps(39, 1.0f);
    EXPECT_NEAR(viewBlend, 0.975f, 1e-5f);
    step(1.0f);
    EXPECT_NEAR(viewBlend, 1.0f, 1e-6f);
    step(1.0f);
    EXPECT_EQ(viewBlend, 1.0f);
}

TEST_F(GameTest, ThirdPersonAnglesCloseATenthOfTheGapPerTick) {
    settlePlayer();
    steps(200, 1.0f); // let the trailing camera catch up with yaw 0
    mouseInWindow = false;
    player.yaw += 1.0f;
    float gap = (player.yaw - 1.570796325f) - thirdPersonCamera.yaw;
    EXPECT_NEAR(gap, 1.0f, 1e-4f);
    for (int i = 0; i < 5; ++i) {
        step(1.0f);
        float next = firstPersonCamera.yaw - thirdPersonCamera.yaw;
        EXPECT_NEAR(next, 0.9f * gap, 1e-5f);
        gap = next;
    }
    // At factor 2 a fifth of the gap.
    step(2.0f);
    EXPECT_NEAR(firstPersonCamera.yaw - thirdPersonCamera.yaw, 0.8f * gap, 1e-5f);
    // The yaw is never wrapped: three full turns stay three full turns.
    player.yaw += 6.0f * 3.14159265f;
    step(1.0f);
    EXPECT_NEAR(firstPersonCamera.yaw, player.yaw - 1.570796325f, 1e-6f);
    EXPECT_GT(firstPersonCamera.yaw - thirdPersonCamera.yaw, 16.0f);
}

TEST_F(GameTest, CameraSideFollowsThePointerBands) {
    settlePlayer();
    EXPECT_FALSE(cameraSide);
    mouseInWindow = true;
    mouseX = (int)(0.7f * TEST_WIDTH);
    step(1.0f);
    EXPECT_TRUE(cameraSide);
    EXPECT_NEAR(cameraSideBlend, 0.1f, 1e-6f);
    // The middle band keeps the side.
    mouseX = (int)(0.5f * TEST_WIDTH);
    steps(15, 1.0f);
    EXPECT_TRUE(cameraSide);
    EXPECT_EQ(cameraSideBlend, 1.0f);
    // Outside the window it keeps it too.
    mouseInWindow = false;
    mouseX = 0;
    step(1.0f);
    EXPECT_TRUE(cameraSide);
    mouseInWindow = true;
    mouseX = (int)(0.3f * TEST_WIDTH);
    step(1.0f);
    EXPECT_FALSE(cameraSide);
    EXPECT_NEAR(cameraSideBlend, 0.9f, 1e-6f);
}
