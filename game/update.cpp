// update.cpp: updateGame, the one step that advances the whole game, plus the
// enemy and ball tables' spawn and removal and the block-settling clock.
#include <cmath>
#include <cstring>

#include "app/settings.h"
#include "game/game.h"
#include "game/pose.h"
#include "game/sound_events.h"
#include "game/update_steps.h"
#include "meshing/chunks.h"

const float SLOW_MOTION_SCALE = 0.25f; // slow motion runs at a quarter speed
const float SETTLE_RATE = 0.1f;        // settling steps per tick: one every ten ticks

void spawnBall(float x, float y, float z, float vx, float vy, float vz) {
    if (ballCount >= MAX_BALLS) {
        return;
    }
    Ball& ball = balls[ballCount];
    ball.kind = 0;
    ball.position = Vector3{x, y, z};
    ball.velocity = Vector3{vx, vy, vz};
    ++ballCount;
}

// The rope and pose fields keep what the slot held before: in particular the
// feet, which the first pose step puts down where they must go.
void spawnFigure(float x, float y, float z) {
    if (figureCount >= MAX_FIGURES) {
        return;
    }
    Figure& figure = figures[figureCount];
    figure.kind = 1;
    figure.target = Vector3{0.0f, 0.0f, 0.0f};
    figure.position = Vector3{x, y, z};
    figure.velocity = Vector3{0.0f, 0.0f, 0.0f};
    figure.pitch = 0.0f;
    figure.yaw = 0.0f;
    figure.roll = 0.0f;
    figure.onGround = false;
    figure.flying = false;
    figure.swinging = false;
    ++figureCount;
}

bool farFromPlayer(Vector3 position) {
    float dx = position.x - player.position.x;
    float dy = position.y - player.position.y;
    float dz = position.z - player.position.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz) > DESPAWN_DISTANCE;
}

void removeFigure(int index) {
    if (index < 0 || index >= figureCount) {
        return;
    }
    for (int i = index; i + 1 < figureCount; ++i) {
        figures[i] = figures[i + 1];
    }
    --figureCount;
}

void removeBall(int index) {
    if (index < 0 || index >= ballCount) {
        return;
    }
    for (int i = index; i + 1 < ballCount; ++i) {
        balls[i] = balls[i + 1];
    }
    --ballCount;
}

// The grids as they were before the last settling step, to find what it moved.
static unsigned char blocksBeforeStep[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
static unsigned char fallingBeforeStep[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];

// The settling clock advances at the same J = 0.1 f as the camera blends. A
// step runs only when the meshes have caught up with the previous one
// (settleReady, set by rebuildDirtyChunks). Marked dirty are the chunks
// around every cell the step changed: where falling blocks moved, where they
// landed (also in the pass in which the last of them land) and where blocks
// lost their support; the rest would be rebuilt into the same arrays.
void runSettlingClock(float f) {
    settleProgress += SETTLE_RATE * f;
    if (!(settleProgress >= 1.0f)) {
        return;
    }
    if (settleReady) {
        memcpy(blocksBeforeStep, blocks, sizeof blocks);
        memcpy(fallingBeforeStep, fallingBlocks, sizeof fallingBlocks);
        settleBlocks();
        markChangedCellsDirty(&blocksBeforeStep[0][0][0], &fallingBeforeStep[0][0][0]);
        recordLandedBlocks(&blocksBeforeStep[0][0][0]);
    }
    // Later passes of the same update would run no step and change nothing
    // (the step runs at most once per update), so all whole steps go at once.
    // This also keeps an absurd factor from spinning here for ever.
    settleProgress -= std::floor(settleProgress);
    settleReady = false;
}

void updateGame(float timeFactor) {
    // A factor that is not a number or negative would carry NaN or backward
    // motion into every body; the main loop never produces one, so it simply
    // stops time.
    float f = timeFactor;
    if (!(f >= 0.0f) || std::isinf(f)) {
        f = 0.0f;
    }
    if (slowMotion) {
        f *= SLOW_MOTION_SCALE;
    }
    const Vector3 before = player.position;
    const bool wasOnGround = player.onGround;
    const float fallSpeed = -player.velocity.y;
    updatePlayerControls(f);
    listenToPlayerMotion(before, wasOnGround, fallSpeed);
    poseFigureBody(player);
    updateCameraRig(f);
    castAimRay();
    poseFigureArms(player);
    updateEnemies(f);
    applyPlayerAction(f);
    updateBalls(f);
    runSettlingClock(f);
    if (useWater) {
        animateWater(f);
        rebuildWaterMesh();
    }
}
