// test_game.cpp: the game update driven headless with scripted input: the exact numbers of
// turning, the camera rig, the aim, motion, the actions, enemies and water, one rule a test.
#include <numeric>

#include "app/pointer_grab.h"
#include "game/pose.h"
#include "game_fixture.h"

namespace {

float terrainTotal() { // floors less ceilings: grows where the ground is raised
    const int n = WORLD_SIZE * WORLD_SIZE;
    const float *f = &floorHeight[0][0], *c = &ceilingHeight[0][0];
    return std::accumulate(f, f + n, 0.0f) - std::accumulate(c, c + n, 0.0f);
}

// A click as a person makes it: pressed one frame, held `held` more.
void click(int held) {
    mouseButtonState[MOUSE_LEFT] = Pressed;
    steps(1 + held, 1.0f);
    mouseButtonState[MOUSE_LEFT] = Up;
}

} // namespace

TEST_F(GameTest, PointerTurnsTheViewAndKeysStepTheAction) {
    // Offsets from the window's centre over its size turn 0.105 (yaw) and 0.075 (pitch) per unit
    // and f, pitch within 65 degrees; a pointer outside the window (in = 0) turns nothing.
    const struct {
        float w, h, x, y, in, f, pitch, yawStep, pitchAfter;
    } cases[] = {{1024, 768, 768, 384, 1, 1, 0, 0.02625f, 0},
                 {600, 900, 300, 675, 1, 2, 0.3f, 0, 0.3375f},
                 {1024, 768, 0, 0, 1, 1, -1.13f, -0.0525f, -1.134464f},
                 {1024, 768, 512, 767, 1, 1, 1.13f, 0, 1.134464f},
                 {1024, 768, 1000, 700, 0, 1, 0.5f, 0, 0.5f}};
    for (const auto& c : cases) {
        setWindow(c.w, c.h);
        mouseX = (int)c.x, mouseY = (int)c.y, mouseInWindow = c.in != 0;
        player.pitch = c.pitch, player.yaw = 0.0f;
        updatePlayerControls(c.f);
        EXPECT_NEAR(player.yaw, c.yawStep, 1e-6f) << c.x << "," << c.y;
        EXPECT_NEAR(player.pitch, c.pitchAfter, 1e-6f) << c.x << "," << c.y;
    }
    // Q steps back, E forward, through nine modes, and the right button switches the view, on the
    // press only.
    actionType = 0;
    const int presses[][4] = {{KEY_Q, Pressed, 8, 1},
                              {KEY_Q, Held, 8, 1},
                              {KEY_E, Pressed, 0, 0},
                              {KEY_E, Pressed, 1, 1}};
    for (const auto& p : presses) {
        keyState[KEY_Q] = keyState[KEY_E] = Up;
        keyState[p[0]] = mouseButtonState[MOUSE_RIGHT] = p[1];
        updatePlayerControls(0.0f);
        EXPECT_EQ(actionType, p[2]);
        EXPECT_EQ(thirdPersonView, p[3] == 1);
    }
    setWindow(1000.0f, 0.0f); // a window of no height, a factor that is no number
    step(NAN);
    step(1.0f);
    const Vector3 &p = player.position, &a = aimPoint, &v = viewCamera.position;
    EXPECT_TRUE(std::isfinite(p.x + p.y + p.z + a.x + a.y + a.z + v.x + v.y + v.z));
    setWindow(0.0f, 768.0f); // nor one of no width: the camera keeps a square's offsets
    EXPECT_EQ(safeAspectRatio(), 1.0f);
}

// At a non-zero pitch, in a wide and a tall window: the side and view blends move 0.1 f an update
// within 0..1; the third-person camera eases 0.1 f toward the first-person one and sits 5 behind
// the point 1 above the body along its view, 1.25 x aspect to the side; the view mixes the two.
TEST_F(GameTest, CameraRigEasesAndFollowsFromBehind) {
    for (float aspect : {4.0f / 3.0f, 0.5f}) {
        setWindow(1000.0f, 1000.0f / aspect);
        mouseX = 700; // the right band begins at 0.65 of the width
        cameraSide = thirdPersonView = true, cameraSideBlend = viewBlend = 0.0f;
        thirdPersonCamera.pitch = 0.2f, thirdPersonCamera.yaw = -1.0f;
        player.pitch = 0.6f, player.yaw = 0.7f;
        player.head = Vector3{25.3f, 11.0f, 24.8f};
        updateCameraRig(2.0f);
        const CameraPose &t = thirdPersonCamera, &v = viewCamera;
        EXPECT_NEAR(t.pitch, 0.28f, 1e-6f);
        EXPECT_NEAR(t.yaw, -1.0f + 0.2f * (1.7f - 1.570796f), 1e-6f);
        const Vector3& p = player.position;
        Vector3 o{t.position.x - p.x, t.position.y - p.y - 1.0f, t.position.z - p.z};
        float sy = std::sin(t.yaw), cy = std::cos(t.yaw); // ahead (sy, -cy), right (cy, sy)
        EXPECT_NEAR(o.y, 5.0f * std::sin(0.28f), 1e-5f);
        EXPECT_NEAR(o.x * sy - o.z * cy, -5.0f * std::cos(0.28f), 1e-5f);
        EXPECT_NEAR(o.x * cy + o.z * sy, -0.6f * 1.25f * aspect, 1e-5f);
        EXPECT_NEAR(v.pitch, 0.2f * t.pitch + 0.8f * 0.6f, 1e-6f);
        EXPECT_NEAR(v.position.y, 0.2f * t.position.y + 0.8f * 11.0f, 1e-5f);
        EXPECT_NEAR(v.position.x, 0.2f * t.position.x + 0.8f * 25.3f, 1e-5f);
        updateCameraRig(20.0f);
        EXPECT_EQ(cameraSideBlend, 1.0f);
        EXPECT_EQ(distance(v.position, t.position), 0.0f);
        mouseX = 340, thirdPersonView = false; // the left band ends at 0.35
        updateCameraRig(20.0f);
        EXPECT_EQ(cameraSideBlend, 0.0f);
        EXPECT_EQ(distance(v.position, player.head), 0.0f);
    }
}

