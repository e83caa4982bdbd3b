// test_game_long_run.cpp: thousands of updates on a generated world with
// scripted random input touching every action mode, with enemies, balls,
// water and falling blocks; afterwards (and all along) every value must be a
// number and every table consistent.
#include "game_fixture.h"

// A small generator of our own, so the script does not depend on rand().
static unsigned int scriptState = 12345u;
static unsigned int nextRandom() {
    scriptState = scriptState * 1664525u + 1013904223u;
    return scriptState >> 8;
}
static float randomUnit() {
    return (float)(nextRandom() % 10000) / 10000.0f;
}

static bool finiteFigure(const Figure& f) {
    bool ok = finite(f.position) && finite(f.velocity) && finite(f.target) && finite(f.head) &&
              finite(f.neck) && finite(f.hipCentre) && std::isfinite(f.pitch) &&
              std::isfinite(f.yaw);
    for (int i = 0; i < 2; ++i) {
        ok = ok && std::isfinite(f.handX[i]) && std::isfinite(f.handY[i]) &&
             std::isfinite(f.handZ[i]) && std::isfinite(f.footX[i]) && std::isfinite(f.footY[i]) &&
             std::isfinite(f.footZ[i]) && std::isfinite(f.shoulderX[i]) && std::isfinite(f.hipY[i]);
    }
    return ok;
}

static bool finiteCamera(const CameraPose& c) {
    return finite(c.position) && std::isfinite(c.pitch) && std::isfinite(c.yaw);
}

static int wetCellsOfChunk(int cx, int cz) {
    int count = 0;
    for (int x = cx * 5; x < cx * 5 + 5; ++x) {
        for (int z = cz * 5; z < cz * 5 + 5; ++z) {
            int x1 = (x + 1) % WORLD_SIZE;
            int z1 = (z + 1) % WORLD_SIZE;
            if (waterHeight[x][z] >= floorHeight[x][z] ||
                waterHeight[x1][z1] >= floorHeight[x1][z1] ||
                waterHeight[x1][z] >= floorHeight[x1][z] ||
                waterHeight[x][z1] >= floorHeight[x][z1]) {
                ++count;
            }
        }
    }
    return count;
}

// Checks after one update; returns false at the first broken rule so a fault
// is reported once, with the update it happened in.
static bool consistent(int update) {
    bool ok = true;
    auto check = [&](bool condition, const char* what) {
        if (!condition && ok) {
            ADD_FAILURE() << what << " after update " << update;
            ok = false;
        }
    };
    check(finiteFigure(player), "player finite");
    check(finiteCamera(viewCamera) && finiteCamera(firstPersonCamera) &&
              finiteCamera(thirdPersonCamera),
          "cameras finite");
    check(distance(aimPoint, viewCamera.position) <= 50.0f + 1e-3f, "aim within 50");
    check(std::fabs(player.pitch) <= 1.1344641f, "pitch within 65 degrees");
    check(figureCount >= 0 && figureCount <= MAX_FIGURES, "enemy count");
    check(ballCount >= 0 && ballCount <= MAX_BALLS, "ball count");
    for (int i = 0; i < figureCount; ++i) {
        check(figures[i].kind == 1 && finiteFigure(figures[i]), "enemy");
        check(!figures[i].flying && !figures[i].swinging, "enemy flags");
        check(distance(figures[i].position, player.position) <= 100.0f + 1.0f, "enemy near");
    }
    for (int i = 0; i < ballCount; ++i) {
        check(balls[i].kind == 0 && finite(balls[i].position) && finite(balls[i].velocity), "ball");
    }
    check(actionType >= 0 && actionType < ACTION_TYPE_COUNT, "action type");
    check(viewBlend >= 0.0f && viewBlend <= 1.0f, "view blend");
    check(cameraSideBlend >= 0.0f && cameraSideBlend <= 1.0f, "side blend");
    check(settleProgress >= 0.0f && settleProgress < 1.0f, "settle progress");
    check(wavePhase >= 0.0f && wavePhase < 5.0f, "wave phase");
    check(!player.flying || actionType == ActionFly, "flying only in mode 8");
    check(!player.swinging || actionType == ActionSwing, "swinging only in mode 4");
    return ok;
}

