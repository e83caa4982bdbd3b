// test_game.cpp: the game update, driven headless with scripted input. One
// long scripted run checks every update against short oracles of the rules
// (turning, camera rig, aim ray, pose, clocks, water); the exact numbers of
// motion, actions, enemies, balls and settling are checked one rule a test.
#include <algorithm>
#include <new>
#include <vector>

#include "game_fixture.h"
#include "render/pose.h"

namespace {

// A generator of our own, so no script depends on rand().
unsigned int scriptState = 12345u;
unsigned int nextRandom() {
    scriptState = scriptState * 1664525u + 1013904223u;
    return scriptState >> 8;
}
float randomUnit() {
    return (float)(nextRandom() % 10000) / 10000.0f;
}

void setWindow(float width, float height) {
    screenWidth = width;
    screenHeight = height;
    aspectRatio = width / height;
}

// The far end of the aim ray, its formula written out again here, products
// taken left to right.
Vector3 aimFarPoint() {
    float u = ((float)mouseY - 0.5f * screenHeight) / screenHeight * fieldOfView * 0.0174532925f;
    float v = -((float)mouseX - 0.5f * screenWidth) / screenWidth * fieldOfView * aspectRatio *
              0.0174532925f;
    float x = 0.0f, y = -50.0f * std::sin(u), z = -50.0f * std::cos(u);
    float x1 = x * std::cos(v) + z * std::sin(v), z1 = z * std::cos(v) - x * std::sin(v);
    float P = viewCamera.pitch, Y = -viewCamera.yaw;
    float y2 = y * std::cos(P) + z1 * std::sin(P), z2 = z1 * std::cos(P) - y * std::sin(P);
    float x3 = x1 * std::cos(Y) + z2 * std::sin(Y), z3 = z2 * std::cos(Y) - x1 * std::sin(Y);
    const Vector3& c = viewCamera.position;
    return Vector3{c.x + x3, c.y + y2, c.z + z3};
}

float clampUnit(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// Reports the first broken rule only, with the update it broke in.
struct Checker {
    int update = 0;
    bool ok = true;
    void near(float got, float want, float tolerance, const char* what) {
        if (ok && !(std::fabs(got - want) <= tolerance)) {
            ADD_FAILURE() << what << " after update " << update << ": " << got << ", not " << want;
            ok = false;
        }
    }
    void that(bool condition, const char* what) { near(condition ? 0.0f : 1.0f, 0.0f, 0.0f, what); }
};

// The body pose of a figure against its rule.
void checkBodyPose(Checker& check, const Figure& f) {
    const Vector3& p = f.position;
    check.near(f.neck.y, p.y + 1.25f, 1e-5f, "neck");
    float a = f.pitch + 1.570796325f;
    check.near(f.head.x, p.x + 0.4f * std::cos(a) * std::cos(f.yaw), 1e-4f, "head x");
    check.near(f.head.y, p.y + 1.25f + 0.4f * std::sin(a), 1e-4f, "head y");
    check.near(f.head.z, p.z + 0.4f * std::cos(a) * std::sin(f.yaw), 1e-4f, "head z");
    check.near(f.hipCentre.y, p.y + 0.25f, 1e-5f, "hip centre");
    for (int i = 0; i < 2; ++i) {
        float side = f.yaw + (i == 0 ? 1.570796325f : -1.570796325f);
        check.near(f.hipX[i], p.x + 0.4f * std::cos(side), 1e-4f, "hip x");
        check.near(f.hipY[i], p.y + 0.15f, 1e-5f, "hip y");
        check.near(f.hipZ[i], p.z + 0.4f * std::sin(side), 1e-4f, "hip z");
        check.near(f.shoulderX[i], p.x + 0.4f * std::cos(side), 1e-4f, "shoulder x");
        check.near(f.shoulderY[i], p.y + 1.15f, 1e-5f, "shoulder y");
        float reach = distance(Vector3{f.handX[i], f.handY[i], f.handZ[i]},
                               Vector3{f.shoulderX[i], f.shoulderY[i], f.shoulderZ[i]});
        check.that(reach <= 1.95f + 1e-4f, "a hand reaches at most 1.95");
    }
}

} // namespace

// Thousands of updates with wandering pointer, keys, both buttons, every
// action mode, enemies, balls, falling blocks, water, wide and tall windows.
TEST_F(GameTest, ScriptedPlayFollowsTheRulesEveryUpdate) {
    scriptState = 12345u;
    freshWorld(TEST_SEED, true);
    fillBlocks(18, 20, 1, 12, 15, 35);
    bool modeActed[ACTION_TYPE_COUNT] = {};
    int heldFor = 0, maxEnemies = 0, maxBalls = 0, thirdPersonUpdates = 0;
    bool sawFalling = false;
    Checker check;
    for (int update = 0; update < 2500 && check.ok; ++update) {
        check.update = update;
        if (update % 500 == 0) { // wide, then tall, then wide ...
            bool tall = update % 1000 == 500;
            setWindow(tall ? 600.0f : 1024.0f, tall ? 900.0f : 768.0f);
        }
        for (int key : {KEY_W, KEY_A, KEY_S, KEY_D, KEY_SPACE}) {
            if (nextRandom() % 30 == 0)
                keyState[key] = keyState[key] == Up ? Pressed : Up;
        }
        keyState[KEY_E] = keyState[KEY_Q] = Up;
        if (nextRandom() % 45 == 0)
            keyState[nextRandom() % 2 ? KEY_E : KEY_Q] = Pressed;
        int w = (int)screenWidth, h = (int)screenHeight;
        mouseX = std::min(std::max(mouseX + (int)(nextRandom() % 61) - 30, -20), w + 20);
        mouseY = std::min(std::max(mouseY + (int)(nextRandom() % 41) - 20, 0), h - 1);
        mouseInWindow = mouseX >= 0 && mouseX < w;
        if (nextRandom() % 150 == 0)
            pressButton(MOUSE_RIGHT);
        if (mouseButtonState[MOUSE_LEFT] == Up && nextRandom() % 6 == 0) {
            pressButton(MOUSE_LEFT);
            heldFor = 0;
        } else if (mouseButtonState[MOUSE_LEFT] != Up) {
            if (++heldFor > 1)
                modeActed[actionType] = true;
            if (nextRandom() % 25 == 0)
                releaseButton(MOUSE_LEFT);
        }
        const Vector3& p = player.position;
        if (nextRandom() % 5 == 0) {
            spawnBall(p.x, p.y + 2.0f, p.z, randomUnit() - 0.5f, randomUnit(), randomUnit() - 0.5f);
        }
        if (nextRandom() % 40 == 0) {
            spawnFigure(p.x + 4.0f * (randomUnit() - 0.5f), p.y + 1.0f,
                        p.z + 4.0f * (randomUnit() - 0.5f));
        }
        if (nextRandom() % 150 == 0) {
            blocks[nextRandom() % 50][15 + nextRandom() % 8][nextRandom() % 50] = 1;
            markAllChunksDirty();
        }
        float factor = nextRandom() % 10 == 0 ? 2.0f : 0.96f + randomUnit() * 0.5f;

        // What the rules need from before the update.
        const float f = factor * (slowMotion ? 0.25f : 1.0f);
        const bool viewToggled = mouseButtonState[MOUSE_RIGHT] == Pressed;
        const bool clicked = mouseButtonState[MOUSE_LEFT] == Pressed;
        const bool third = thirdPersonView != viewToggled;
        const CameraPose tp = thirdPersonCamera;
        const float yaw = player.yaw, pitch = player.pitch;
        const float sideBlend = cameraSideBlend, blend = viewBlend;
        const float progress = settleProgress, phase = wavePhase;
        const int mode =
            (actionType + (keyState[KEY_E] == Pressed) - (keyState[KEY_Q] == Pressed) + 9) % 9;
        const Figure before = player;
        bool side = cameraSide;
        if (mouseInWindow && (float)mouseX < 0.35f * screenWidth)
            side = false;
        if (mouseInWindow && (float)mouseX > 0.65f * screenWidth)
            side = true;
        float dx = mouseInWindow ? ((float)mouseX - 0.5f * screenWidth) / screenWidth : 0.0f;
        float dy = mouseInWindow ? ((float)mouseY - 0.5f * screenHeight) / screenHeight : 0.0f;

        step(factor);

        check.near((float)actionType, (float)mode, 0.0f, "action stepped by Q and E");
        // Turning: by where the pointer rests, pitch held within 65 degrees.
        check.near(player.yaw, yaw + f * dx * 0.105f, 1e-4f * std::max(1.0f, std::fabs(yaw)),
                   "yaw");
        float wantPitch = std::min(std::max(pitch + f * dy * 0.075f, -1.1344640f), 1.1344640f);
        check.near(player.pitch, wantPitch, 1e-5f, "pitch");
        // The camera rig.
        float J = 0.1f * f;
        check.that(cameraSide == side, "camera side");
        check.near(cameraSideBlend, clampUnit(sideBlend + (side ? J : -J)), 1e-6f, "side blend");
        check.that(thirdPersonView == third, "view toggle");
        check.near(viewBlend, clampUnit(blend + (third ? J : -J)), 1e-6f, "view blend");
        const CameraPose& fp = firstPersonCamera;
        check.that(fp.position.x == player.head.x && fp.position.y == player.head.y &&
                       fp.position.z == player.head.z && fp.pitch == player.pitch,
                   "first person at the head");
        check.near(fp.yaw, player.yaw - 1.570796325f, 1e-6f * std::max(1.0f, std::fabs(yaw)),
                   "first-person yaw");
        float P = tp.pitch + f * 0.1f * (fp.pitch - tp.pitch);
        float Y = tp.yaw + f * 0.1f * (fp.yaw - tp.yaw);
        check.near(thirdPersonCamera.pitch, P, 1e-5f, "third-person pitch");
        check.near(thirdPersonCamera.yaw, Y, 1e-4f * std::max(1.0f, std::fabs(Y)),
                   "third-person yaw");
        float lateral = (2.0f * cameraSideBlend - 1.0f) * 1.25f * aspectRatio;
        float back = 5.0f * std::cos(P);
        Vector3 want{p.x + lateral * std::cos(Y) - back * std::cos(Y - 1.570796325f),
                     p.y + 1.0f + 5.0f * std::sin(P),
                     p.z + lateral * std::sin(Y) - back * std::sin(Y - 1.570796325f)};
        check.that(distance(thirdPersonCamera.position, want) < 1e-3f, "third-person position");
        const CameraPose& tn = thirdPersonCamera;
        float b = viewBlend;
        check.near(viewCamera.pitch, b * tn.pitch + (1 - b) * fp.pitch, 1e-5f, "view pitch");
        check.near(viewCamera.position.y, b * tn.position.y + (1 - b) * fp.position.y, 1e-4f,
                   "view height");
        check.near(viewCamera.position.x, b * tn.position.x + (1 - b) * fp.position.x, 1e-3f,
                   "view x");
        thirdPersonUpdates += viewBlend == 1.0f && std::fabs(viewCamera.pitch) > 0.2f;
        // The aim: the far end of the ray, or the first surface on it beyond
        // three quarters of the camera-to-head distance.
        Vector3 c = viewCamera.position, far = aimFarPoint();
        float along = distance(aimPoint, c);
        if (aimPoint.x != far.x || aimPoint.y != far.y || aimPoint.z != far.z) {
            Vector3 onRay{c.x + (far.x - c.x) * along / 50.0f, c.y + (far.y - c.y) * along / 50.0f,
                          c.z + (far.z - c.z) * along / 50.0f};
            check.that(along < 50.0f && distance(aimPoint, onRay) < 2e-3f, "aim on the ray");
            check.that(along >= 0.75f * distance(player.head, c) - 1e-3f, "aim beyond the skip");
        }
        // Bodies: the pose rule, enemies reaching for the player.
        checkBodyPose(check, player);
        // A foot stays put while within 1.99 of its hip, else it is put down
        // under the hip, planted when a surface stopped it short of 1.99.
        for (int i = 0; i < 2; ++i) {
            Vector3 hip{player.hipX[i], player.hipY[i], player.hipZ[i]};
            Vector3 foot{player.footX[i], player.footY[i], player.footZ[i]};
            if (foot.x == before.footX[i] && foot.y == before.footY[i] &&
                foot.z == before.footZ[i]) {
                check.that(player.footPlanted[i] && distance(hip, foot) < 1.99f, "a foot stays");
            } else {
                bool atFullLength = std::fabs(foot.y - hip.y + 1.99f) < 1e-3f;
                check.that(distance(foot, Vector3{hip.x, foot.y, hip.z}) < 1e-4f &&
                               foot.y >= hip.y - 1.99f && (atFullLength || player.footPlanted[i]),
                           "a foot steps under its hip");
            }
        }
        // An enemy created by this update's click comes after the enemy pass.
        int posed = figureCount - (clicked && actionType == ActionSpawnEnemy ? 1 : 0);
        for (int i = 0; i < posed; ++i) {
            const Figure& e = figures[i];
            checkBodyPose(check, e);
            check.that(e.kind == 1 && !e.flying && !e.swinging && e.pitch == 0.0f, "enemy");
            check.that(e.target.x == player.position.x && e.target.z == player.position.z,
                       "enemy target");
            check.that(distance(e.position, player.position) <= 101.0f && finite(e.velocity),
                       "enemy near and finite");
        }
        for (int i = 0; i < ballCount; ++i) {
            check.that(balls[i].kind == 0 && finite(balls[i].position), "ball");
        }
        check.that(!player.flying || actionType == ActionFly, "flying only in mode 8");
        check.that(!player.swinging || actionType == ActionSwing, "swinging only in mode 4");
        check.that(finite(player.velocity) && finite(aimPoint), "player finite");
        // The clocks and the water.
        float wantProgress = progress + 0.1f * f;
        check.near(settleProgress, wantProgress - std::floor(wantProgress), 1e-5f, "settle clock");
        float wantPhase = phase + 0.025f * f;
        check.near(wavePhase, wantPhase >= 5.0f ? wantPhase - 5.0f : wantPhase, 1e-5f, "wave");
        int x = (int)(nextRandom() % 50), z = (int)(nextRandom() % 50);
        float t = waterPhaseOffset[x][z] + wavePhase;
        while (t >= 5.0f)
            t -= 5.0f;
        int k = (int)t;
        float wave =
            (1 - (t - k)) * waterFrames[k][x][z] + (t - k) * waterFrames[(k + 1) % 5][x][z];
        check.near(waterHeight[x][z], wave, 1e-4f, "water height");
        sawFalling = sawFalling || blocksFalling;
        maxEnemies = std::max(maxEnemies, figureCount);
        maxBalls = std::max(maxBalls, ballCount);
    }
    for (int mode = 0; mode < ACTION_TYPE_COUNT; ++mode) {
        EXPECT_TRUE(modeActed[mode]) << "mode " << mode << " never held";
    }
    EXPECT_GT(maxEnemies, 5);
    EXPECT_GT(maxBalls, 50);
    EXPECT_GT(thirdPersonUpdates, 100);
    EXPECT_TRUE(sawFalling);
    // The water quads: one per wet cell of the chunk in x-then-z order,
    // chunk-local, heights from the cell's corners, the water tile's corners.
    const float tile[8] = {0.8125f, 0.1875f, 0.9375f, 0.1875f, 0.9375f, 0.0625f, 0.8125f, 0.0625f};
    for (int c = 0; c < CHUNK_TOTAL; ++c) {
        int v = 0;
        for (int x = c / 10 * 5; x < c / 10 * 5 + 5; ++x) {
            for (int z = c % 10 * 5; z < c % 10 * 5 + 5; ++z) {
                int x1 = (x + 1) % 50, z1 = (z + 1) % 50;
                const int corners[4][2] = {{x, z1}, {x1, z1}, {x1, z}, {x, z}};
                bool wet = false;
                for (const auto& k : corners) {
                    wet = wet || waterHeight[k[0]][k[1]] >= floorHeight[k[0]][k[1]];
                }
                for (int k = 0; k < 4 && wet; ++k, ++v) {
                    ASSERT_LT(v, waterMeshes[c].vertexCount) << "chunk " << c;
                    const float* at = &waterMeshes[c].positions[3 * v];
                    EXPECT_EQ(at[0], (float)(x % 5 + (k == 1 || k == 2)));
                    EXPECT_EQ(at[1], waterHeight[corners[k][0]][corners[k][1]]);
                    EXPECT_EQ(at[2], (float)(z % 5 + (k < 2)));
                    EXPECT_EQ(waterMeshes[c].texCoords[2 * v + 1], tile[2 * k + 1]);
                    EXPECT_EQ(waterMeshes[c].texCoords[2 * v], tile[2 * k]);
                }
            }
        }
        EXPECT_EQ(waterMeshes[c].vertexCount, v) << "chunk " << c;
    }
}

// The aim, bit for bit, over pointers, pitches, yaws and windows wide and
// tall, in first and third person; no surface within reach.
TEST_F(GameTest, AimRayIsTheFormulaBitForBit) {
    scriptState = 777u;
    memset(blocks, 0, sizeof blocks);
    memset(fallingBlocks, 0, sizeof fallingBlocks);
    flattenCave(-1000.0f, 1000.0f);
    int differing = 0;
    for (int i = 0; i < 4000; ++i) {
        float sizes[3][2] = {{1280, 720}, {600, 900}, {1024, 768}};
        setWindow(sizes[i % 3][0], sizes[i % 3][1]);
        fieldOfView = i % 7 == 0 ? 45.0f : 50.0f;
        mouseX = (int)(nextRandom() % (unsigned)screenWidth);
        mouseY = (int)(nextRandom() % (unsigned)screenHeight);
        viewCamera.position =
            Vector3{100.0f * randomUnit(), 20.0f * randomUnit(), -100.0f * randomUnit()};
        viewCamera.pitch = 2.2689f * (randomUnit() - 0.5f);
        viewCamera.yaw = 20.0f * (randomUnit() - 0.5f);
        player.head = viewCamera.position;
        if (i % 2 == 1) { // third person: the head some way in front
            player.head.x += 4.0f * randomUnit();
            player.head.y -= 2.0f * randomUnit();
        }
        castAimRay();
        Vector3 want = aimFarPoint();
        differing += memcmp(&aimPoint, &want, sizeof want) != 0;
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(GameTest, AimIgnoresSurfacesNearerThanThreeQuartersOfTheHead) {
    // Camera 2 above and 10 behind the head, facing -z: the ray starts
    // 0.75 x sqrt(104) = 7.65 along, just past a block face 7.5 along.
    memset(blocks, 0, sizeof blocks);
    fillBlocks(20, 30, 5, 20, 27, 27);
    viewCamera = CameraPose{Vector3{25.5f, 12.0f, 35.5f}, 0.0f, 0.0f, 0.0f};
    player.head = Vector3{25.5f, 10.0f, 25.5f};
    castAimRay();
    EXPECT_LT(aimPoint.z, 27.5f);
    player.head = Vector3{25.5f, 12.0f, 29.5f}; // 6 ahead: the face is aimed at
    castAimRay();
    EXPECT_NEAR(aimPoint.z, 28.0f, 1e-4f);
}

TEST_F(GameTest, MotionLandsWalksJumpsAndStopsAtWalls) {
    step(1.0f); // airborne: gravity 0.02 from rest
    EXPECT_NEAR(player.velocity.y, -0.02f, 1e-7f);
    EXPECT_FALSE(player.onGround);
    settlePlayer();
    EXPECT_NEAR(player.position.y, FLOOR_Y + 1.25f, 1e-3f);
    for (int i = 0; i < 2; ++i) { // both feet put down on the floor
        EXPECT_TRUE(player.footPlanted[i]);
        EXPECT_NEAR(player.footY[i], FLOOR_Y, 1e-3f);
    }
    for (float f : {1.0f, 2.0f, 0.5f}) { // at rest: standing gravity, lifted back each update
        steps(3, f);
        float y = player.position.y;
        step(f);
        EXPECT_TRUE(player.onGround);
        EXPECT_NEAR(player.velocity.y, -0.0075f * f, 1e-5f) << f;
        EXPECT_NEAR(player.position.y, y, 1e-5f);
    }
    // Forward, forward and right, left and right: 0.015 along the view, the
    // same along the diagonal, nothing.
    const float c = std::sqrt(0.5f);
    const struct {
        int keys[2];
        float ahead, right;
    } walks[] = {{{KEY_W, KEY_W}, 1, 0},
                 {{KEY_UP, KEY_D}, c, c},
                 {{KEY_A, KEY_RIGHT}, 0, 0},
                 {{KEY_S, KEY_LEFT}, -c, -c}};
    for (const auto& w : walks) {
        steps(200, 1.0f);
        Vector3 view = viewDirection(viewCamera), start = player.position;
        pressKey(w.keys[0]);
        pressKey(w.keys[1]);
        step(1.0f);
        releaseKey(w.keys[0]);
        releaseKey(w.keys[1]);
        // Right of a view (vx, vz) seen from above with y up is (-vz, vx).
        EXPECT_NEAR(player.position.x - start.x, 0.015f * (w.ahead * view.x - w.right * view.z),
                    1e-6f);
        EXPECT_NEAR(player.position.z - start.z, 0.015f * (w.ahead * view.z + w.right * view.x),
                    1e-6f);
        EXPECT_NEAR(player.velocity.x, 0.92f * (player.position.x - start.x), 1e-6f);
    }
    // The jump: 0.75 whatever the factor, only from the ground, again on landing.
    float y = player.position.y;
    pressKey(KEY_SPACE);
    step(2.0f);
    EXPECT_NEAR(player.position.y - y, 1.5f, 1e-5f);
    EXPECT_NEAR(player.velocity.y, 0.82f * 0.75f - 0.04f, 1e-5f);
    int landed = -1, again = -1;
    for (int i = 0; i < 200 && again < 0; ++i) {
        bool wasOnGround = player.onGround;
        step(1.0f);
        if (player.onGround && landed < 0)
            landed = i;
        if (wasOnGround && player.velocity.y > 0.5f)
            again = i;
        if (i < landed || landed < 0) {
            EXPECT_LT(player.velocity.y, 0.75f);
        }
    }
    EXPECT_EQ(again, landed + 1);
    releaseKey(KEY_SPACE);
    // Walking into a wall whose face is at x = 21: the collision takes back
    // whatever the body gains toward it.
    fillBlocks(18, 20, 1, 15, 15, 35);
    player.position = Vector3{22.75f, FLOOR_Y + 1.25f, 25.5f};
    pressKey(KEY_W);
    steps(100, 1.0f);
    EXPECT_NEAR(player.position.x, 22.25f, 1e-3f);
    EXPECT_GT(player.velocity.x, -1e-4f);
}

TEST_F(GameTest, DegenerateInputNeverGivesNotANumber) {
    settlePlayer();
    Vector3 at{25.0f, 12.0f, 25.0f}; // a body exactly at its rope's anchor stays
    player.swinging = true;
    player.ropeLength = 3.0f;
    player.position = player.ropeAnchor = at;
    player.velocity = Vector3{0.0f, 0.0f, 0.0f};
    moveFigure(player, 1.0f, at, true);
    EXPECT_EQ(player.position.y, at.y);
    EXPECT_TRUE(finite(player.velocity));
    player.swinging = false;
    player.velocity = Vector3{0.1f, 0.2f, 0.3f}; // factor 0: nothing moves
    moveFigure(player, 0.0f, player.position, true);
    EXPECT_EQ(player.velocity.x, 0.1f);
    setWindow(0.0f, 0.0f); // a window of no size, a factor that is no number
    step(NAN);
    step(1.0f);
    EXPECT_TRUE(finite(player.position) && finite(player.velocity) && finite(aimPoint));
    EXPECT_TRUE(finite(viewCamera.position) && std::isfinite(viewCamera.yaw));
}

TEST_F(GameTest, AReleasedBodyComesToRestEvenFarOut) {
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
        EXPECT_EQ(player.position.x, rest.x) << offset;
        EXPECT_EQ(player.position.z, rest.z) << offset;
    }
}

static float terrainTotal() {
    float sum = 0.0f;
    for (int x = 0; x < WORLD_SIZE; ++x)
        for (int z = 0; z < WORLD_SIZE; ++z)
            sum += floorHeight[x][z] - ceilingHeight[x][z];
    return sum;
}

// A click as a person makes it: pressed one frame, held `held` more.
static void click(int held) {
    pressButton(MOUSE_LEFT);
    steps(1 + held, 1.0f);
    releaseButton(MOUSE_LEFT);
}

TEST_F(GameTest, EachModeActsAtTheAimOnItsTrigger) {
    fillBlocks(18, 20, 1, 15, 15, 35); // a wall whose face is at x = 21, faced
    player.position = Vector3{24.0f, 6.0f, 25.5f};
    settlePlayer();
    step(1.0f);
    ASSERT_NEAR(aimPoint.x, 21.0f, 1e-3f);
    const int y = (int)std::floor(aimPoint.y), z = (int)std::floor(aimPoint.z);
    const int blockCount = countBlocks();
    const float terrain = terrainTotal();
    for (int mode : {0, 1, 3, 4, 8}) { // held modes: a one-frame click does nothing
        actionType = mode;
        Vector3 velocity = player.velocity;
        click(0);
        EXPECT_EQ(countBlocks(), blockCount) << mode;
        EXPECT_EQ(terrainTotal(), terrain) << mode;
        EXPECT_FALSE(player.swinging || player.flying) << mode;
        EXPECT_NEAR(player.velocity.x, velocity.x, 1e-6f) << mode;
        step(1.0f);
    }
    actionType = ActionSpawnBlock; // only the press places, in front of the face
    click(3);
    click(0);
    EXPECT_EQ(blocks[21][y][z] + blocks[22][y][z], 2);
    EXPECT_EQ(countBlocks(), blockCount + 2);
    actionType = ActionRemoveBlock; // one block behind the face per held update
    pressButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_EQ(countBlocks(), blockCount + 2);
    for (int cell : {22, 21, 20, 19, 18}) {
        step(1.0f);
        EXPECT_EQ(blocks[cell][y][z], 0) << cell;
    }
    EXPECT_EQ(countBlocks(), blockCount - 3);
    releaseButton(MOUSE_LEFT);
    actionType = ActionShootBall; // from hand 0 at 0.75 toward the aim, flown once
    pressButton(MOUSE_LEFT);
    step(1.0f);
    ASSERT_EQ(ballCount, 1);
    Vector3 hand{player.handX[0], player.handY[0], player.handZ[0]};
    float length = distance(aimPoint, hand);
    EXPECT_NEAR(balls[0].position.x, hand.x + 0.75f * (aimPoint.x - hand.x) / length, 1e-4f);
    EXPECT_NEAR(balls[0].velocity.y, 0.75f * (aimPoint.y - hand.y) / length - 0.01f, 1e-4f);
    releaseButton(MOUSE_LEFT);
    actionType = ActionSpawnEnemy; // 1.5 in front of the surface aimed at
    click(0);
    ASSERT_EQ(figureCount, 1);
    EXPECT_NEAR(distance(figures[0].position, aimPoint), 1.5f, 1e-2f);
    actionType = ActionSlowMotion; // flips on each press, not while held
    click(4);
    EXPECT_TRUE(slowMotion);
    click(0);
    EXPECT_FALSE(slowMotion);
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
}

TEST_F(GameTest, HeldModesScaleWithTheFactorAndRopeHoldsItsLength) {
    // The rope, while falling from (25, 10, 25) looking up at the block layer
    // at level 24: anchor and length fixed on attaching, the body held out at
    // that length, let go when the mode changes.
    player.pitch = -1.1344640f;
    actionType = ActionSwing;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    EXPECT_FALSE(player.swinging);
    step(1.0f);
    ASSERT_TRUE(player.swinging);
    Vector3 anchor = player.ropeAnchor;
    float rope = player.ropeLength;
    EXPECT_NEAR(anchor.y, 24.0f, 1e-3f);
    EXPECT_NEAR(rope, distance(anchor, player.position), 1e-3f);
    mouseX = (int)TEST_WIDTH;
    for (int i = 0; i < 60; ++i) {
        step(1.0f);
        EXPECT_EQ(player.ropeAnchor.x + player.ropeLength, anchor.x + rope);
        EXPECT_NEAR(distance(player.position, anchor), rope, 1e-3f);
    }
    pressKey(KEY_E); // changing the mode lets go
    step(1.0f);
    EXPECT_FALSE(player.swinging);
    releaseKey(KEY_E);
    releaseButton(MOUSE_LEFT);
    mouseX = (int)(TEST_WIDTH / 2);
    settlePlayer();
    player.pitch = 0.8f; // the floor a few units ahead
    actionType = ActionRaiseGround;
    pressButton(MOUSE_LEFT);
    step(1.0f);
    float change[3];
    for (int i = 0; i < 3; ++i) { // raise, raise in slow motion, lower
        slowMotion = i == 1;
        actionType = i == 2 ? ActionLowerGround : ActionRaiseGround;
        float before = terrainTotal();
        step(1.0f);
        change[i] = terrainTotal() - before;
    }
    EXPECT_GT(change[0], 0.1f);
    EXPECT_NEAR(change[1] / change[0], 0.25f, 0.02f);
    EXPECT_NEAR(change[2] / change[0], -1.0f, 0.05f);
    // Flight: the thrust is the difference between held and released runs
    // of the same update, f x 0.025 toward the aim.
    actionType = ActionFly;
    player.pitch = -0.5f;
    for (bool slow : {false, true}) {
        slowMotion = slow;
        Figure before = player;
        CameraPose third = thirdPersonCamera, view = viewCamera, first = firstPersonCamera;
        float progress = settleProgress;
        mouseButtonState[MOUSE_LEFT] = Up;
        updateGame(1.0f);
        Vector3 coasting = player.velocity;
        EXPECT_FALSE(player.flying);
        player = before;
        thirdPersonCamera = third, viewCamera = view, firstPersonCamera = first;
        settleProgress = progress;
        mouseButtonState[MOUSE_LEFT] = Held;
        updateGame(1.0f);
        EXPECT_TRUE(player.flying);
        Vector3 c = viewCamera.position;
        float f = (slow ? 0.25f : 1.0f) * 0.025f / distance(aimPoint, c);
        EXPECT_NEAR(player.velocity.x - coasting.x, f * (aimPoint.x - c.x), 1e-6f);
        EXPECT_NEAR(player.velocity.y - coasting.y, f * (aimPoint.y - c.y), 1e-6f);
        rebuildDirtyChunks();
    }
}

TEST(BlockCellRule, WrapsAndIgnoresCellsOutsideTheLevels) {
    memset(blocks, 0, sizeof blocks);
    const struct {
        Vector3 p;
        unsigned char value;
        bool changed;
        int x, y, z;
    } cases[] = {
        {{-0.5f, 3.2f, 50.2f}, 1, true, 49, 3, 0},   {{-0.1f, 3.9f, 100.9f}, 1, false, 49, 3, 0},
        {{-50.5f, 3.0f, -49.5f}, 0, true, 49, 3, 0}, {{10.0f, 35.0f, 10.0f}, 1, false, 0, 0, 0},
        {{10.0f, -0.01f, 10.0f}, 1, false, 0, 0, 0}, {{10.0f, 34.99f, 10.0f}, 1, true, 10, 34, 10},
        {{10.0f, 0.0f, 10.0f}, 1, true, 10, 0, 10},  {{1.0e12f, 5.5f, 10.5f}, 1, true, 4, 5, 10},
        {{NAN, 5.0f, 5.0f}, 1, false, 0, 0, 0},      {{5.0f, INFINITY, 5.0f}, 1, false, 0, 0, 0}};
    int expectedCount = 0;
    for (const auto& c : cases) {
        memset(chunkDirty, 0, sizeof chunkDirty);
        EXPECT_EQ(setBlockAtPoint(c.p, c.value), c.changed) << c.p.x << " " << c.p.y;
        if (c.changed) {
            EXPECT_EQ(blocks[c.x][c.y][c.z], c.value);
            EXPECT_EQ(chunkDirty[c.x / 5 * 10 + c.z / 5], 1);
            expectedCount += c.value ? 1 : -1;
        }
        EXPECT_EQ(countBlocks(), expectedCount);
    }
}

TEST_F(GameTest, EnemiesChasePushAndReach) {
    // No time passing: every push sees a distance of 2, 0.05 on each body
    // per turn, twice per update.
    spawnFigure(25.0f, 20.0f, 15.0f);
    spawnFigure(27.0f, 20.0f, 15.0f);
    updateGame(0.0f);
    EXPECT_FLOAT_EQ(figures[0].velocity.x, -0.1f);
    EXPECT_FLOAT_EQ(figures[1].velocity.x, 0.1f);
    EXPECT_EQ(figures[0].velocity.y + figures[0].velocity.z, 0.0f);
    figureCount = 0; // diagonal: divided by the sum of the components
    spawnFigure(25.0f, 20.0f, 15.0f);
    spawnFigure(26.0f, 21.0f, 15.0f);
    spawnFigure(40.0f, 20.0f, 15.0f); // coincident with the next: no direction
    spawnFigure(40.0f, 20.0f, 15.0f);
    spawnFigure(42.5f, 20.0f, 15.0f); // exactly 2.5 away: no push
    updateGame(0.0f);
    float k = (2.5f - std::sqrt(2.0f)) * 0.1f;
    EXPECT_NEAR(figures[0].velocity.x, -k, 1e-6f);
    EXPECT_NEAR(figures[0].velocity.y, -k, 1e-6f);
    EXPECT_NEAR(figures[1].velocity.z, 0.0f, 1e-6f);
    EXPECT_NEAR(figures[1].velocity.y, k, 1e-6f);
    for (int i = 2; i < 5; ++i)
        EXPECT_EQ(figures[i].velocity.x, 0.0f) << i;
    figureCount = 0; // beside the player: pushed once per update
    player.position = Vector3{25.0f, 10.0f, 25.0f};
    player.velocity = Vector3{0.0f, 0.0f, 0.0f};
    spawnFigure(25.0f, 10.0f, 27.0f);
    updateGame(0.0f);
    EXPECT_FLOAT_EQ(player.velocity.z, -0.05f);
    EXPECT_FLOAT_EQ(figures[0].velocity.z, 0.05f);
    // The chase: facing the player, 0.005 a tick toward it, closing in.
    figureCount = 0;
    settlePlayer();
    spawnFigure(35.0f, 8.0f, 31.0f);
    Vector3 to{player.position.x - 35.0f, 0.0f, player.position.z - 31.0f};
    step(1.0f);
    float along = std::hypot(to.x, to.z);
    EXPECT_NEAR(-std::cos(figures[0].yaw), to.x / along, 1e-3f);
    EXPECT_NEAR(-std::sin(figures[0].yaw), to.z / along, 1e-3f);
    EXPECT_NEAR(figures[0].velocity.x, 0.92f * 0.005f * to.x / along, 1e-5f);
    float start = distance(figures[0].position, player.position);
    steps(300, 1.0f);
    EXPECT_LT(distance(figures[0].position, player.position), start - 3.0f);
}

TEST_F(GameTest, BallsFlyUnderGravityAndStickWhereTheyLand) {
    spawnBall(25.0f, 20.0f, 25.0f, 0.1f, 0.0f, 0.0f);
    spawnBall(26.0f, 20.0f, 25.0f, 0.0f, 0.0f, 0.0f); // still: never moves
    spawnBall(27.0f, 20.0f, 25.0f, 0.3f, 0.0f, 0.0f);
    balls[2].kind = 1; // nothing creates this kind; it does not fly
    int n = 0;
    while (balls[0].velocity.x != 0.0f && n < 200) {
        step(1.0f);
        ++n;
        if (balls[0].velocity.x != 0.0f) {
            EXPECT_NEAR(balls[0].velocity.y, -0.01f * (float)n, 1e-5f);
            EXPECT_NEAR(balls[0].position.y, 20.0f - 0.005f * (float)(n * (n - 1)), 1e-3f);
            EXPECT_NEAR(balls[0].position.x, 25.0f + 0.1f * (float)n, 1e-4f);
        }
    }
    ASSERT_LT(n, 200);
    EXPECT_NEAR(balls[0].position.y, FLOOR_Y, 1e-3f);
    EXPECT_EQ(balls[0].velocity.y + balls[0].velocity.z, 0.0f);
    Ball stuck = balls[0];
    steps(20, 1.0f);
    EXPECT_EQ(balls[0].position.x + balls[0].position.y, stuck.position.x + stuck.position.y);
    EXPECT_EQ(balls[1].position.y + balls[2].position.x, 20.0f + 27.0f);
}

TEST_F(GameTest, TablesRefuseWhenFullAndDespawnStrictlyBeyondAHundred) {
    figures[0].footX[1] = 7.0f; // a new enemy keeps its slot's feet
    figures[0].footPlanted[1] = true;
    figures[0].yaw = 2.0f;
    figures[0].velocity = Vector3{1.0f, 1.0f, 1.0f};
    for (int i = 0; i <= MAX_FIGURES; ++i)
        spawnFigure(20.0f + (float)i, 12.0f, 25.0f);
    for (int i = 0; i <= MAX_BALLS; ++i)
        spawnBall(25.0f, 12.0f, (float)i, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(figureCount + ballCount, 550);
    EXPECT_EQ(figures[49].position.x + balls[499].position.z, 69.0f + 499.0f);
    EXPECT_TRUE(figures[0].kind == 1 && figures[0].footPlanted[1] && figures[0].footX[1] == 7.0f);
    EXPECT_EQ(figures[0].yaw + figures[0].velocity.x, 0.0f);
    figureCount = ballCount = 0;
    settlePlayer();
    const Vector3 p = player.position;
    spawnBall(p.x + 100.0f, p.y, p.z, 0.0f, 0.0f, 0.0f);
    spawnBall(p.x + 100.001f, p.y, p.z, 0.0f, 0.0f, 0.0f);
    spawnBall(p.x, p.y + 10.0f, p.z, 0.1f, 0.0f, 0.0f);
    spawnFigure(p.x, p.y, p.z - 100.0f);
    spawnFigure(p.x, p.y, p.z - 100.001f);
    spawnFigure(p.x + 10.0f, p.y + 5.0f, p.z);
    step(1.0f);
    ASSERT_EQ(ballCount + figureCount, 4);
    EXPECT_EQ(balls[0].position.x, p.x + 100.0f);
    EXPECT_NEAR(balls[1].position.x, p.x + 0.1f, 1e-6f); // still updated in the same pass
    EXPECT_NEAR(figures[1].position.x, p.x + 10.0f - 0.005f, 1e-5f);
    player.position.x += 250.0f; // walked away: gone for good
    step(1.0f);
    EXPECT_EQ(ballCount + figureCount, 0);
}

// Everything a scripted run moves, to compare two runs.
static std::vector<float> runScripted(bool slow, float factor) {
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
        if (i == 60)
            pressKey(KEY_SPACE);
        step(factor);
    }
    std::vector<float> all;
    for (const Figure* f : {&player, &figures[0]}) {
        for (Vector3 v : {f->target, f->position, f->velocity, f->head}) {
            all.insert(all.end(), {v.x, v.y, v.z});
        }
        all.insert(all.end(),
                   {f->pitch, f->yaw, f->footX[0], f->footY[1], f->handX[0], f->handY[1]});
    }
    all.insert(all.end(), {balls[0].position.x, balls[0].position.y, balls[0].velocity.y,
                           viewCamera.position.x, viewCamera.yaw, thirdPersonCamera.pitch,
                           settleProgress, wavePhase, waterHeight[10][20], viewBlend});
    return all;
}

TEST_F(GameTest, SlowMotionAtFactorOneMovesExactlyAsAQuarter) {
    std::vector<float> slow = runScripted(true, 1.0f);
    EXPECT_EQ(slow, runScripted(false, 0.25f));
    EXPECT_NE(slow, runScripted(false, 1.0f));
    EXPECT_NEAR(slow[slow.size() - 3], 120 * 0.025f * 0.25f, 1e-4f);
}

// The level of the block in column (25, 25) below the block layer, negated
// while it falls.
static int blockSignature() {
    for (int y = 23; y >= 1; --y) {
        if (blocks[25][y][25])
            return y;
        if (fallingBlocks[25][y][25])
            return -y;
    }
    return 0;
}

TEST_F(GameTest, SettlingStepsEveryTenTicksOnceTheMeshesCaughtUp) {
    blocks[25][20][25] = 1; // floating, nothing under it
    markAllChunksDirty();
    rebuildDirtyChunks();
    player.position = Vector3{40.0f, 10.0f, 40.0f};
    // At factor 2 a step every five updates, at 1 every ten: lifted out at
    // the first, a level lower at each following one.
    const struct {
        float factor;
        int update, signature;
    } changes[] = {{2, 5, -20},  {2, 10, -19}, {2, 15, -18}, {2, 20, -17},
                   {1, 30, -16}, {1, 40, -15}, {1, 50, -14}};
    int update = 0;
    for (const auto& c : changes) {
        int before = blockSignature();
        while (++update < c.update) {
            step(c.factor);
            ASSERT_EQ(blockSignature(), before) << "update " << update;
        }
        step(c.factor);
        EXPECT_EQ(blockSignature(), c.signature) << "update " << update;
    }
    // Without a rebuild in between no step runs, however long the clock runs.
    settleReady = false;
    for (int i = 0; i < 30; ++i)
        updateGame(1.0f);
    EXPECT_EQ(blockSignature(), -14);
    // With them it lands on level 2 (the floor at 3 reaches into it); the
    // landing pass still marks its chunk, and only it.
    bool landed = false;
    for (int i = 0; i < 200 && !landed; ++i) {
        bool fallingBefore = blocksFalling;
        memset(chunkDirty, 0, sizeof chunkDirty);
        updateGame(1.0f);
        landed = fallingBefore && !blocksFalling;
        for (int c = 0; c < CHUNK_TOTAL && landed; ++c)
            EXPECT_EQ(chunkDirty[c], c == 55) << c;
        rebuildDirtyChunks();
    }
    ASSERT_TRUE(landed);
    EXPECT_EQ(blockSignature(), 2);
}

TEST_F(GameTest, HandsReachTowardTheTargetUnlessASurfaceStopsThem) {
    Figure f;
    memset(&f, 0, sizeof f);
    f.position = Vector3{25.0f, 10.0f, 25.0f};
    poseFigureBody(f);
    f.target = Vector3{25.0f, 11.0f, 24.5f}; // nearer than 1.95: reached through
    poseFigureArms(f);
    for (int i = 0; i < 2; ++i) {
        Vector3 s{f.shoulderX[i], f.shoulderY[i], f.shoulderZ[i]};
        EXPECT_NEAR(distance(Vector3{f.handX[i], f.handY[i], f.handZ[i]}, s), 1.95f, 1e-5f);
        EXPECT_NEAR((f.handZ[i] - s.z) / 1.95f, (24.5f - s.z) / distance(f.target, s), 1e-5f);
    }
    f.target = Vector3{f.shoulderX[0], f.shoulderY[0], f.shoulderZ[0]}; // no direction
    poseFigureArms(f);
    EXPECT_TRUE(f.handX[0] == f.shoulderX[0] && f.handY[0] == f.shoulderY[0]);
    fillBlocks(18, 23, 1, 20, 20, 30); // a wall 1 in front of the shoulders
    f.target = Vector3{10.0f, f.neck.y - 0.1f, 25.0f};
    poseFigureArms(f);
    EXPECT_NEAR(f.handX[0], 24.0f, 1e-4f);
    EXPECT_NEAR(f.handX[1], 24.0f, 1e-4f);
}

// Counts array allocations while switched on: a rebuild with unchanged
// counts must allocate nothing.
static bool countingAllocations = false;
static int arrayAllocations = 0;
void* operator new[](size_t size) {
    arrayAllocations += countingAllocations;
    void* p = malloc(size == 0 ? 1 : size);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}
void operator delete[](void* p) noexcept {
    free(p);
}
void operator delete[](void* p, size_t) noexcept {
    free(p);
}

TEST(Water, KeyFramesBlendCyclicallyAndArraysAreReusedWhileCountsStay) {
    memset(waterPhaseOffset, 0, sizeof waterPhaseOffset);
    for (int k = 0; k < 5; ++k) { // frame k holds 10 k + 1 everywhere, the floor at 1
        for (int x = 0; x < WORLD_SIZE; ++x) {
            for (int z = 0; z < WORLD_SIZE; ++z) {
                waterFrames[k][x][z] = 10.0f * (float)k + 1.0f;
                floorHeight[x][z] = 1.0f;
            }
        }
    }
    waterPhaseOffset[3][4] = 0.5f; // halfway from frame 0 to 1
    waterPhaseOffset[5][6] = 4.5f; // halfway from frame 4 back to 0
    waterPhaseOffset[7][8] = 2.0f;
    for (int k = 0; k < 5; ++k) {
        wavePhase = (float)k;
        animateWater(0.0f);
        EXPECT_EQ(waterHeight[0][0], 10.0f * (float)k + 1.0f) << k;
        EXPECT_EQ(waterHeight[7][8], 10.0f * (float)((k + 2) % 5) + 1.0f) << k;
    }
    wavePhase = 4.98f;
    animateWater(1.0f); // past 5: wraps
    EXPECT_NEAR(wavePhase, 0.005f, 1e-5f);
    wavePhase = 0.0f;
    animateWater(0.0f);
    EXPECT_FLOAT_EQ(waterHeight[3][4], 6.0f);
    EXPECT_FLOAT_EQ(waterHeight[5][6], 21.0f);
    rebuildWaterMesh(); // water exactly at the floor is wet: every cell
    EXPECT_EQ(waterMeshes[0].vertexCount + waterMeshes[99].vertexCount, 200);
    countingAllocations = true;
    arrayAllocations = 0;
    for (int i = 0; i < 20; ++i) {
        animateWater(1.0f);
        rebuildWaterMesh();
    }
    for (int x = 40; x < 50; ++x) {
        for (int z = 0; z < 50; ++z) {
            floorHeight[x][z] = x == 42 && z == 42 ? 1.0f : 100.0f;
        }
    }
    rebuildWaterMesh(); // only the cells around (42, 42) stay wet in chunks 80..99
    countingAllocations = false;
    EXPECT_EQ(arrayAllocations, 2 * 20);
    EXPECT_EQ(waterMeshes[88].vertexCount, 16);
}