// The centre of the window aims along the view axis; the top and bottom edges turn the ray up and
// down by half the field of view, the side edges sideways by half of it times the aspect ratio;
// with nothing in reach the aim lands 50 from the camera. Yaw pi/2 faces +x, pitch > 0 looks down.
TEST_F(GameTest, AimRayGoesThroughTheCameraAndAMissLandsFiftyAhead) {
    memset(blocks, 0, sizeof blocks);
    flatten(-1000.0f, 1000.0f);
    setWindow(1000.0f, 500.0f), fieldOfView = 40.0f;
    const struct {
        int x, y;
        float upDegrees, leftDegrees;
    } pointers[] = {{500, 250, 0, 0},
                    {500, 0, 20, 0},
                    {500, 500, -20, 0},
                    {0, 250, 0, 40},
                    {1000, 250, 0, -40}};
    for (float pitch : {0.0f, 0.5f, -0.9f}) {
        const float yaw = 2.0f * pitch + 1.0f, sp = std::sin(pitch), cp = std::cos(pitch);
        const Vector3 ahead{std::sin(yaw) * cp, -sp, -std::cos(yaw) * cp},
            up{std::sin(yaw) * sp, cp, -std::cos(yaw) * sp},
            left{-std::cos(yaw), 0, -std::sin(yaw)};
        viewCamera = CameraPose{Vector3{10.0f, 20.0f, 30.0f}, pitch, yaw, 0.0f};
        player.head = viewCamera.position;
        for (const auto& p : pointers) {
            mouseX = p.x, mouseY = p.y;
            castAimRay();
            const Vector3 d{aimPoint.x - 10.0f, aimPoint.y - 20.0f, aimPoint.z - 30.0f};
            auto along = [&](Vector3 axis) { return d.x * axis.x + d.y * axis.y + d.z * axis.z; };
            EXPECT_NEAR(distance(aimPoint, viewCamera.position), 50.0f, 1e-3f) << p.x << "," << p.y;
            EXPECT_NEAR(std::asin(along(up) / 50.0f) * 57.29578f, p.upDegrees, 1e-3f) << pitch;
            EXPECT_NEAR(std::atan2(along(left), along(ahead)) * 57.29578f, p.leftDegrees, 1e-3f)
                << pitch << " " << p.x << "," << p.y;
        }
    }
}

TEST_F(GameTest, AimIgnoresSurfacesNearerThanThreeQuartersOfTheHead) {
    // Camera 2 above and 10 behind the head: the ray starts 0.75 x sqrt(104) = 7.65 along, just
    // past a block face 7.5 along; with the head 6 ahead the face is aimed at. Facing -z and facing
    // +x, so the skip is checked along both axes.
    for (int facingX = 0; facingX < 2; ++facingX) {
        auto at = [&](float along, float y) {
            return facingX ? Vector3{15.5f + along, y, 25.5f} : Vector3{25.5f, y, 35.5f - along};
        };
        memset(blocks, 0, sizeof blocks);
        facingX ? fillBlocks(23, 23, 5, 20, 20, 30) : fillBlocks(20, 30, 5, 20, 27, 27);
        viewCamera = CameraPose{at(0.0f, 12.0f), 0.0f, facingX ? 1.5707964f : 0.0f, 0.0f};
        for (float headAlong : {10.0f, 6.0f}) {
            player.head = at(headAlong, headAlong > 7.0f ? 10.0f : 12.0f);
            castAimRay();
            float along = facingX ? aimPoint.x - 15.5f : 35.5f - aimPoint.z;
            EXPECT_TRUE(headAlong > 7.0f ? along > 8.0f : std::fabs(along - 7.5f) < 1e-4f)
                << facingX;
        }
    }
}

