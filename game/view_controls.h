// view_controls.h: the view's share of the player's comforts: turning by the
// mouse's motion. Core library; the keys are in app/settings.h. (The trailing
// camera's room for a wider field of view follows from the field of view
// itself: see the camera rig.)
#pragma once

#include "game/game.h"

// Radians a pixel of motion turns the view at sensitivity 1 (0.15 degrees).
const float MOUSE_LOOK_RADIANS_PER_PIXEL = 0.15f * 0.0174532925f;

// The turn for a motion of (dx, dy) pixels, x right and y down: yaw grows
// with dx, pitch with dy (looking down), pitch the other way with
// "invertmouse"; both times the sensitivity. The frame's length plays no
// part: the same motion turns the same angle at any frame rate.
void mouseLookTurn(int dx, int dy, float& yawTurn, float& pitchTurn);
// With mouse look: turns figure by the motion gathered since the last update
// (the caller clamps the pitch as for any turn).
void turnByPointerMotion(Figure& figure);
