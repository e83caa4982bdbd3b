// camera_rig.cpp: the pose the scene is seen from, a blend of a first-person
// camera at the head and a third-person camera trailing over one shoulder,
// and the aim ray cast from it through the pointer.
//
// Nothing here wraps angles: yaw grows without bound as the player turns and
// every camera follows it unwrapped, so the easing never takes the long way.
#include <cmath>

#include "app/input.h"
#include "app/settings.h"
#include "game/update_steps.h"
#include "game/view_controls.h"
#include "physics/collision.h"
#include "render/frustum.h"

const float HALF_PI = 1.570796325f;
const float BLEND_RATE = 0.1f;       // per tick: a view switch glides over ten ticks
const float CAMERA_EASE = 0.1f;      // share of the angle gap closed per tick
const float SIDE_LEFT_BAND = 0.35f;  // pointer left of this share of the width: left shoulder
const float SIDE_RIGHT_BAND = 0.65f; // right of this: right shoulder
const float SHOULDER_OFFSET = 1.25f; // times aspectRatio, sideways at full side blend
const float CAMERA_DISTANCE = 5.0f;  // from the point above the body
const float CAMERA_RAISE = 1.0f;     // that point's height above the body's centre
const float AIM_DISTANCE = 50.0f;    // length of the aim ray
const float AIM_SKIP_SHARE = 0.75f;  // of the camera-to-head distance, not aimed at
const float DEGREES_TO_RADIANS = 0.0174532925f;
// With camera collision: how the pulled-in camera eases back out (it stops
// cameraCollisionMargin in front of a surface): a share of the remaining gap
// per tick, but at least a small step, so it arrives rather than creeping
// for ever.
const float REACH_EASE = 0.15f;
const float REACH_MIN_STEP = 0.01f;

static float clampUnit(float value) {
    if (value < 0.0f) {
        return 0.0f;
    }
    if (value > 1.0f) {
        return 1.0f;
    }
    return value;
}

// Pulls the trailing camera in along the line from the point above the body
// to where it would stand, to a margin in front of the first surface on that
// line, so nothing ever comes between the player and the camera. Coming in is
// at once; going back out eases, so the view does not pop.
static void keepCameraInFront(Vector3& camera, const Vector3& pivot, float f) {
    const float dx = camera.x - pivot.x;
    const float dy = camera.y - pivot.y;
    const float dz = camera.z - pivot.z;
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    float allowed = 1.0f;
    if (length > 0.0f) {
        float hx = camera.x, hy = camera.y, hz = camera.z;
        if (clipSegmentToWorld(pivot.x, pivot.y, pivot.z, hx, hy, hz)) {
            const float ex = hx - pivot.x, ey = hy - pivot.y, ez = hz - pivot.z;
            const float free = std::sqrt(ex * ex + ey * ey + ez * ez) -
                               cameraCollisionMargin(fieldOfView, safeAspectRatio());
            allowed = free > 0.0f ? free / length : 0.0f;
        }
    }
    // Never beyond what is allowed (so coming in is immediate); going out, a
    // share of the gap per tick, at least the minimum step.
    float stepOut = REACH_EASE * (allowed - cameraReach);
    if (stepOut < REACH_MIN_STEP) {
        stepOut = REACH_MIN_STEP;
    }
    cameraReach = std::fmin(allowed, cameraReach + f * stepOut);
    camera.x = pivot.x + dx * cameraReach;
    camera.y = pivot.y + dy * cameraReach;
    camera.z = pivot.z + dz * cameraReach;
}