// Neck 1.25 above the position, shoulders 0.1 below it and 0.4 to each side, hands 1.95 toward
// the target (through it when nearer), stopped by a wall.
TEST_F(GameTest, HandsReachTowardTheTargetUnlessASurfaceStopsThem) {
    Figure f{};
    f.position = Vector3{25.0f, 10.0f, 25.0f};
    for (Vector3 t : {Vector3{25.0f, 20.0f, 29.0f}, Vector3{25.0f, 11.0f, 24.5f}}) {
        f.target = t;
        f.yaw = t.y > 15.0f ? 0.6f : 0.0f;
        poseFigureBody(f);
        poseFigureArms(f);
        EXPECT_NEAR(f.neck.y, 11.25f, 1e-5f);
        for (int i = 0; i < 2; ++i) { // the first shoulder a quarter turn past the yaw
            Vector3 s{f.shoulderX[i], f.shoulderY[i], f.shoulderZ[i]};
            float d = distance(t, s) / 1.95f, sx = s.x - 25.0f, sz = s.z - 25.0f;
            EXPECT_NEAR(sz * std::cos(f.yaw) - sx * std::sin(f.yaw), i == 0 ? 0.4f : -0.4f, 1e-5f);
            EXPECT_NEAR(distance(s, Vector3{25.0f, 11.15f, 25.0f}), 0.4f, 1e-5f);
            Vector3 want{s.x + (t.x - s.x) / d, s.y + (t.y - s.y) / d, s.z + (t.z - s.z) / d};
            EXPECT_NEAR(distance(Vector3{f.handX[i], f.handY[i], f.handZ[i]}, want), 0.0f, 1e-5f);
        }
    }
    fillBlocks(18, 23, 1, 20, 20, 30); // a wall 1 in front of the shoulders, the yaw 0 again
    f.target = Vector3{10.0f, f.neck.y - 0.1f, 25.0f};
    poseFigureArms(f);
    EXPECT_NEAR(f.handX[0], 24.0f, 1e-4f);
    EXPECT_NEAR(f.handX[1], 24.0f, 1e-4f);
}

TEST_F(GameTest, MotionLandsWalksJumpsAndStopsAtWalls) {
    settlePlayer();
    EXPECT_NEAR(player.position.y, FLOOR_Y + 1.25f, 1e-3f);
    EXPECT_TRUE(player.footPlanted[0] && player.footPlanted[1]);
    EXPECT_NEAR(player.footY[0], FLOOR_Y, 1e-3f);
    EXPECT_NEAR(player.footY[1], FLOOR_Y, 1e-3f);
    // Keys held for one update from rest at factor f: f x 0.015 added along the view, the same
    // along the diagonal, nothing when opposite keys cancel; 1 - 0.08 f of the step kept as speed
    // (slow motion damps less); standing gravity 0.0075 f, the body lifted back to the floor.
    const float c = std::sqrt(0.5f);
    const struct {
        int keys[2];
        float ahead, right, f;
    } walks[] = {{{KEY_W, KEY_W}, 1, 0, 0.25f},
                 {{KEY_UP, KEY_D}, c, c, 1},
                 {{KEY_A, KEY_RIGHT}, 0, 0, 1},
                 {{KEY_S, KEY_LEFT}, -c, -c, 2}};
    for (const auto& w : walks) {
        steps(200, 1.0f);
        float vx = std::sin(viewCamera.yaw), vz = -std::cos(viewCamera.yaw); // level, unit
        Vector3 start = player.position;
        keyState[w.keys[0]] = keyState[w.keys[1]] = Pressed;
        step(w.f);
        keyState[w.keys[0]] = keyState[w.keys[1]] = Up;
        // Right of a view (vx, vz) seen from above with y up is (-vz, vx).
        float dx = player.position.x - start.x, dz = player.position.z - start.z;
        EXPECT_NEAR(dx, 0.015f * w.f * w.f * (w.ahead * vx - w.right * vz), 1e-6f) << w.f;
        EXPECT_NEAR(dz, 0.015f * w.f * w.f * (w.ahead * vz + w.right * vx), 1e-6f) << w.f;
        EXPECT_NEAR(player.velocity.x, (1 - 0.08f * w.f) * dx / w.f, 2e-5f) << w.f;
        EXPECT_NEAR(player.velocity.z, (1 - 0.08f * w.f) * dz / w.f, 2e-5f) << w.f;
        EXPECT_NEAR(player.velocity.y, -0.0075f * w.f, 1e-5f) << w.f;
        EXPECT_NEAR(player.position.y, start.y, 1e-5f) << w.f;
    }
    // The jump: 0.75 at any factor, airborne gravity 0.02, only from the ground, again on landing.
    float y = player.position.y;
    keyState[KEY_SPACE] = Pressed;
    step(2.0f);
    EXPECT_NEAR(player.position.y - y, 1.5f, 1e-5f);
    EXPECT_NEAR(player.velocity.y, 0.82f * 0.75f - 0.04f, 1e-5f);
    int landed = -1, again = -1;
    for (int i = 0; i < 200 && again < 0; ++i) {
        bool wasOnGround = player.onGround;
        step(1.0f);
        landed = player.onGround && landed < 0 ? i : landed;
        again = wasOnGround && player.velocity.y > 0.5f ? i : again;
        EXPECT_TRUE(landed >= 0 || player.velocity.y < 0.75f);
    }
    EXPECT_EQ(again, landed + 1);
    keyState[KEY_SPACE] = Up;
    // Walking into a wall whose face is at x = 21 takes back what the body gains toward it;
    // released, a body comes to rest, also 10000 out.
    fillBlocks(18, 20, 1, 15, 15, 35);
    player.position = Vector3{22.75f, FLOOR_Y + 1.25f, 25.5f};
    keyState[KEY_W] = Pressed;
    steps(100, 1.0f);
    EXPECT_NEAR(player.position.x, 22.25f, 1e-3f);
    EXPECT_GT(player.velocity.x, -1e-4f);
    for (float offset : {0.0f, 10000.0f}) {
        player.position = Vector3{25.0f + offset, 6.0f, 25.0f - offset};
        keyState[KEY_W] = Held;
        steps(40, 1.0f);
        keyState[KEY_W] = Up;
        steps(400, 1.0f);
        Vector3 rest = player.position;
        steps(100, 1.0f);
        EXPECT_TRUE(player.position.x == rest.x && player.position.z == rest.z) << offset;
    }
}

