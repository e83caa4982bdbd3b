// test_actions.cpp: the left mouse button in each action mode: held and
// pressed triggers, the block cell rule, digging, the rope, flight and slow
// motion.
#include "game_fixture.h"

class ActionTest : public GameTest {
  protected:
    // A wall three blocks thick whose face is at x = 21, and the player
    // standing in front of it, facing it (yaw 0 faces -x).
    void SetUp() override {
        GameTest::SetUp();
        fillBlocks(18, 20, 1, 15, 15, 35);
        player.position = Vector3{24.0f, 6.0f, 25.5f};
        settlePlayer();
    }
    // A click as a person makes it: pressed for one frame, held for
    // heldFrames more, then released.
    void click(int heldFrames) {
        pressButton(MOUSE_LEFT);
        steps(1 + heldFrames, 1.0f);
        releaseButton(MOUSE_LEFT);
    }
};

static float heightSum() {
    float sum = 0.0f;
    for (int x = 0; x < WORLD_SIZE; ++x) {
        for (int z = 0; z < WORLD_SIZE; ++z) {
            sum += floorHeight[x][z] + ceilingHeight[x][z];
        }
    }
    return sum;
}

TEST_F(ActionTest, OneFrameClickInAHeldModeDoesNothing) {
    int blockCount = countBlocks();
    float heights = heightSum();
    for (int mode : {0, 1, 3, 4, 8}) {
        actionType = mode;
        Vector3 velocity = player.velocity;
        click(0);
        EXPECT_EQ(countBlocks(), blockCount) << "mode " << mode;
        EXPECT_EQ(heightSum(), heights) << "mode " << mode;
        EXPECT_FALSE(player.swinging);
        EXPECT_FALSE(player.flying);
        EXPECT_NEAR(player.velocity.x, velocity.x, 1e-6f);
        EXPECT_NEAR(player.velocity.y, velocity.y, 1e-6f);
        step(1.0f);
    }
    // Held one frame longer, the same modes act.
    actionType = 3;
    click(1);
    EXPECT_EQ(countBlocks(), blockCount - 1);
    actionType = 0;
    click(1);
    EXPECT_NE(heightSum(), heights);
}

TEST_F(ActionTest, PlacesInFrontOfTheFaceAndRemovesBehindIt) {
    int blockCount = countBlocks();
    step(1.0f);
    ASSERT_NEAR(aimPoint.x, 21.0f, 1e-3f);
    int y = (int)std::floor(aimPoint.y);
    int z = (int)std::floor(aimPoint.z);
    actionType = 2;
    click(3); // pressed once, then held: only the press places
    EXPECT_EQ(blocks[21][y][z], 1);
    EXPECT_EQ(countBlocks(), blockCount + 1);
    step(1.0f);
    // The aim now stops at the new block's face.
    ASSERT_NEAR(aimPoint.x, 22.0f, 1e-3f);
    // A press on the same spot places the next block in front of that one.
    click(0);
    EXPECT_EQ(blocks[22][y][z], 1);

    // Removing takes the block behind the face aimed at, one per held update.
    actionType = 3;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_EQ(countBlocks(), blockCount + 2); // the press itself does nothing
    const int expectedCells[5] = {22, 21, 20, 19, 18};
    for (int cell : expectedCells) {
        step(1.0f);
        EXPECT_EQ(blocks[cell][y][z], 0) << "cell " << cell;
    }
    // Five held updates dug five blocks: the two placed and the wall through.
    EXPECT_EQ(countBlocks(), blockCount - 3);
    releaseButton(MOUSE_LEFT);
}

TEST(BlockCellRule, WrapsXAndZAndIgnoresCellsOutsideTheLevels) {
    memset(blocks, 0, sizeof blocks);
    memset(chunkDirty, 0, sizeof chunkDirty);
    EXPECT_TRUE(setBlockAtPoint(Vector3{-0.5f, 3.2f, 50.2f}, 1));
    EXPECT_EQ(blocks[49][3][0], 1);
    EXPECT_EQ(chunkDirty[0], 1);
    EXPECT_EQ(chunkDirty[99], 1);
    // Already set: unchanged, and nothing is marked.
    memset(chunkDirty, 0, sizeof chunkDirty);
    EXPECT_FALSE(setBlockAtPoint(Vector3{-0.1f, 3.9f, 100.9f}, 1));
    EXPECT_EQ(chunkDirty[94], 0);
    EXPECT_TRUE(setBlockAtPoint(Vector3{-50.5f, 3.0f, -49.5f}, 0));
    EXPECT_EQ(blocks[49][3][0], 0);
    // Levels 0..34 only.
    EXPECT_FALSE(setBlockAtPoint(Vector3{10.0f, 35.0f, 10.0f}, 1));
    EXPECT_FALSE(setBlockAtPoint(Vector3{10.0f, -0.01f, 10.0f}, 1));
    EXPECT_TRUE(setBlockAtPoint(Vector3{10.0f, 34.99f, 10.0f}, 1));
    EXPECT_EQ(blocks[10][34][10], 1);
    EXPECT_TRUE(setBlockAtPoint(Vector3{10.0f, 0.0f, 10.0f}, 1));
    EXPECT_EQ(blocks[10][0][10], 1);
    // Far along the endless world, and nonsense, without overflow.
    // 1.0e12 as a float is 999999995904, which is 4 modulo 50.
    EXPECT_TRUE(setBlockAtPoint(Vector3{1.0e12f, 5.5f, 10.5f}, 1));
    EXPECT_EQ(blocks[4][5][10], 1);
    EXPECT_FALSE(setBlockAtPoint(Vector3{NAN, 5.0f, 5.0f}, 1));
    EXPECT_FALSE(setBlockAtPoint(Vector3{5.0f, INFINITY, 5.0f}, 1));
}

