// test_game_update.cpp: the update as a whole: the tables' limits and
// despawning, slow motion, the settling clock, and that nothing advances
// outside updateGame.
#include "game_fixture.h"

TEST_F(GameTest, FullTablesRefuseSilently) {
    for (int i = 0; i < MAX_FIGURES; ++i) {
        spawnFigure(20.0f + (float)i * 0.01f, 12.0f, 25.0f);
    }
    ASSERT_EQ(figureCount, 50);
    Figure last = figures[49];
    spawnFigure(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(figureCount, 50);
    EXPECT_EQ(figures[49].position.x, last.position.x);
    EXPECT_EQ(figures[49].kind, 1);

    for (int i = 0; i < MAX_BALLS; ++i) {
        spawnBall(25.0f, 12.0f, 25.0f + (float)i * 0.01f, 0.0f, 0.0f, 0.0f);
    }
    ASSERT_EQ(ballCount, 500);
    Ball lastBall = balls[499];
    spawnBall(1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f);
    EXPECT_EQ(ballCount, 500);
    EXPECT_EQ(balls[499].position.z, lastBall.position.z);
    EXPECT_EQ(balls[499].velocity.x, 0.0f);
}

TEST_F(GameTest, SpawnFigureKeepsTheSlotsFeetAndResetsTheRest) {
    figures[0].footX[1] = 7.0f;
    figures[0].footPlanted[1] = true;
    figures[0].velocity = Vector3{1.0f, 1.0f, 1.0f};
    figures[0].yaw = 2.0f;
    figures[0].onGround = true;
    spawnFigure(20.0f, 11.0f, 22.0f);
    EXPECT_EQ(figures[0].kind, 1);
    EXPECT_EQ(figures[0].position.y, 11.0f);
    EXPECT_EQ(figures[0].velocity.x, 0.0f);
    EXPECT_EQ(figures[0].yaw, 0.0f);
    EXPECT_FALSE(figures[0].onGround);
    EXPECT_EQ(figures[0].footX[1], 7.0f);
    EXPECT_TRUE(figures[0].footPlanted[1]);
}

TEST_F(GameTest, DespawnIsStrictlyBeyondAHundredAndTheNextEntryStillMoves) {
    settlePlayer();
    const Vector3 p = player.position;
    // Balls: stuck at exactly 100, stuck at 100.001, then one flying near.
    spawnBall(p.x + 100.0f, p.y, p.z, 0.0f, 0.0f, 0.0f);
    spawnBall(p.x + 100.001f, p.y, p.z, 0.0f, 0.0f, 0.0f);
    spawnBall(p.x, p.y + 10.0f, p.z, 0.1f, 0.0f, 0.0f);
    // Enemies likewise (they all chase; only their turn's start counts).
    spawnFigure(p.x, p.y, p.z - 100.0f);
    spawnFigure(p.x, p.y, p.z - 100.001f);
    spawnFigure(p.x + 10.0f, p.y + 5.0f, p.z);
    step(1.0f);
    ASSERT_EQ(ballCount, 2);
    EXPECT_EQ(balls[0].position.x, p.x + 100.0f);
    EXPECT_NEAR(balls[1].position.x, p.x + 0.1f, 1e-6f);
    EXPECT_NEAR(balls[1].velocity.y, -0.01f, 1e-7f);
    ASSERT_EQ(figureCount, 2);
    EXPECT_NEAR(figures[0].position.x, p.x, 1e-5f);
    EXPECT_NEAR(figures[1].position.x, p.x + 10.0f - 0.005f, 1e-5f);
    EXPECT_NE(figures[1].yaw, 0.0f);

    // Walking away for good: a stuck ball left behind is gone.
    player.position.x += 250.0f;
    step(1.0f);
    EXPECT_EQ(ballCount, 0);
    EXPECT_EQ(figureCount, 0);
}

// Everything the update moves, compared field by field.
static void expectSameVector(Vector3 a, Vector3 b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
}

static void expectSameFigure(const Figure& a, const Figure& b) {
    expectSameVector(a.target, b.target);
    expectSameVector(a.position, b.position);
    expectSameVector(a.velocity, b.velocity);
    EXPECT_EQ(a.pitch, b.pitch);
    EXPECT_EQ(a.yaw, b.yaw);
    EXPECT_EQ(a.onGround, b.onGround);
    EXPECT_EQ(a.head.x, b.head.x);
    EXPECT_EQ(a.head.y, b.head.y);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(a.handX[i], b.handX[i]);
        EXPECT_EQ(a.handY[i], b.handY[i]);
        EXPECT_EQ(a.footX[i], b.footX[i]);
        EXPECT_EQ(a.footY[i], b.footY[i]);
        EXPECT_EQ(a.footPlanted[i], b.footPlanted[i]);
    }
}