// Each mode on its trigger, facing a wall whose face is at x = 21: a click held `held` frames more
// and what it changed: blocks, balls, enemies, the ground (up 1, down -1), slow motion after it,
// and the cell at the aim's height in column x (its value after, or -1 for none).
TEST_F(GameTest, EachModeActsAtTheAimOnItsTrigger) {
    fillBlocks(18, 20, 1, 15, 15, 35);
    player.position = Vector3{24.0f, 6.0f, 25.5f};
    settlePlayer();
    ASSERT_NEAR(aimPoint.x, 21.0f, 1e-3f);
    const int y = (int)std::floor(aimPoint.y), z = (int)std::floor(aimPoint.z);
    const struct {
        const char* rule;
        int mode, held, blocks, balls, enemies, ground, slow, x, value;
    } cases[] = {
        {"raise: not on a one-frame click", ActionRaiseGround, 0, 0, 0, 0, 0, 0, -1, 0},
        {"lower: not on a one-frame click", ActionLowerGround, 0, 0, 0, 0, 0, 0, -1, 0},
        {"remove: not on a one-frame click", ActionRemoveBlock, 0, 0, 0, 0, 0, 0, 20, 1},
        {"swing: not on a one-frame click", ActionSwing, 0, 0, 0, 0, 0, 0, -1, 0},
        {"fly: not on a one-frame click", ActionFly, 0, 0, 0, 0, 0, 0, -1, 0},
        {"raise while held", ActionRaiseGround, 3, 0, 0, 0, 1, 0, -1, 0},
        {"lower while held", ActionLowerGround, 3, 0, 0, 0, -1, 0, -1, 0},
        {"place: one block, in front of the face", ActionSpawnBlock, 3, 1, 0, 0, 0, 0, 21, 1},
        {"remove: a block behind the face an update", ActionRemoveBlock, 2, -2, 0, 0, 0, 0, 20, 0},
        {"throw: one ball a click", ActionShootBall, 3, 0, 1, 0, 0, 0, -1, 0},
        {"create: one enemy a click", ActionSpawnEnemy, 3, 0, 0, 1, 0, 0, -1, 0},
        {"slow motion: on at a press", ActionSlowMotion, 4, 0, 0, 0, 0, 1, -1, 0},
        {"slow motion: off at the next", ActionSlowMotion, 0, 0, 0, 0, 0, 0, -1, 0}};
    for (const auto& c : cases) {
        const int blocksBefore = countCells(blocks), balls = ballCount, enemies = figureCount;
        const float ground = terrainTotal();
        actionType = c.mode;
        click(c.held);
        const float raised = terrainTotal() - ground;
        EXPECT_EQ(countCells(blocks) - blocksBefore, c.blocks) << c.rule;
        EXPECT_EQ(ballCount - balls, c.balls) << c.rule;
        EXPECT_EQ(figureCount - enemies, c.enemies) << c.rule;
        EXPECT_EQ((raised > 0) - (raised < 0), c.ground) << c.rule;
        EXPECT_EQ(slowMotion, c.slow == 1) << c.rule;
        EXPECT_TRUE(c.x < 0 || blocks[c.x][y][z] == c.value) << c.rule;
        EXPECT_FALSE(player.swinging) << c.rule;
        EXPECT_FALSE(player.flying) << c.rule;
        step(1.0f);
    }
    const Ball hit = balls[0]; // thrown above, stopped on the face cell 20 left, and stays there
    EXPECT_NEAR(hit.position.x, 20.0f, 1e-4f);
    EXPECT_TRUE(hit.velocity.x == 0.0f && hit.velocity.y == 0.0f);
    actionType = ActionShootBall; // from hand 0 at 0.75 toward the aim, flown once
    click(0);
    ASSERT_EQ(ballCount, 2);
    Vector3 hand{player.handX[0], player.handY[0], player.handZ[0]};
    float length = distance(aimPoint, hand);
    EXPECT_NEAR(balls[1].position.x, hand.x + 0.75f * (aimPoint.x - hand.x) / length, 1e-4f);
    EXPECT_NEAR(balls[1].velocity.y, 0.75f * (aimPoint.y - hand.y) / length - 0.01f, 1e-4f);
    actionType = ActionSpawnEnemy; // 1.5 in front of the surface aimed at
    click(0);
    ASSERT_EQ(figureCount, 2);
    EXPECT_NEAR(distance(figures[1].position, aimPoint), 1.5f, 1e-2f);
    aimPoint = viewCamera.position; // aimed at the eye itself: no way to step back, none taken
    mouseButtonState[MOUSE_LEFT] = Pressed;
    applyPlayerAction(1.0f);
    EXPECT_EQ(distance(figures[2].position, aimPoint), 0.0f);
    mouseButtonState[MOUSE_LEFT] = Up;
    player.pitch = 0.9f; // looking down: a block placed on the floor stands on it
    step(1.0f);
    ASSERT_NEAR(aimPoint.y, FLOOR_Y, 1e-3f);
    Vector3 c = viewCamera.position;
    float d = distance(aimPoint, c);
    int px = wrapCell((int)std::floor(aimPoint.x - 0.25f * (aimPoint.x - c.x) / d));
    int pz = wrapCell((int)std::floor(aimPoint.z - 0.25f * (aimPoint.z - c.z) / d));
    actionType = ActionSpawnBlock;
    click(0);
    EXPECT_EQ(blocks[px][(int)FLOOR_Y][pz], 1);
    EXPECT_EQ(distance(balls[0].position, hit.position), 0.0f);
}

