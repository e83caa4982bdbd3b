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
// With camera collision: how far the pulled-in camera keeps from every surface
// beyond the reach of its near plane's corners (world units), and how it eases
// back out: a share of the remaining gap per tick, but at least a small step,
// so it arrives rather than creeping for ever.
const float COLLISION_MARGIN = 0.3f;
const float REACH_EASE = 0.15f;
const float REACH_MIN_STEP = 0.01f;
// Nearer to the point above the body than this (world units) the camera would
// look out from inside the torso and neck; with no room farther out it looks
// from the eye instead.
const float NEAREST_PULL = 0.5f;
// The search for a free place along the camera's line moves by at least this
// (world units), so a line that grazes a wall costs a bounded number of steps.
const float SEARCH_MIN_STEP = 0.05f;
// The figure fades while the camera is nearer to its body than its own size
// (world units: an arm's reach), with the square of the distance, so that it
// is already faint when the camera is a shoulder's width behind it, down to
// this opacity at the body itself.
const float FIGURE_SIZE = 2.0f;
const float FAINTEST_FIGURE = 0.15f;

static float clampUnit(float value) {
    if (value < 0.0f) {
        return 0.0f;
    }
    if (value > 1.0f) {
        return 1.0f;
    }
    return value;
}

// How far the corners of the scene's near plane lie from the eye (world
// units): a surface nearer than this to the camera is cut open by the plane.
static float nearPlaneCornerReach(float nearDistance, float fieldOfViewDegrees, float aspect) {
    const float halfHeight =
        nearDistance * std::tan(0.5f * fieldOfViewDegrees * DEGREES_TO_RADIANS);
    const float halfWidth = halfHeight * aspect;
    return std::sqrt(nearDistance * nearDistance + halfHeight * halfHeight + halfWidth * halfWidth);
}

// Whether a camera at share t of the line from pivot along (dx, dy, dz) has
// no surface within clearance; `shortfall` says by how much it misses.
static bool freeAt(const Vector3& pivot, float dx, float dy, float dz, float t, float clearance,
                   float& shortfall) {
    const float d =
        nearestSurfaceDistance(pivot.x + dx * t, pivot.y + dy * t, pivot.z + dz * t, clearance);
    shortfall = clearance - d;
    return d >= clearance;
}

// The largest share in [inner, outer] whose place is free, searching from
// outer inward, or -1 when there is none. Every place within the shortfall of
// a blocked one is blocked too, so stepping by it skips no free place.
static float freeShareInward(const Vector3& pivot, float dx, float dy, float dz, float length,
                             float inner, float outer, float clearance) {
    float t = outer;
    while (t >= inner) {
        float shortfall = 0.0f;
        if (freeAt(pivot, dx, dy, dz, t, clearance, shortfall)) {
            return t;
        }
        const float next = t - std::fmax(shortfall, SEARCH_MIN_STEP) / length;
        t = (next < inner && t > inner) ? inner : next;
    }
    return -1.0f;
}

// The smallest free share from t outward, up to `allowed`, which is free.
static float freeShareOutward(const Vector3& pivot, float dx, float dy, float dz, float length,
                              float t, float allowed, float clearance) {
    while (t < allowed) {
        float shortfall = 0.0f;
        if (freeAt(pivot, dx, dy, dz, t, clearance, shortfall)) {
            return t;
        }
        t += std::fmax(shortfall, SEARCH_MIN_STEP) / length;
    }
    return allowed;
}

// Pulls the trailing camera in along the line from the point above the body
// to where it would stand, until no surface lies between that point and the
// camera and none within the reach of the near plane (plus a margin) around
// it; with no such place, the camera looks from the eye (cameraReach 0).
// Coming in is at once; going back out eases, so the view does not pop,
// unless the eased place is itself too near a surface.
static void keepCameraInFront(Vector3& camera, const Vector3& pivot, const Vector3& eye, float f) {
    const float dx = camera.x - pivot.x;
    const float dy = camera.y - pivot.y;
    const float dz = camera.z - pivot.z;
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(length > NEAREST_PULL)) {
        cameraReach = 0.0f;
        camera = eye;
        return;
    }
    const float clearance =
        nearPlaneCornerReach(SCENE_NEAR_PLANE, fieldOfView, safeAspectRatio()) + COLLISION_MARGIN;
    float outer = 1.0f;
    float hx = camera.x, hy = camera.y, hz = camera.z;
    if (clipSegmentToWorld(pivot.x, pivot.y, pivot.z, hx, hy, hz)) {
        const float ex = hx - pivot.x, ey = hy - pivot.y, ez = hz - pivot.z;
        outer = (std::sqrt(ex * ex + ey * ey + ez * ez) - COLLISION_MARGIN) / length;
    }
    const float inner = NEAREST_PULL / length;
    const float allowed = freeShareInward(pivot, dx, dy, dz, length, inner, outer, clearance);
    if (allowed < 0.0f) {
        cameraReach = 0.0f;
        camera = eye;
        return;
    }
    // Never beyond what is allowed (so coming in is immediate); going out, a
    // share of the gap per tick, at least the minimum step.
    const float from = std::fmax(cameraReach, inner);
    float stepOut = REACH_EASE * (allowed - from);
    if (stepOut < REACH_MIN_STEP) {
        stepOut = REACH_MIN_STEP;
    }
    float reach = std::fmin(allowed, from + f * stepOut);
    if (reach < allowed) {
        reach = freeShareOutward(pivot, dx, dy, dz, length, reach, allowed, clearance);
    }
    cameraReach = reach;
    camera.x = pivot.x + dx * reach;
    camera.y = pivot.y + dy * reach;
    camera.z = pivot.z + dz * reach;
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
        keepCameraInFront(thirdPersonCamera.position, Vector3{p.x, p.y + CAMERA_RAISE, p.z},
                          firstPersonCamera.position, f);
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

float figureOpacity(float cameraToBody, float blend) {
    float share = cameraToBody / FIGURE_SIZE;
    if (!(share < 1.0f)) {
        share = 1.0f;
    }
    if (!(share > 0.0f)) {
        share = 0.0f;
    }
    const float faded = FAINTEST_FIGURE + (1.0f - FAINTEST_FIGURE) * share * share;
    return 1.0f - clampUnit(blend) * (1.0f - faded);
}

float playerOpacity() {
    if (!cameraCollision) {
        return 1.0f;
    }
    // The body as the line from the hips to the head.
    const Vector3 a = player.hipCentre, b = player.head, c = viewCamera.position;
    const float bx = b.x - a.x, by = b.y - a.y, bz = b.z - a.z;
    const float cx = c.x - a.x, cy = c.y - a.y, cz = c.z - a.z;
    const float spine = bx * bx + by * by + bz * bz;
    float t = spine > 0.0f ? (cx * bx + cy * by + cz * bz) / spine : 0.0f;
    t = clampUnit(t);
    const float ox = cx - t * bx, oy = cy - t * by, oz = cz - t * bz;
    return figureOpacity(std::sqrt(ox * ox + oy * oy + oz * oz), viewBlend);
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