TEST(LongRun, ScriptedPlayStaysFiniteAndConsistent) {
    freshWorld(TEST_SEED, true);
    const int UPDATES = 3000;
    const int movementKeys[5] = {KEY_W, KEY_A, KEY_S, KEY_D, KEY_SPACE};
    bool modeActed[ACTION_TYPE_COUNT] = {};
    int heldFor = 0;
    int maxEnemies = 0;
    int maxBalls = 0;
    bool sawFalling = false;
    for (int update = 0; update < UPDATES; ++update) {
        // Keys go down and up now and then; Q and E step the mode.
        for (int key : movementKeys) {
            if (nextRandom() % 30 == 0) {
                keyState[key] = keyState[key] == Up ? Pressed : Up;
            }
        }
        if (nextRandom() % 45 == 0) {
            keyState[nextRandom() % 2 ? KEY_E : KEY_Q] = Pressed;
        } else {
            releaseKey(KEY_E);
            releaseKey(KEY_Q);
        }
        // The pointer wanders, sometimes leaving the window.
        mouseX += (int)(nextRandom() % 61) - 30;
        mouseY += (int)(nextRandom() % 41) - 20;
        mouseX = mouseX < -20 ? -20 : (mouseX > 1040 ? 1040 : mouseX);
        mouseY = mouseY < 0 ? 0 : (mouseY > 767 ? 767 : mouseY);
        mouseInWindow = mouseX >= 0 && mouseX < 1024;
        if (nextRandom() % 200 == 0) {
            pressButton(MOUSE_RIGHT);
        }
        // The left button: clicks and holds of various lengths.
        if (mouseButtonState[MOUSE_LEFT] == Up && nextRandom() % 6 == 0) {
            pressButton(MOUSE_LEFT);
            heldFor = 0;
        } else if (mouseButtonState[MOUSE_LEFT] != Up) {
            ++heldFor;
            if (heldFor > 1) {
                modeActed[actionType] = true;
            }
            if (nextRandom() % 25 == 0) {
                releaseButton(MOUSE_LEFT);
            }
        }
        // Now and then a throw or an enemy regardless of the current mode, to
        // keep the tables busy.
        if (nextRandom() % 5 == 0) {
            spawnBall(player.position.x, player.position.y + 2.0f, player.position.z,
                      randomUnit() - 0.5f, randomUnit(), randomUnit() - 0.5f);
        }
        if (nextRandom() % 40 == 0) {
            spawnFigure(player.position.x + 4.0f * (randomUnit() - 0.5f), player.position.y + 1.0f,
                        player.position.z + 4.0f * (randomUnit() - 0.5f));
        }
        // A block left floating now and then, to keep the settling busy.
        if (nextRandom() % 150 == 0) {
            blocks[nextRandom() % 50][15 + nextRandom() % 8][nextRandom() % 50] = 1;
            markAllChunksDirty();
        }
        float factor = nextRandom() % 10 == 0 ? 2.0f : 0.96f + randomUnit() * 0.5f;
        step(factor);
        sawFalling = sawFalling || blocksFalling;
        maxEnemies = figureCount > maxEnemies ? figureCount : maxEnemies;
        maxBalls = ballCount > maxBalls ? ballCount : maxBalls;
        if (!consistent(update)) {
            break;
        }
    }
    for (int mode = 0; mode < ACTION_TYPE_COUNT; ++mode) {
        EXPECT_TRUE(modeActed[mode]) << "mode " << mode << " never held";
    }
    EXPECT_GT(maxEnemies, 5);
    EXPECT_GT(maxBalls, 50);
    EXPECT_TRUE(sawFalling);

    // The grids hold only 0 and 1; the water meshes match the wet cells.
    int badCells = 0;
    for (int x = 0; x < WORLD_SIZE; ++x) {
        for (int y = 0; y < WORLD_LEVELS; ++y) {
            for (int z = 0; z < WORLD_SIZE; ++z) {
                badCells += blocks[x][y][z] > 1 || fallingBlocks[x][y][z] > 1;
            }
        }
    }
    EXPECT_EQ(badCells, 0);
    for (int cx = 0; cx < CHUNK_COUNT; ++cx) {
        for (int cz = 0; cz < CHUNK_COUNT; ++cz) {
            EXPECT_EQ(waterMeshes[cx * 10 + cz].vertexCount, 4 * wetCellsOfChunk(cx, cz));
        }
    }
}