struct Recorded {
    Figure player;
    Figure enemy;
    Ball ball;
    CameraPose view;
    CameraPose third;
    float settleProgress;
    float wavePhase;
    float water;
    float viewBlend;
};

static Recorded runScripted(bool slow, float factor) {
    freshWorld(TEST_SEED, true);
    slowMotion = slow;
    thirdPersonView = true;
    spawnFigure(30.0f, 12.0f, 27.0f);
    spawnBall(25.0f, 15.0f, 25.0f, 0.2f, 0.3f, -0.1f);
    mouseX = 700;
    mouseY = 300;
    pressKey(KEY_W);
    pressKey(KEY_A);
    for (int i = 0; i < 120; ++i) {
        if (i == 60) {
            pressKey(KEY_SPACE);
        }
        step(factor);
    }
    return Recorded{player,     figures[0],          balls[0],
                    viewCamera, thirdPersonCamera,   settleProgress,
                    wavePhase,  waterHeight[10][20], viewBlend};
}

TEST(SlowMotion, FactorOneInSlowMotionMovesExactlyAsAQuarter) {
    Recorded slow = runScripted(true, 1.0f);
    Recorded quarter = runScripted(false, 0.25f);
    expectSameFigure(slow.player, quarter.player);
    expectSameFigure(slow.enemy, quarter.enemy);
    EXPECT_EQ(slow.ball.position.x, quarter.ball.position.x);
    EXPECT_EQ(slow.ball.position.y, quarter.ball.position.y);
    EXPECT_EQ(slow.ball.velocity.y, quarter.ball.velocity.y);
    EXPECT_EQ(slow.view.position.x, quarter.view.position.x);
    EXPECT_EQ(slow.view.yaw, quarter.view.yaw);
    EXPECT_EQ(slow.third.pitch, quarter.third.pitch);
    EXPECT_EQ(slow.settleProgress, quarter.settleProgress);
    EXPECT_EQ(slow.wavePhase, quarter.wavePhase);
    EXPECT_EQ(slow.water, quarter.water);
    EXPECT_EQ(slow.viewBlend, quarter.viewBlend);
    // And it is really slower than the full rate.
    Recorded full = runScripted(false, 1.0f);
    EXPECT_NE(full.player.position.x, slow.player.position.x);
    EXPECT_NEAR(slow.wavePhase, 120 * 0.025f * 0.25f, 1e-4f);
}

// Where the block of column (25, 25) is: its level, negated while falling.
static int blockSignature() {
    // Below the generated block layer at level 24, above the bottom layer.
    for (int y = 23; y >= 1; --y) {
        if (blocks[25][y][25]) {
            return y;
        }
        if (fallingBlocks[25][y][25]) {
            return -y;
        }
    }
    return 0;
}

// The updates (counted from 1) at which a floating block's state changed.
static void settlingUpdates(float factor, int count, int* changes, int& changeCount) {
    changeCount = 0;
    int signature = blockSignature();
    for (int i = 1; i <= count; ++i) {
        step(factor);
        int now = blockSignature();
        if (now != signature) {
            changes[changeCount++] = i;
            signature = now;
        }
    }
}

