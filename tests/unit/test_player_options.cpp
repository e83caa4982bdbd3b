// test_player_options.cpp: the trailing camera kept in front of surfaces, a
// comfort behind its own settings key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include "app/input.h"
#include "app/settings.h"
#include "game/new_game.h"
#include "game/update_steps.h"
#include "physics/collision.h"

namespace {

float gap(Vector3 a, Vector3 b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

// Random bodies in the open air of generated caves, looking any way, over either shoulder. With the
// key off the camera trails as the rig always put it (the rig's own test holds that place); with it
// on, nothing lies between the point above the body and the camera, which stays on the line to the
// trailing place, as far out as the first surface (less the margin) allows.
TEST(CameraCollision, NeverBehindASurface) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    screenWidth = 1280.0f, screenHeight = 720.0f, aspectRatio = 1280.0f / 720.0f;
    mouseInWindow = false;
    int blocked = 0, clear = 0;
    for (unsigned int cave = 1; cave <= 2; ++cave) {
        resetGameState();
        useWater = false;
        srand(cave * 7919);
        setupNewWorld();
        thirdPersonView = true, viewBlend = 1.0f;
        for (int pose = 0; pose < 150; ++pose) {
            Vector3 body = {50 * unit(random), 1.5f + 22 * unit(random), 50 * unit(random)};
            if (Vector3 free = body; collideSphereWithWorld(free.x, free.y, free.z, 1.25f))
                continue; // the body would stand in rock
            player.position = player.head = body;
            thirdPersonCamera.pitch = player.pitch = (unit(random) * 2 - 1) * 1.13f;
            player.yaw = (unit(random) * 2 - 1) * 10;
            thirdPersonCamera.yaw = player.yaw - 1.570796325f;
            cameraSide = unit(random) < 0.5f, cameraSideBlend = cameraSide ? 1.0f : 0.0f;
            cameraCollision = false;
            updateCameraRig(1.0f);
            const Vector3 trailing = viewCamera.position, pivot = {body.x, body.y + 1, body.z};
            Vector3 hit = trailing;
            const bool walled = clipSegmentToWorld(pivot.x, pivot.y, pivot.z, hit.x, hit.y, hit.z);
            (walled ? blocked : clear)++;
            cameraCollision = true;
            for (int tick = 0; tick < 60; ++tick) {
                const float before = cameraReach;
                updateCameraRig(1.0f);
                ASSERT_LT(cameraReach - before, 0.16f) << "eases out, never pops";
                Vector3 c = viewCamera.position;
                ASSERT_FALSE(clipSegmentToWorld(pivot.x, pivot.y, pivot.z, c.x, c.y, c.z))
                    << "a surface between body and camera, pose " << pose << " tick " << tick;
            }
            const Vector3 c = viewCamera.position;
            EXPECT_NEAR(gap(pivot, c) + gap(c, trailing), gap(pivot, trailing), 1e-3f);
            const float reach =
                walled ? std::max(0.0f, gap(pivot, hit) - 0.3f) : gap(pivot, trailing);
            EXPECT_NEAR(gap(pivot, c), reach, 1e-3f) << "pose " << pose;
        }
    }
    cameraCollision = false;
    EXPECT_TRUE(blocked > 20 && clear > 20) << blocked << " " << clear;
}

} // namespace
