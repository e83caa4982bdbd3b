// test_player_motion.cpp: the player's controls and the shared motion step on
// a flattened cave: landing and resting, walking, jumping, walls, the action
// keys, turning and the guards against degenerate input.
#include "game_fixture.h"

const float BODY_RADIUS = 1.25f;

TEST_F(GameTest, DroppedPlayerLandsAndRestsWithStandingGravity) {
    EXPECT_FLOAT_EQ(player.position.y, 10.0f);
    step(1.0f);
    EXPECT_FALSE(player.onGround);
    // Airborne: gravity 0.02 per tick per tick from rest.
    EXPECT_NEAR(player.velocity.y, -0.02f, 1e-7f);
    EXPECT_NEAR(player.position.y, 10.0f, 1e-6f);

    settlePlayer();
    ASSERT_TRUE(player.onGround);
    EXPECT_NEAR(player.position.y, FLOOR_Y + BODY_RADIUS, 1e-3f);
    for (float f : {1.0f, 2.0f, 0.5f}) {
        steps(3, f);
        for (int i = 0; i < 5; ++i) {
            float before = player.position.y;
            step(f);
            EXPECT_TRUE(player.onGround);
            EXPECT_NEAR(player.velocity.y, -0.0075f * f, 1e-5f) << "factor " << f;
            EXPECT_NEAR(player.position.y, before, 1e-5f);
            EXPECT_FLOAT_EQ(player.velocity.x, 0.0f);
            EXPECT_FLOAT_EQ(player.velocity.z, 0.0f);
        }
    }
}

TEST_F(GameTest, WalkingAcceleratesAlongTheViewAndDiagonalsAreNoFaster) {
    settlePlayer();
    Vector3 view = viewDirection(viewCamera);
    ASSERT_NEAR(view.y, 0.0f, 1e-6f);

    // Forward: the first walking update moves 0.015 along the view.
    Vector3 start = player.position;
    pressKey(KEY_W);
    step(1.0f);
    float dx = player.position.x - start.x;
    float dz = player.position.z - start.z;
    EXPECT_NEAR(dx, 0.015f * view.x, 1e-6f);
    EXPECT_NEAR(dz, 0.015f * view.z, 1e-6f);
    // The new velocity is the displacement damped by 0.08.
    EXPECT_NEAR(player.velocity.x, 0.92f * 0.015f * view.x, 1e-7f);
    EXPECT_NEAR(player.velocity.z, 0.92f * 0.015f * view.z, 1e-7f);
    // It keeps building up while the key is held.
    float speedBefore = std::hypot(player.velocity.x, player.velocity.z);
    step(1.0f);
    EXPECT_GT(std::hypot(player.velocity.x, player.velocity.z), speedBefore);
    releaseKey(KEY_W);
    steps(200, 1.0f);
    EXPECT_NEAR(std::hypot(player.velocity.x, player.velocity.z), 0.0f, 1e-6f);

    // Forward and right together: the same 0.015, turned 45 degrees right.
    view = viewDirection(viewCamera);
    start = player.position;
    pressKey(KEY_UP);
    pressKey(KEY_D);
    step(1.0f);
    dx = player.position.x - start.x;
    dz = player.position.z - start.z;
    EXPECT_NEAR(std::hypot(dx, dz), 0.015f, 1e-6f);
    // Right of a view (vx, vz) seen from above with y up is (-vz, vx).
    float c = std::sqrt(0.5f);
    EXPECT_NEAR(dx, 0.015f * (c * view.x - c * view.z), 1e-6f);
    EXPECT_NEAR(dz, 0.015f * (c * view.z + c * view.x), 1e-6f);
    releaseKey(KEY_UP);
    releaseKey(KEY_D);

    // Opposite keys cancel.
    steps(200, 1.0f);
    start = player.position;
    pressKey(KEY_A);
    pressKey(KEY_RIGHT);
    step(1.0f);
    EXPECT_FLOAT_EQ(player.position.x, start.x);
    EXPECT_FLOAT_EQ(player.position.z, start.z);
}

TEST_F(GameTest, JumpNeedsTheGroundAndIsNotScaled) {
    // Falling: holding jump does nothing.
    pressKey(KEY_SPACE);
    step(1.0f);
    step(1.0f);
    EXPECT_LT(player.velocity.y, 0.0f);
    releaseKey(KEY_SPACE);
    settlePlayer();

    // On the ground at factor 2: the jump speed is 0.75 whatever the factor,
    // so the first jumping update rises 2 x 0.75.
    float before = player.position.y;
    pressKey(KEY_SPACE);
    step(2.0f);
    EXPECT_NEAR(player.position.y - before, 1.5f, 1e-5f);
    EXPECT_FALSE(player.onGround);
    EXPECT_NEAR(player.velocity.y, (1.0f - 0.09f * 2.0f) * 0.75f - 0.02f * 2.0f, 1e-5f);
    // Held, it jumps again as soon as the body has landed.
    int landedAt = -1;
    int jumpedAgainAt = -1;
    for (int i = 0; i < 200 && jumpedAgainAt < 0; ++i) {
        bool wasOnGround = player.onGround;
        step(1.0f);
        if (player.onGround && landedAt < 0) {
            landedAt = i;
        }
        if (wasOnGround && player.velocity.y > 0.5f) {
            jumpedAgainAt = i;
        }
    }
    ASSERT_GE(landedAt, 0);
    EXPECT_EQ(jumpedAgainAt, landedAt + 1);
}