// Flight: held minus released in the same update is f x 0.025 toward the aim, a quarter of it in
// slow motion.
TEST_F(GameTest, FlightPushesTowardTheAimAtItsRate) {
    settlePlayer();
    actionType = ActionFly;
    player.pitch = -0.5f;
    for (bool slow : {false, true}) {
        slowMotion = slow;
        Figure before = player; // the cameras move on, but the aim is read after the update
        mouseButtonState[MOUSE_LEFT] = Up;
        updateGame(1.0f);
        Vector3 coasting = player.velocity;
        player = before;
        mouseButtonState[MOUSE_LEFT] = Held;
        updateGame(1.0f);
        Vector3 c = viewCamera.position;
        float f = (slow ? 0.25f : 1.0f) * 0.025f / distance(aimPoint, c);
        EXPECT_NEAR(player.velocity.x - coasting.x, f * (aimPoint.x - c.x), 1e-6f);
        EXPECT_NEAR(player.velocity.y - coasting.y, f * (aimPoint.y - c.y), 1e-6f);
    }
}

TEST(BlockCellRule, WrapsAndIgnoresCellsOutsideTheLevels) {
    memset(blocks, 0, sizeof blocks);
    const struct {
        Vector3 p;
        int value, changed, x, y, z;
    } cases[] = {
        {{-0.5f, 3.2f, 50.2f}, 1, 1, 49, 3, 0},   {{-0.1f, 3.9f, 100.9f}, 1, 0, 49, 3, 0},
        {{-50.5f, 3.0f, -49.5f}, 0, 1, 49, 3, 0}, {{10.0f, 35.0f, 10.0f}, 1, 0, 0, 0, 0},
        {{10.0f, -0.01f, 10.0f}, 1, 0, 0, 0, 0},  {{10.0f, 34.99f, 10.0f}, 1, 1, 10, 34, 10},
        {{10.0f, 0.0f, 10.0f}, 1, 1, 10, 0, 10},  {{1.0e12f, 5.5f, 10.5f}, 1, 1, 4, 5, 10},
        {{NAN, 5.0f, 5.0f}, 1, 0, 0, 0, 0},       {{5.0f, INFINITY, 5.0f}, 1, 0, 0, 0, 0}};
    int expectedCount = 0;
    for (const auto& c : cases) {
        memset(chunkDirty, 0, sizeof chunkDirty);
        EXPECT_EQ(setBlockAtPoint(c.p, (unsigned char)c.value), c.changed != 0) << c.p.y;
        if (c.changed) {
            EXPECT_EQ(blocks[c.x][c.y][c.z], c.value);
            EXPECT_EQ(chunkDirty[c.x / 5 * 10 + c.z / 5], 1);
            expectedCount += c.value ? 1 : -1;
        }
        EXPECT_EQ(countCells(blocks), expectedCount);
    }
}

