// scene_gl.h: draws one frame of the 3D world and the action label.
#pragma once

// Draws as before the speed-ups, for the picture test to compare against:
// the ground first, then the objects, each in table order, nothing left out
// for being outside the view. The picture must be the same either way.
extern bool plainSceneDrawing;

void renderScene();