TEST_F(GameTest, PlacingAcrossTheWrapSeam) {
    // Standing near x = 1 and looking down and back toward -x: the aim lands
    // on the floor beyond the seam, whose cells are x = 49 and below.
    player.position = Vector3{1.5f, 6.0f, 25.5f};
    settlePlayer();
    player.pitch = 0.9f;
    step(1.0f);
    ASSERT_LT(aimPoint.x, 0.0f);
    ASSERT_NEAR(aimPoint.y, FLOOR_Y, 1e-3f);
    Vector3 c = viewCamera.position;
    float length = distance(aimPoint, c);
    Vector3 p{aimPoint.x - (aimPoint.x - c.x) / length * 0.25f,
              aimPoint.y - (aimPoint.y - c.y) / length * 0.25f,
              aimPoint.z - (aimPoint.z - c.z) / length * 0.25f};
    int x = (int)std::floor(p.x) + 50;
    int y = (int)std::floor(p.y);
    int z = (int)std::floor(p.z);
    ASSERT_EQ(blocks[x][y][z], 0);
    settleProgress = 0.0f; // no settling step may take the new block away yet
    actionType = 2;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_EQ(blocks[x][y][z], 1);
    EXPECT_EQ(y, 3);
}

TEST_F(GameTest, RopeKeepsItsLengthAndLetsGo) {
    // Looking up while falling from (25, 10, 25): the aim meets the underside
    // of the generated block layer at level 24.
    player.pitch = -1.1344640f;
    actionType = 4;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_FALSE(player.swinging);
    step(1.0f);
    ASSERT_TRUE(player.swinging);
    EXPECT_NEAR(player.ropeAnchor.y, 24.0f, 1e-3f);
    float length = player.ropeLength;
    EXPECT_NEAR(length, distance(player.ropeAnchor, player.position), 1e-5f);
    Vector3 anchor = player.ropeAnchor;
    // Turning while holding does not move the anchor; the body swings at the
    // rope's length, held out against gravity.
    mouseX = (int)TEST_WIDTH;
    for (int i = 0; i < 100; ++i) {
        step(1.0f);
        ASSERT_TRUE(player.swinging);
        EXPECT_EQ(player.ropeLength, length);
        EXPECT_EQ(player.ropeAnchor.x, anchor.x);
        EXPECT_NEAR(distance(player.position, anchor), length, 1e-3f);
        EXPECT_FALSE(player.onGround);
    }
    mouseX = (int)(TEST_WIDTH / 2);
    releaseButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_FALSE(player.swinging);

    // A new rope, then a mode change while holding lets go as well.
    pressButton(MOUSE_LEFT);
    steps(3, 1.0f);
    ASSERT_TRUE(player.swinging);
    EXPECT_NE(player.ropeAnchor.x, anchor.x);
    pressKey(KEY_E);
    step(1.0f);
    EXPECT_EQ(actionType, 5);
    EXPECT_FALSE(player.swinging);
}