TEST_F(GameTest, EnemiesChasePushAndReach) {
    // No time passing: two bodies nearer than 2.5 push each other by 0.05 x (2.5 - d) over the sum
    // of the offset's components, twice an update.
    const float k = (2.5f - std::sqrt(2.0f)) * 0.1f;
    const float pairs[][4] = {
        {27, 20, -0.1f, 0}, {26, 21, -k, -k}, {25, 20, 0, 0}, {27.5f, 20, 0, 0}};
    for (const auto& c : pairs) {
        figureCount = 0;
        spawnFigure(25.0f, 20.0f, 15.0f);
        spawnFigure(c[0], c[1], 15.0f);
        updateGame(0.0f);
        EXPECT_NEAR(figures[0].velocity.x, c[2], 1e-6f) << c[0];
        EXPECT_NEAR(figures[0].velocity.y, c[3], 1e-6f) << c[0];
        EXPECT_NEAR(figures[1].velocity.x + figures[0].velocity.x, 0.0f, 1e-6f) << c[0];
    }
    figureCount = 0; // beside the player, still at rest at (25, 10, 25): pushed once per update
    spawnFigure(25.0f, 10.0f, 27.0f);
    updateGame(0.0f);
    EXPECT_EQ(player.velocity.z, -0.05f);
    EXPECT_EQ(figures[0].velocity.z, 0.05f);
    figureCount = 0; // the chase: facing the player, 0.005 a tick toward it, closing in
    settlePlayer();
    spawnFigure(35.0f, 8.0f, 31.0f);
    Vector3 to{player.position.x - 35.0f, 0.0f, player.position.z - 31.0f};
    step(1.0f);
    float along = std::hypot(to.x, to.z);
    EXPECT_NEAR(-std::cos(figures[0].yaw) * to.x - std::sin(figures[0].yaw) * to.z, along, 1e-5f);
    EXPECT_NEAR(figures[0].velocity.x, 0.92f * 0.005f * to.x / along, 1e-5f);
    EXPECT_TRUE(figures[0].target.x == player.position.x &&
                figures[0].target.z == player.position.z);
    float start = distance(figures[0].position, player.position);
    steps(300, 1.0f);
    EXPECT_LT(distance(figures[0].position, player.position), start - 3.0f);
}

// Balls and enemies strictly beyond 100 units of the player are gone after an update.
TEST_F(GameTest, FarBallsAndEnemiesDespawn) {
    const Vector3 p = player.position;
    spawnBall(p.x, p.y, p.z - 100.001f, 0.0f, 0.0f, 0.0f); // the one after it moves up
    spawnBall(p.x + 100.0f, p.y, p.z, 0.0f, 0.0f, 0.0f);
    spawnFigure(p.x + 100.001f, p.y, p.z);
    step(1.0f);
    EXPECT_EQ(figureCount, 0);
    ASSERT_EQ(ballCount, 1);
    EXPECT_EQ(balls[0].position.x, p.x + 100.0f);
}

TEST(Water, KeyFramesBlendCyclicallyAndQuadsCoverTheWetCells) {
    freshWorld(TEST_SEED, true);
    memset(waterPhaseOffset, 0, sizeof waterPhaseOffset);
    for (int k = 0; k < 5; ++k) // frame k holds 10 k + 1 everywhere, the floor at 1
        for (int x = 0; x < WORLD_SIZE; ++x)
            for (int z = 0; z < WORLD_SIZE; ++z)
                waterFrames[k][x][z] = 10.0f * (float)k + 1.0f, floorHeight[x][z] = 1.0f;
    // Halfway between two frames; from frame 4 back to 0 at k = 2, past 5 from k = 3.
    waterPhaseOffset[3][4] = 2.5f;
    for (int k = 0; k < 5; ++k) {
        wavePhase = (float)k;
        animateWater(0.0f);
        EXPECT_EQ(waterHeight[0][0], 10.0f * (float)k + 1.0f) << k;
        EXPECT_FLOAT_EQ(waterHeight[3][4], 5.0f * (float)((k + 2) % 5 + (k + 3) % 5) + 1.0f) << k;
    }
    wavePhase = 4.98f;
    animateWater(1.0f); // past 5: wraps
    EXPECT_NEAR(wavePhase, 0.005f, 1e-5f);
    // One sample level with the water, at the world's corner: the four cells around it are wet, one
    // in each of the chunks meeting there, each a quad from its corners' water heights,
    // chunk-local, with the water tile.
    for (int x = 0; x < WORLD_SIZE; ++x)
        for (int z = 0; z < WORLD_SIZE; ++z)
            waterHeight[x][z] = 1.5f, floorHeight[x][z] = x + z == 0 ? 2.5f : 100.0f;
    waterHeight[0][0] = 2.5f;
    rebuildWaterMesh();
    for (int c = 0; c < CHUNK_TOTAL; ++c)
        EXPECT_EQ(waterMeshes[c].vertexCount, c == 0 || c == 9 || c == 90 || c == 99 ? 4 : 0) << c;
    ASSERT_EQ(waterMeshes[0].vertexCount * waterMeshes[99].vertexCount, 16) << "no quads to read";
    const float first[12] = {0, 1.5f, 1, 1, 1.5f, 1, 1, 1.5f, 0, 0, 2.5f, 0};
    const float last[12] = {4, 1.5f, 5, 5, 2.5f, 5, 5, 1.5f, 4, 4, 1.5f, 4};
    const float tile[8] = {0.8125f, 0.1875f, 0.9375f, 0.1875f, 0.9375f, 0.0625f, 0.8125f, 0.0625f};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(waterMeshes[0].positions[i], first[i]) << i;
        EXPECT_EQ(waterMeshes[99].positions[i], last[i]) << i;
    }
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(waterMeshes[99].texCoords[i], tile[i]) << i;
}

