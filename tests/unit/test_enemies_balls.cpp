// test_enemies_balls.cpp: enemies chase, push each other and the player, and
// reach for the player; balls fly under gravity and stick where they land.
#include "game_fixture.h"

TEST_F(GameTest, CloseEnemiesArePushedApartInBothTurns) {
    // With no time passing nothing moves, so every push sees a distance of 2:
    // 0.1 x (2.5 - 2) = 0.05 per turn on each body, twice per update.
    spawnFigure(25.0f, 20.0f, 15.0f);
    spawnFigure(27.0f, 20.0f, 15.0f);
    updateGame(0.0f);
    EXPECT_FLOAT_EQ(figures[0].velocity.x, -0.1f);
    EXPECT_FLOAT_EQ(figures[1].velocity.x, 0.1f);
    EXPECT_EQ(figures[0].velocity.y, 0.0f);
    EXPECT_EQ(figures[0].velocity.z, 0.0f);

    // A diagonal difference: the push is divided by the sum of the absolute
    // components, so its components add up to k.
    figureCount = 0;
    spawnFigure(25.0f, 20.0f, 15.0f);
    spawnFigure(26.0f, 21.0f, 15.0f); // distance sqrt 2
    updateGame(0.0f);
    float k = (2.5f - std::sqrt(2.0f)) * 0.1f;
    EXPECT_NEAR(figures[0].velocity.x, -k, 1e-6f); // twice k / 2 per axis
    EXPECT_NEAR(figures[0].velocity.y, -k, 1e-6f);
    EXPECT_NEAR(figures[1].velocity.x, k, 1e-6f);

    // Coincident bodies have no direction and are left alone; bodies 2.5
    // apart are not pushed.
    figureCount = 0;
    spawnFigure(25.0f, 20.0f, 15.0f);
    spawnFigure(25.0f, 20.0f, 15.0f);
    spawnFigure(27.5f, 20.0f, 15.0f);
    updateGame(0.0f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(figures[i].velocity.x, 0.0f) << i;
    }
}

TEST_F(GameTest, AnEnemyBesideThePlayerPushesItOncePerUpdate) {
    player.position = Vector3{25.0f, 10.0f, 25.0f};
    spawnFigure(25.0f, 10.0f, 27.0f);
    updateGame(0.0f);
    EXPECT_FLOAT_EQ(player.velocity.z, -0.05f);
    EXPECT_FLOAT_EQ(figures[0].velocity.z, 0.05f);
}

TEST_F(GameTest, EnemiesChaseThePlayerAndReachForIt) {
    settlePlayer();
    spawnFigure(35.0f, 8.0f, 31.0f);
    step(1.0f);
    // The first turn: facing the player and accelerating 0.005 toward it.
    Vector3 p = player.position;
    Figure& e = figures[0];
    float toX = p.x - e.position.x;
    float toZ = p.z - e.position.z;
    float along = std::hypot(toX, toZ);
    EXPECT_NEAR(-std::cos(e.yaw), toX / along, 1e-3f);
    EXPECT_NEAR(-std::sin(e.yaw), toZ / along, 1e-3f);
    float start = distance(e.position, p);
    steps(300, 1.0f);
    ASSERT_EQ(figureCount, 1);
    EXPECT_TRUE(e.onGround);
    EXPECT_LT(distance(e.position, player.position), start - 3.0f);
    // Both hands reach 1.95 toward the player's centre.
    EXPECT_EQ(e.target.x, player.position.x);
    for (int i = 0; i < 2; ++i) {
        Vector3 shoulder{e.shoulderX[i], e.shoulderY[i], e.shoulderZ[i]};
        Vector3 hand{e.handX[i], e.handY[i], e.handZ[i]};
        float toPlayer = distance(shoulder, player.position);
        EXPECT_NEAR(distance(hand, shoulder), 1.95f, 1e-4f);
        EXPECT_NEAR((hand.x - shoulder.x) / 1.95f, (player.position.x - shoulder.x) / toPlayer,
                    1e-4f);
        EXPECT_NEAR((hand.y - shoulder.y) / 1.95f, (player.position.y - shoulder.y) / toPlayer,
                    1e-4f);
    }
    EXPECT_EQ(e.pitch, 0.0f);
    EXPECT_FALSE(e.flying);
    EXPECT_FALSE(e.swinging);
}

TEST_F(GameTest, BallFallsFasterAndFasterAndSticksWhereItLands) {
    spawnBall(25.0f, 20.0f, 25.0f, 0.1f, 0.0f, 0.0f);
    float previousDrop = 0.0f;
    int updates = 0;
    while (balls[0].velocity.x != 0.0f && updates < 200) {
        float y = balls[0].position.y;
        step(1.0f);
        ++updates;
        if (balls[0].velocity.x == 0.0f) {
            break;
        }
        float drop = y - balls[0].position.y;
        EXPECT_NEAR(drop, previousDrop + (updates > 1 ? 0.01f : 0.0f), 1e-5f);
        EXPECT_NEAR(balls[0].velocity.y, -0.01f * (float)updates, 1e-5f);
        EXPECT_NEAR(balls[0].position.x, 25.0f + 0.1f * (float)updates, 1e-4f);
        previousDrop = drop;
    }
    ASSERT_LT(updates, 200);
    // Stuck on the floor, exactly still, for good.
    EXPECT_NEAR(balls[0].position.y, FLOOR_Y, 1e-3f);
    EXPECT_EQ(balls[0].velocity.y, 0.0f);
    EXPECT_EQ(balls[0].velocity.z, 0.0f);
    Ball stuck = balls[0];
    steps(50, 1.0f);
    EXPECT_EQ(balls[0].position.x, stuck.position.x);
    EXPECT_EQ(balls[0].position.y, stuck.position.y);
    EXPECT_EQ(ballCount, 1);
}

TEST_F(GameTest, StillBallsAndOtherKindsNeverMove) {
    spawnBall(25.0f, 20.0f, 25.0f, 0.0f, 0.0f, 0.0f);
    spawnBall(26.0f, 20.0f, 25.0f, 0.3f, 0.0f, 0.0f);
    balls[1].kind = 1; // drawn larger; nothing creates it and it does not fly
    steps(20, 1.0f);
    EXPECT_EQ(balls[0].position.y, 20.0f);
    EXPECT_EQ(balls[1].position.x, 26.0f);
    EXPECT_EQ(balls[1].velocity.x, 0.3f);
}
