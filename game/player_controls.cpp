// player_controls.cpp: how the player steers: movement keys, action stepping
// with Q and E, the view toggle, turning by where the pointer rests, walking
// and jumping, then the player's motion step.
#include <cmath>

#include "app/input.h"
#include "app/settings.h"
#include "game/sound_events.h"
#include "game/update_steps.h"
#include "game/view_controls.h"

const float HALF_PI = 1.570796325f;
// Radians per tick per window width (height) of pointer offset from the
// centre: a pointer at the right edge turns 0.0525 per tick.
const float YAW_RATE = 0.105f;
const float PITCH_RATE = 0.075f;
const float PITCH_LIMIT = 1.1344640f;         // 65 degrees
const float PITCH_CLAMP_TEST = 1.1344640125f; // beyond this the pitch is clamped
const float WALK_ACCELERATION = 0.015f;       // units per tick per tick
const float JUMP_SPEED = 0.75f;               // units per tick, an impulse

static bool isDown(int key) {
    return keyState[key] != Up;
}
static float downCount(int keyA, int keyB) {
    return (isDown(keyA) || isDown(keyB)) ? 1.0f : 0.0f;
}

float pointerOffsetX() {
    if (!(screenWidth > 0.0f)) {
        return 0.0f;
    }
    return ((float)mouseX - 0.5f * screenWidth) / screenWidth;
}

float pointerOffsetY() {
    if (!(screenHeight > 0.0f)) {
        return 0.0f;
    }
    return ((float)mouseY - 0.5f * screenHeight) / screenHeight;
}

float safeAspectRatio() {
    if (aspectRatio > 0.0f && std::isfinite(aspectRatio)) {
        return aspectRatio;
    }
    return 1.0f;
}

void updatePlayerControls(float f) {
    float forward = downCount(KEY_UP, KEY_W);
    float back = downCount(KEY_DOWN, KEY_S);
    float left = downCount(KEY_LEFT, KEY_A);
    float right = downCount(KEY_RIGHT, KEY_D);
    float strafe = right - left;
    float ahead = forward - back;

    float moveAngle = std::atan2(strafe, ahead) - HALF_PI;
    float moveAmount = std::sqrt(ahead * ahead + strafe * strafe);
    if (moveAmount > 1.0f) {
        moveAmount = 1.0f;
    }

    if (keyState[KEY_Q] == Pressed) {
        actionType -= 1;
    }
    if (keyState[KEY_E] == Pressed) {
        actionType += 1;
    }

    // Without mouse look the view turns by where the pointer rests, not by
    // how it moves: the pointer is never captured, so off-centre keeps
    // turning. With it, only the pointer's motion turns the view.
    float yawRate = 0.0f;
    float pitchRate = 0.0f;
    if (mouseInWindow && !mouseLook) {
        yawRate = pointerOffsetX() * YAW_RATE;
        pitchRate = pointerOffsetY() * PITCH_RATE;
    }

    if (mouseButtonState[MOUSE_RIGHT] == Pressed) {
        thirdPersonView = !thirdPersonView;
    }

    if (actionType >= ACTION_TYPE_COUNT) {
        actionType -= ACTION_TYPE_COUNT;
    }
    if (actionType < 0) {
        actionType += ACTION_TYPE_COUNT;
    }

    Vector3 old = player.position;

    player.yaw += f * yawRate;
    player.pitch += f * pitchRate;
    if (mouseLook) {
        turnByPointerMotion(player);
    }
    if (player.pitch < -PITCH_CLAMP_TEST) {
        player.pitch = -PITCH_LIMIT;
    }
    if (player.pitch > PITCH_CLAMP_TEST) {
        player.pitch = PITCH_LIMIT;
    }

    // Walking follows the view as the previous update left it.
    float heading = viewCamera.yaw + moveAngle;
    player.velocity.x += f * std::cos(heading) * moveAmount * WALK_ACCELERATION;
    player.velocity.z += f * std::sin(heading) * moveAmount * WALK_ACCELERATION;

    if (isDown(KEY_SPACE) && player.onGround) {
        player.velocity.y = JUMP_SPEED;
        recordSound(SoundJump, player.position, 1.0f);
    }

    moveFigure(player, f, old, true);
}