// With mouse look a motion turns the view 0.15 degrees a pixel times the sensitivity, the same at
// 60 and at 15 frames per second, pitch within 65 degrees, and the pointer's place turns nothing;
// the actions aim through the window's centre in both views.
TEST_F(GameTest, MouseLookTurnsByTheMotionAndAimsThroughTheCentre) {
    mouseLook = true;
    const struct {
        int dx, dy;
        float sensitivity;
        bool invert;
        float yawDegrees, pitchDegrees;
    } cases[] = {{100, 0, 1, false, 15, 0},
                 {-20, 40, 2.5f, false, -7.5f, 15},
                 {0, 40, 2.5f, true, 0, -15},
                 {0, 1000, 1, false, 0, 65},
                 {30, 1000, 1, true, 4.5f, -65}};
    for (const auto& c : cases) {
        mouseSensitivity = c.sensitivity, invertMouse = c.invert;
        float turned[2][2];
        for (int run = 0; run < 2; ++run) { // at 60, then 15 frames per second
            player.yaw = player.pitch = 0.0f;
            updatePointerGrab(true), beginPointerPoll(true), beginPointerPoll(true);
            addPointerMotion(c.dx, c.dy), step(run == 0 ? 1.0f : 4.0f);
            mouseX = mouseY = 0, step(1.0f);
            turned[run][0] = player.yaw, turned[run][1] = player.pitch;
        }
        EXPECT_TRUE(turned[0][0] == turned[1][0] && turned[0][1] == turned[1][1]) << c.dx;
        EXPECT_NEAR(turned[0][0], c.yawDegrees * 0.0174532925f, 1e-5f) << c.dx;
        EXPECT_NEAR(turned[0][1], c.pitchDegrees * 0.0174532925f, 1e-5f) << c.dy;
    }
    for (bool third : {false, true}) { // the aim point projects onto the window's centre
        thirdPersonView = third, mouseX = 3, mouseY = 700;
        centrePointerForMouseLook(true), steps(12, 1.0f);
        float projection[16], modelview[16];
        perspectiveMatrix(projection, fieldOfView, aspectRatio, 0.1f, 100.0f);
        cameraModelviewMatrix(modelview, viewCamera);
        double a[4] = {aimPoint.x, aimPoint.y, aimPoint.z, 1}, eye[4], v[4];
        applyMatrix(modelview, a, eye), applyMatrix(projection, eye, v);
        EXPECT_TRUE(std::fabs(v[0] / v[3]) < 1e-4 && std::fabs(v[1] / v[3]) < 1e-4) << third;
    }
    mouseLook = invertMouse = false, mouseSensitivity = 1.0f;
    updatePointerGrab(true);
}

// The rope catches the body where it is (its length is the distance at the catch), off to the side
// of the anchor ahead and above; the body gains speed as it swings down toward the point under the
// anchor and comes to rest there, still on the rope; changing the mode lets go.
TEST_F(GameTest, RopeCatchesWhereTheBodyIsAndTheSwingCalmsUnderTheAnchor) {
    player.position = Vector3{25.0f, 12.0f, 25.0f};
    player.pitch = -1.1344640f; // looking up at the block layer at level 24
    actionType = ActionSwing;
    mouseButtonState[MOUSE_LEFT] = Held;
    steps(2, 1.0f);
    ASSERT_TRUE(player.swinging);
    const Vector3 anchor = player.ropeAnchor;
    EXPECT_LT(distance(player.position, Vector3{25.0f, 12.0f, 25.0f}), 0.05f);
    EXPECT_GT(std::hypot(anchor.x - 25.0f, anchor.z - 25.0f), 4.0f);
    float speed = 0.0f, height = player.position.y;
    for (int i = 0; i < 10; ++i) {
        step(1.0f);
        const float now = std::hypot(player.velocity.x, player.velocity.y, player.velocity.z);
        EXPECT_GT(now, speed) << i;
        EXPECT_LT(player.position.y, height) << i;
        speed = now, height = player.position.y;
    }
    steps(600, 1.0f);
    EXPECT_LT(std::hypot(player.position.x - anchor.x, player.position.z - anchor.z), 0.05f);
    const Vector3 rest = player.position;
    step(1.0f);
    EXPECT_LT(distance(player.position, rest), 1e-3f);
    EXPECT_TRUE(player.swinging);
    keyState[KEY_E] = Pressed;
    step(1.0f);
    EXPECT_FALSE(player.swinging);
}