TEST_F(GameTest, WalkingIntoAWallRemovesTheVelocityIntoIt) {
    // A wall of blocks whose face is at x = 21, in front of the player (who
    // faces -x with yaw 0).
    fillBlocks(18, 20, 1, 15, 15, 35);
    player.position = Vector3{21.0f + BODY_RADIUS + 0.5f, 6.0f, 25.5f};
    settlePlayer();
    pressKey(KEY_W);
    for (int i = 0; i < 100; ++i) {
        step(1.0f);
        EXPECT_GE(player.position.x, 21.0f + BODY_RADIUS - 1e-3f);
    }
    // Pressed against the face: whatever the body gains toward the wall in
    // an update, the collision takes back.
    EXPECT_NEAR(player.position.x, 21.0f + BODY_RADIUS, 1e-3f);
    EXPECT_GT(player.velocity.x, -1e-4f);
    EXPECT_NEAR(player.velocity.z, 0.0f, 1e-4f);
}

TEST_F(GameTest, ActionKeysStepAndWrapTheMode) {
    pressKey(KEY_Q);
    step(1.0f);
    EXPECT_EQ(actionType, 8);
    // Held, Q does nothing more.
    steps(3, 1.0f);
    EXPECT_EQ(actionType, 8);
    releaseKey(KEY_Q);
    pressKey(KEY_E);
    step(1.0f);
    EXPECT_EQ(actionType, 0);
    releaseKey(KEY_E);
    pressKey(KEY_E);
    step(1.0f);
    EXPECT_EQ(actionType, 1);
    // Both in the same frame cancel.
    pressKey(KEY_Q);
    pressKey(KEY_E);
    step(1.0f);
    EXPECT_EQ(actionType, 1);
}

TEST_F(GameTest, ViewTurnsByWhereThePointerRestsOnlyInsideTheWindow) {
    // Pointer at the right edge: 0.0525 radians per tick, scaled by f.
    mouseX = (int)TEST_WIDTH;
    step(1.0f);
    EXPECT_NEAR(player.yaw, 0.0525f, 1e-6f);
    step(2.0f);
    EXPECT_NEAR(player.yaw, 0.0525f * 3.0f, 1e-6f);
    // Pointer at the bottom edge: pitch 0.0375 per tick, clamped at 65 degrees.
    mouseX = (int)(TEST_WIDTH / 2);
    mouseY = (int)TEST_HEIGHT;
    step(1.0f);
    EXPECT_NEAR(player.pitch, 0.0375f, 1e-6f);
    steps(100, 1.0f);
    EXPECT_FLOAT_EQ(player.pitch, 1.1344640f);
    mouseY = 0;
    steps(100, 1.0f);
    EXPECT_FLOAT_EQ(player.pitch, -1.1344640f);

    // Outside the window the view stops, however far off-centre the pointer.
    mouseInWindow = false;
    mouseX = 0;
    mouseY = (int)TEST_HEIGHT;
    float yaw = player.yaw;
    float pitch = player.pitch;
    steps(10, 1.0f);
    EXPECT_EQ(player.yaw, yaw);
    EXPECT_EQ(player.pitch, pitch);
}

TEST_F(GameTest, DegenerateStepsNeverProduceNaN) {
    settlePlayer();
    // A body exactly at its rope anchor keeps its position for that step.
    player.swinging = true;
    player.ropeLength = 3.0f;
    player.velocity = Vector3{0.0f, 0.0f, 0.0f};
    Vector3 at = Vector3{25.0f, 12.0f, 25.0f};
    player.position = at;
    player.ropeAnchor = at;
    moveFigure(player, 1.0f, at, true);
    EXPECT_TRUE(finite(player.position));
    EXPECT_TRUE(finite(player.velocity));
    EXPECT_FLOAT_EQ(player.position.x, at.x);
    EXPECT_FLOAT_EQ(player.position.y, at.y);
    EXPECT_FLOAT_EQ(player.position.z, at.z);
    player.swinging = false;

    // A time factor of 0 moves nothing and leaves the velocity as it was.
    player.velocity = Vector3{0.1f, 0.2f, 0.3f};
    Vector3 old = player.position;
    moveFigure(player, 0.0f, old, true);
    EXPECT_TRUE(finite(player.velocity));
    EXPECT_FLOAT_EQ(player.velocity.x, 0.1f);
    EXPECT_FLOAT_EQ(player.position.x, old.x);

    // A window of no size and a factor that is not a number.
    screenWidth = 0.0f;
    screenHeight = 0.0f;
    aspectRatio = screenWidth / screenHeight;
    step(NAN);
    step(1.0f);
    EXPECT_TRUE(finite(player.position));
    EXPECT_TRUE(finite(player.velocity));
    EXPECT_TRUE(finite(viewCamera.position));
    EXPECT_TRUE(std::isfinite(viewCamera.yaw));
    EXPECT_TRUE(finite(aimPoint));
}

TEST_F(GameTest, AReleasedBodyComesToRestEvenFarOutInTheEndlessWorld) {
    // Far out, a position's last place is large; a velocity of a few of those
    // places must still die away rather than be rebuilt from its rounding.
    for (float offset : {0.0f, 10000.0f}) {
        player.position = Vector3{25.0f + offset, 6.0f, 25.0f - offset};
        player.velocity = Vector3{0.0f, 0.0f, 0.0f};
        settlePlayer();
        pressKey(KEY_W);
        steps(40, 1.0f);
        releaseKey(KEY_W);
        steps(400, 1.0f);
        Vector3 rest = player.position;
        steps(100, 1.0f);
        EXPECT_EQ(player.position.x, rest.x) << "offset " << offset;
        EXPECT_EQ(player.position.z, rest.z) << "offset " << offset;
        EXPECT_LT(std::hypot(player.velocity.x, player.velocity.z), 1e-9f);
    }
}
