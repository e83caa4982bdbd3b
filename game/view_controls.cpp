// view_controls.cpp: turning by the mouse's motion and the trailing camera's
// room for the field of view. Core library.
#include "game/view_controls.h"

#include <cmath>

#include "app/pointer_grab.h"
#include "app/settings.h"

const float COLLISION_MARGIN = 0.3f; // world units, at the designed field of view
const float NEAR_PLANE = 0.1f;       // of the scene camera, world units
const float DEGREES_TO_RADIANS = 0.0174532925f;

void mouseLookTurn(int dx, int dy, float& yawTurn, float& pitchTurn) {
    const float perPixel = MOUSE_LOOK_RADIANS_PER_PIXEL * mouseSensitivity;
    yawTurn = (float)dx * perPixel;
    pitchTurn = (float)(invertMouse ? -dy : dy) * perPixel;
}

void turnByPointerMotion(Figure& figure) {
    int dx = 0, dy = 0;
    takePointerMotion(dx, dy);
    float yawTurn = 0.0f, pitchTurn = 0.0f;
    mouseLookTurn(dx, dy, yawTurn, pitchTurn);
    figure.yaw += yawTurn;
    figure.pitch += pitchTurn;
}

// Distance from the eye to a corner of the near plane.
static float nearCornerDistance(float fovDegrees, float aspect) {
    const float halfHeight = NEAR_PLANE * std::tan(0.5f * fovDegrees * DEGREES_TO_RADIANS);
    const float halfWidth = halfHeight * aspect;
    return std::sqrt(NEAR_PLANE * NEAR_PLANE + halfHeight * halfHeight + halfWidth * halfWidth);
}

float cameraCollisionMargin(float fovDegrees, float aspect) {
    const float growth =
        nearCornerDistance(fovDegrees, aspect) / nearCornerDistance(PLAIN_FIELD_OF_VIEW, aspect);
    return growth > 1.0f ? COLLISION_MARGIN * growth : COLLISION_MARGIN;
}