// Flying or on the rope a body never stands, however it presses on the floor, so Space held does
// not jump.
TEST_F(GameTest, FlyingOrSwingingBodiesNeverStandSoNeverJump) {
    for (int mode : {ActionFly, ActionSwing}) {
        settlePlayer();
        player.pitch = 0.8f; // the floor a few units ahead
        actionType = mode;
        mouseButtonState[MOUSE_LEFT] = Held;
        steps(5, 1.0f);
        keyState[KEY_SPACE] = Held;
        for (int i = 0; i < 30; ++i) {
            step(1.0f);
            EXPECT_FALSE(player.onGround) << mode << " " << i;
            ASSERT_LT(player.velocity.y, 0.5f) << mode << " jumped at " << i;
        }
        mouseButtonState[MOUSE_LEFT] = keyState[KEY_SPACE] = Up;
    }
}

// The rates in ticks at factor 1: a falling block drops a level every 10 ticks, in slow motion
// every 40; a body in the air gains 0.02 of downward speed a tick and keeps 0.92 of its horizontal
// and 0.91 of its vertical speed; flying it keeps 0.95 and falls not; on the rope it keeps 0.95 and
// gains 0.01 downward.
TEST_F(GameTest, RatesPerTickAreTheGamesNumbers) {
    const float settling[][4] = {
        {1, 0, 105, 10}, {2, 0, 52, 10}, {1, 1, 405, 10}, {0.5f, 1, 805, 10}};
    for (const auto& c : settling) {
        fallingBlocks[10][20][10] = 1, blocksFalling = true, slowMotion = c[1] == 1;
        settleProgress = 0.0f;
        steps((int)c[2], c[0]);
        EXPECT_EQ(fallingBlocks[10][20 - (int)c[3]][10], 1) << c[0] << " " << c[1];
        memset(fallingBlocks, 0, sizeof fallingBlocks), blocksFalling = slowMotion = false;
    }
    const struct {
        const char* body;
        bool flying, swinging;
        Vector3 before, after;
    } bodies[] = {{"sliding", false, false, {0.1f, 0, 0}, {0.092f, -0.02f, 0}},
                  {"rising", false, false, {0, 0.5f, 0}, {0, 0.435f, 0}},
                  {"flying", true, false, {0.1f, 0.2f, 0}, {0.095f, 0.19f, 0}},
                  {"on the rope", false, true, {0, 0, -0.1f}, {0, -0.0095f, -0.095f}}};
    for (const auto& b : bodies) {
        player.position = Vector3{25.0f, 15.0f, 25.0f};
        player.velocity = b.before, player.flying = b.flying, player.swinging = b.swinging;
        player.ropeAnchor = Vector3{25.0f, 24.0f, 25.0f}, player.ropeLength = 9.0f;
        step(1.0f);
        EXPECT_NEAR(player.velocity.x, b.after.x, 1e-4f) << b.body;
        EXPECT_NEAR(player.velocity.y, b.after.y, 1e-4f) << b.body;
        EXPECT_NEAR(player.velocity.z, b.after.z, 1e-4f) << b.body;
    }
}

// A full table refuses the next entry and keeps its count; a new enemy in a slot another stood in
// starts in the air.
TEST_F(GameTest, FullTablesRefuseTheNextEntryAndNewEnemiesStartInTheAir) {
    spawnFigure(30.0f, 10.0f, 25.0f);
    steps(100, 1.0f);
    ASSERT_TRUE(figures[0].onGround);
    removeFigure(0);
    spawnFigure(30.0f, 20.0f, 25.0f);
    EXPECT_FALSE(figures[0].onGround);
    for (int i = 0; i < 60; ++i)
        spawnFigure(20.0f, 10.0f, 20.0f + 0.1f * (float)i);
    EXPECT_EQ(figureCount, 50);
    EXPECT_EQ(figures[49].position.z, 20.0f + 0.1f * 48.0f);
    for (int i = 0; i < 501; ++i)
        spawnBall(25.0f, 20.0f, 0.01f * (float)i, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(ballCount, 500);
    EXPECT_EQ(balls[499].position.z, 0.01f * 499.0f);
}