TEST_F(GameTest, FlightThrustIsHeldAndScaledBySlowMotion) {
    settlePlayer();
    player.pitch = -0.5f;
    actionType = 8;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_FALSE(player.flying);
    // Two runs of the same update from the same state, button held and
    // released: the difference is the thrust alone.
    for (bool slow : {false, true}) {
        slowMotion = slow;
        Figure before = player;
        CameraPose third = thirdPersonCamera;
        CameraPose view = viewCamera;
        CameraPose first = firstPersonCamera;
        float progress = settleProgress;
        mouseButtonState[MOUSE_LEFT] = Up;
        updateGame(1.0f);
        Vector3 coasting = player.velocity;
        EXPECT_FALSE(player.flying);
        player = before;
        thirdPersonCamera = third;
        viewCamera = view;
        firstPersonCamera = first;
        settleProgress = progress;
        mouseButtonState[MOUSE_LEFT] = Held;
        updateGame(1.0f);
        EXPECT_TRUE(player.flying);
        Vector3 n = viewDirection(viewCamera);
        float f = slow ? 0.25f : 1.0f;
        EXPECT_NEAR(player.velocity.x - coasting.x, f * 0.025f * n.x, 1e-6f);
        EXPECT_NEAR(player.velocity.y - coasting.y, f * 0.025f * n.y, 1e-6f);
        EXPECT_NEAR(player.velocity.z - coasting.z, f * 0.025f * n.z, 1e-6f);
        rebuildDirtyChunks();
    }
    // Held on, the player rises toward the aim with no gravity.
    slowMotion = false;
    float startY = player.position.y;
    steps(60, 1.0f);
    EXPECT_GT(player.position.y, startY + 1.0f);
    releaseButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_FALSE(player.flying);
}

TEST_F(GameTest, SlowMotionFlipsOnEachPress) {
    actionType = 6;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_TRUE(slowMotion);
    steps(5, 1.0f); // held: no further flips
    EXPECT_TRUE(slowMotion);
    releaseButton(MOUSE_LEFT);
    step(1.0f);
    pressButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_FALSE(slowMotion);
}

TEST_F(GameTest, BallsAndEnemiesComeFromTheAim) {
    settlePlayer();
    actionType = 5;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    ASSERT_EQ(ballCount, 1);
    // Launched from hand 0 at 0.75 toward the aim, and flown once already.
    Vector3 hand{player.handX[0], player.handY[0], player.handZ[0]};
    float length = distance(aimPoint, hand);
    EXPECT_NEAR(balls[0].position.x, hand.x + 0.75f * (aimPoint.x - hand.x) / length, 1e-4f);
    EXPECT_NEAR(balls[0].velocity.y, 0.75f * (aimPoint.y - hand.y) / length - 0.01f, 1e-4f);
    EXPECT_NEAR(
        distance(hand, Vector3{player.shoulderX[0], player.shoulderY[0], player.shoulderZ[0]}),
        1.95f, 1e-4f);
    releaseButton(MOUSE_LEFT);
    step(1.0f);

    actionType = 7;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    ASSERT_EQ(figureCount, 1);
    EXPECT_EQ(figures[0].kind, 1);
    // 1.5 in front of the surface aimed at (it has not moved yet).
    EXPECT_NEAR(distance(figures[0].position, aimPoint), 1.5f, 1e-3f);
}

TEST_F(GameTest, PlacingWithNoSurfaceAlongTheAimUsesTheFarEnd) {
    settlePlayer();
    step(1.0f);
    // Level through the walls' opening: nothing within 50 units.
    ASSERT_NEAR(distance(aimPoint, viewCamera.position), 50.0f, 1e-3f);
    Vector3 view = viewDirection(viewCamera);
    Vector3 p{aimPoint.x - 0.25f * view.x, aimPoint.y - 0.25f * view.y,
              aimPoint.z - 0.25f * view.z};
    int x = wrapCell((int)std::floor(p.x));
    int y = (int)std::floor(p.y);
    int z = wrapCell((int)std::floor(p.z));
    ASSERT_EQ(blocks[x][y][z], 0);
    settleProgress = 0.0f;
    actionType = 2;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_EQ(blocks[x][y][z], 1);
}

// The floor's total height, to measure what one brush update did.
static double floorTotal() {
    double total = 0.0;
    for (int x = 0; x < WORLD_SIZE; ++x) {
        for (int z = 0; z < WORLD_SIZE; ++z) {
            total += floorHeight[x][z];
        }
    }
    return total;
}

TEST_F(GameTest, HeldShapingWorksAQuarterAsFastInSlowMotion) {
    settlePlayer();
    player.pitch = 0.8f; // looking at the floor a few units ahead
    step(1.0f);
    ASSERT_NEAR(aimPoint.y, FLOOR_Y, 1e-3f);
    pressButton(MOUSE_LEFT);
    step(1.0f); // the press itself does nothing
    double changes[2] = {0.0, 0.0};
    for (int slow = 0; slow < 2; ++slow) {
        slowMotion = slow == 1;
        double before = floorTotal();
        step(1.0f); // held: raise the ground around the aim
        changes[slow] = floorTotal() - before;
        // The chunks under the brush are rebuilt, so the next aim sees it.
    }
    EXPECT_GT(changes[0], 0.1);
    EXPECT_NEAR(changes[1] / changes[0], 0.25, 0.02);
    // Lowering takes it back down.
    actionType = 1;
    slowMotion = false;
    double before = floorTotal();
    step(1.0f);
    EXPECT_LT(floorTotal(), before);
}