void updateCameraRig(float f) {
    if (mouseInWindow) {
        float x = (float)mouseX;
        if (x < SIDE_LEFT_BAND * screenWidth) {
            cameraSide = false;
        } else if (x > SIDE_RIGHT_BAND * screenWidth) {
            cameraSide = true;
        }
    }
    float step = BLEND_RATE * f;
    cameraSideBlend = clampUnit(cameraSide ? cameraSideBlend + step : cameraSideBlend - step);

    firstPersonCamera.position = player.head;
    firstPersonCamera.pitch = player.pitch;
    firstPersonCamera.yaw = player.yaw - HALF_PI;
    firstPersonCamera.roll = 0.0f;

    thirdPersonCamera.pitch +=
        f * CAMERA_EASE * (firstPersonCamera.pitch - thirdPersonCamera.pitch);
    thirdPersonCamera.yaw += f * CAMERA_EASE * (firstPersonCamera.yaw - thirdPersonCamera.yaw);
    thirdPersonCamera.roll = 0.0f;

    float pitch = thirdPersonCamera.pitch;
    float yaw = thirdPersonCamera.yaw;
    float lateral = (2.0f * cameraSideBlend - 1.0f) * SHOULDER_OFFSET * safeAspectRatio();
    float back = CAMERA_DISTANCE * std::cos(pitch);
    const Vector3& p = player.position;
    thirdPersonCamera.position.x = p.x + lateral * std::cos(yaw) - back * std::cos(yaw - HALF_PI);
    thirdPersonCamera.position.y = p.y + CAMERA_RAISE + CAMERA_DISTANCE * std::sin(pitch);
    thirdPersonCamera.position.z = p.z + lateral * std::sin(yaw) - back * std::sin(yaw - HALF_PI);
    if (cameraCollision) {
        keepCameraInFront(thirdPersonCamera.position, Vector3{p.x, p.y + CAMERA_RAISE, p.z}, f);
    }

    viewBlend = clampUnit(thirdPersonView ? viewBlend + step : viewBlend - step);

    float b = viewBlend;
    float a = 1.0f - viewBlend;
    viewCamera.position.x = b * thirdPersonCamera.position.x + a * firstPersonCamera.position.x;
    viewCamera.position.y = b * thirdPersonCamera.position.y + a * firstPersonCamera.position.y;
    viewCamera.position.z = b * thirdPersonCamera.position.z + a * firstPersonCamera.position.z;
    viewCamera.pitch = b * thirdPersonCamera.pitch + a * firstPersonCamera.pitch;
    viewCamera.yaw = b * thirdPersonCamera.yaw + a * firstPersonCamera.yaw;
    viewCamera.roll = 0.0f;
}

// Turns (x, z) about the vertical axis by angle.
static void turnAboutVertical(float& x, float& z, float angle) {
    float c = std::cos(angle);
    float s = std::sin(angle);
    float nx = x * c + z * s;
    float nz = z * c - x * s;
    x = nx;
    z = nz;
}

// The pointer's offset from the centre becomes two angles linearly (no
// unprojection); the ray is 50 units long and stops at the first surface
// beyond three quarters of the camera-to-head distance, so the player's own
// surroundings behind the third-person camera are never aimed at.
void castAimRay() {
    // Multiplied left to right, degrees last: float products do not
    // associate, and this order is the one the aim is defined by.
    float u = pointerOffsetY() * fieldOfView * DEGREES_TO_RADIANS;
    float v = -pointerOffsetX() * fieldOfView * safeAspectRatio() * DEGREES_TO_RADIANS;

    float qx = 0.0f;
    float qy = -AIM_DISTANCE * std::sin(u);
    float qz = -AIM_DISTANCE * std::cos(u);
    turnAboutVertical(qx, qz, v);
    float cp = std::cos(viewCamera.pitch);
    float sp = std::sin(viewCamera.pitch);
    float ny = qy * cp + qz * sp;
    float nz = qz * cp - qy * sp;
    qy = ny;
    qz = nz;
    turnAboutVertical(qx, qz, -viewCamera.yaw);

    const Vector3& c = viewCamera.position;
    aimPoint = Vector3{c.x + qx, c.y + qy, c.z + qz};

    float ax = aimPoint.x - c.x;
    float ay = aimPoint.y - c.y;
    float az = aimPoint.z - c.z;
    float d1 = std::sqrt(ax * ax + ay * ay + az * az);
    float hx = player.head.x - c.x;
    float hy = player.head.y - c.y;
    float hz = player.head.z - c.z;
    float d2 = std::sqrt(hx * hx + hy * hy + hz * hz);
    Vector3 start = c;
    if (d1 > 0.0f) {
        start.x += ax / d1 * d2 * AIM_SKIP_SHARE;
        start.y += ay / d1 * d2 * AIM_SKIP_SHARE;
        start.z += az / d1 * d2 * AIM_SKIP_SHARE;
    }
    clipSegmentToWorld(start.x, start.y, start.z, aimPoint.x, aimPoint.y, aimPoint.z);
}
