// test_figure_pose.cpp: the body and arm pose steps: the head, planted feet
// that step when stretched, dangling legs in mid-air, and hands that reach
// 1.95 toward the target unless a surface stops them.
#include "game_fixture.h"
#include "render/pose.h"

static Vector3 foot(const Figure& f, int i) {
    return Vector3{f.footX[i], f.footY[i], f.footZ[i]};
}
static Vector3 hip(const Figure& f, int i) {
    return Vector3{f.hipX[i], f.hipY[i], f.hipZ[i]};
}
static Vector3 hand(const Figure& f, int i) {
    return Vector3{f.handX[i], f.handY[i], f.handZ[i]};
}
static Vector3 shoulder(const Figure& f, int i) {
    return Vector3{f.shoulderX[i], f.shoulderY[i], f.shoulderZ[i]};
}

TEST_F(GameTest, BodyPointsFollowPositionYawAndPitch) {
    Figure f;
    memset(&f, 0, sizeof f);
    f.position = Vector3{25.0f, 10.0f, 25.0f};
    f.yaw = 0.3f;
    poseFigureBody(f);
    EXPECT_FLOAT_EQ(f.neck.y, 11.25f);
    EXPECT_NEAR(f.head.y, 11.65f, 1e-5f);
    EXPECT_NEAR(f.head.x, 25.0f, 1e-5f);
    EXPECT_FLOAT_EQ(f.hipCentre.y, 10.25f);
    // Hip 0 on the side of yaw + pi/2, 0.4 out and 0.1 down.
    EXPECT_NEAR(f.hipX[0], 25.0f + 0.4f * std::cos(0.3f + 1.5707963f), 1e-5f);
    EXPECT_NEAR(f.hipZ[1], 25.0f + 0.4f * std::sin(0.3f - 1.5707963f), 1e-5f);
    EXPECT_FLOAT_EQ(f.hipY[1], 10.15f);

    // Looking down 65 degrees tips the head forward (facing is -(cos yaw,
    // sin yaw)) by 0.4 sin 65 horizontally.
    f.yaw = 0.0f;
    f.pitch = 1.1344640f;
    poseFigureBody(f);
    EXPECT_NEAR(f.head.x - f.neck.x, -0.4f * std::sin(1.1344640f), 1e-5f);
    EXPECT_NEAR(f.head.y - f.neck.y, 0.4f * std::cos(1.1344640f), 1e-5f);
}

TEST_F(GameTest, FeetHangInMidAirAndTryAgainEveryUpdate) {
    // Dropped at y = 10 over a floor at 3: nothing within 1.99 of the hips.
    step(1.0f);
    for (int update = 0; update < 5; ++update) {
        for (int i = 0; i < 2; ++i) {
            EXPECT_FALSE(player.footPlanted[i]);
            EXPECT_EQ(player.footX[i], player.hipX[i]);
            EXPECT_EQ(player.footZ[i], player.hipZ[i]);
            EXPECT_NEAR(player.footY[i], player.hipY[i] - 1.99f, 1e-5f);
        }
        step(1.0f);
    }
    // Landed, both feet are put down on the floor under the hips.
    settlePlayer();
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(player.footPlanted[i]);
        EXPECT_NEAR(player.footY[i], FLOOR_Y, 1e-3f);
    }
}

TEST_F(GameTest, FeetStayPlantedUntilStretchedThenStepUnderTheHip) {
    settlePlayer();
    Vector3 planted[2] = {foot(player, 0), foot(player, 1)};
    steps(20, 1.0f);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(player.footX[i], planted[i].x);
        EXPECT_EQ(player.footY[i], planted[i].y);
        EXPECT_EQ(player.footZ[i], planted[i].z);
    }
    // Walking: each foot stays put until its hip is 1.99 away, then lands
    // directly under the hip on the floor.
    pressKey(KEY_W);
    int stepsTaken[2] = {0, 0};
    for (int update = 0; update < 300; ++update) {
        Vector3 before[2] = {foot(player, 0), foot(player, 1)};
        step(1.0f);
        for (int i = 0; i < 2; ++i) {
            Vector3 now = foot(player, i);
            bool moved = now.x != before[i].x || now.y != before[i].y || now.z != before[i].z;
            Vector3 h = hip(player, i);
            if (!moved) {
                EXPECT_LT(distance(h, now), 1.99f);
                continue;
            }
            ++stepsTaken[i];
            // The old foot was too far from the new hip.
            EXPECT_GE(distance(h, before[i]), 1.99f);
            EXPECT_EQ(now.x, h.x);
            EXPECT_EQ(now.z, h.z);
            EXPECT_NEAR(now.y, FLOOR_Y, 1e-3f);
            EXPECT_TRUE(player.footPlanted[i]);
        }
    }
    EXPECT_GT(stepsTaken[0], 3);
    EXPECT_GT(stepsTaken[1], 3);
}

TEST_F(GameTest, HandsReachTowardTheTargetAndStopAtSurfaces) {
    Figure f;
    memset(&f, 0, sizeof f);
    f.position = Vector3{25.0f, 10.0f, 25.0f};
    poseFigureBody(f);
    // Far target: 1.95 along the line to it.
    f.target = Vector3{25.0f, 10.0f, 5.0f};
    poseFigureArms(f);
    for (int i = 0; i < 2; ++i) {
        Vector3 s = shoulder(f, i);
        EXPECT_NEAR(s.y, f.neck.y - 0.1f, 1e-6f);
        EXPECT_NEAR(distance(hand(f, i), s), 1.95f, 1e-5f);
        float d = distance(f.target, s);
        EXPECT_NEAR(f.handZ[i] - s.z, 1.95f * (f.target.z - s.z) / d, 1e-5f);
    }
    // A near target is reached through: still 1.95 long.
    f.target = Vector3{25.0f, 11.0f, 24.5f};
    poseFigureArms(f);
    EXPECT_NEAR(distance(hand(f, 0), shoulder(f, 0)), 1.95f, 1e-5f);
    EXPECT_NEAR(distance(hand(f, 1), shoulder(f, 1)), 1.95f, 1e-5f);
    // A target exactly at a shoulder leaves that hand at the shoulder.
    f.target = shoulder(f, 0);
    poseFigureArms(f);
    EXPECT_EQ(f.handX[0], f.shoulderX[0]);
    EXPECT_EQ(f.handY[0], f.shoulderY[0]);
    EXPECT_TRUE(std::isfinite(f.handX[1]));
    EXPECT_NEAR(distance(hand(f, 1), shoulder(f, 1)), 1.95f, 1e-5f);
    // A wall one unit in front of the shoulders stops both hands at its face.
    fillBlocks(18, 23, 1, 20, 20, 30);
    f.target = Vector3{10.0f, f.neck.y - 0.1f, 25.0f};
    f.position = Vector3{25.0f, 10.0f, 25.0f};
    poseFigureBody(f);
    poseFigureArms(f);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(f.handX[i], 24.0f, 1e-4f) << i;
        EXPECT_LT(distance(hand(f, i), shoulder(f, i)), 1.95f);
    }
}
