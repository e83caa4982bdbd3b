// view_controls.cpp: turning by the mouse's motion. Core library.
#include "game/view_controls.h"

#include "app/pointer_grab.h"
#include "app/settings.h"

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