TEST_F(GameTest, SettlingStepsEveryTenTicks) {
    // A block floating at level 20 with nothing under it.
    blocks[25][20][25] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
    player.position = Vector3{40.0f, 10.0f, 40.0f};

    int changes[16];
    int changeCount = 0;
    settlingUpdates(2.0f, 20, changes, changeCount);
    // At factor 2 one step every five updates: the block is lifted out at the
    // first step and drops a level at each following one.
    ASSERT_EQ(changeCount, 4);
    EXPECT_EQ(changes[0], 5);
    EXPECT_EQ(changes[1], 10);
    EXPECT_EQ(changes[2], 15);
    EXPECT_EQ(changes[3], 20);
    EXPECT_EQ(blockSignature(), -17);
    EXPECT_TRUE(blocksFalling);

    settlingUpdates(1.0f, 30, changes, changeCount);
    ASSERT_EQ(changeCount, 3);
    EXPECT_EQ(changes[0], 10);
    EXPECT_EQ(changes[1], 20);
    EXPECT_EQ(changes[2], 30);
    EXPECT_EQ(blockSignature(), -14);
}

TEST_F(GameTest, SettlingWaitsForTheRebuildAndMarksTheLandingPass) {
    // A block two levels above the floor's top level lands after a few steps.
    blocks[25][6][25] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
    player.position = Vector3{40.0f, 10.0f, 40.0f};
    // Without a rebuild in between, no step runs however long the clock runs.
    settleReady = false;
    for (int i = 0; i < 30; ++i) {
        updateGame(1.0f);
    }
    EXPECT_EQ(blockSignature(), 6);
    EXPECT_LT(settleProgress, 1.0f);

    // With the rebuilds: steps lift the block out and drop it to level 2, the
    // highest cell that reaches into the floor at 3.0, which holds it again.
    bool sawLanding = false;
    for (int i = 0; i < 200 && !sawLanding; ++i) {
        bool fallingBefore = blocksFalling;
        memset(chunkDirty, 0, sizeof chunkDirty);
        updateGame(1.0f);
        if (fallingBefore && !blocksFalling) {
            sawLanding = true;
            // The pass in which the last block lands still rebuilds.
            for (int c = 0; c < CHUNK_TOTAL; ++c) {
                EXPECT_EQ(chunkDirty[c], 1) << "chunk " << c;
            }
        }
        rebuildDirtyChunks();
    }
    ASSERT_TRUE(sawLanding);
    EXPECT_EQ(blockSignature(), 2);
    // With nothing falling, a settling step marks nothing.
    int dirty = 0;
    for (int i = 0; i < 10; ++i) {
        memset(chunkDirty, 0, sizeof chunkDirty);
        updateGame(1.0f);
        for (int c = 0; c < CHUNK_TOTAL; ++c) {
            dirty += chunkDirty[c];
        }
        rebuildDirtyChunks();
    }
    EXPECT_EQ(dirty, 0);
}

TEST_F(GameTest, NothingAdvancesWithoutAnUpdate) {
    useWater = true;
    spawnFigure(30.0f, 12.0f, 25.0f);
    spawnBall(25.0f, 15.0f, 25.0f, 0.1f, 0.0f, 0.0f);
    steps(7, 1.0f);
    Figure before = player;
    Vector3 enemy = figures[0].position;
    Vector3 ball = balls[0].position;
    float progress = settleProgress;
    float phase = wavePhase;
    // Frames while paused: input is polled and nothing else runs.
    for (int i = 0; i < 20; ++i) {
        promotePressedKeys();
        promotePressedButtons();
    }
    EXPECT_EQ(player.position.y, before.position.y);
    EXPECT_EQ(player.velocity.y, before.velocity.y);
    EXPECT_EQ(figures[0].position.x, enemy.x);
    EXPECT_EQ(balls[0].position.x, ball.x);
    EXPECT_EQ(settleProgress, progress);
    EXPECT_EQ(wavePhase, phase);
    // The next update carries on from there.
    step(1.0f);
    EXPECT_NE(balls[0].position.x, ball.x);
    EXPECT_NEAR(wavePhase, phase + 0.025f, 1e-6f);
    EXPECT_NEAR(settleProgress, progress + 0.1f, 1e-6f);
}
