// update_steps.h: the steps updateGame runs, in the order it runs them, and
// the table helpers they share. Internal to the game folder (and its tests):
// everyone else goes through updateGame.
//
// f is always the update's time factor after the slow-motion scaling.
#pragma once

#include "game/game.h"

// Player controls: keys, action stepping, view toggle, turning, walking,
// jumping and the player's motion step.
void updatePlayerControls(float f);
// Side switching, the two cameras, the blend between them and viewCamera.
void updateCameraRig(float f);
// Casts the ray through the pointer from viewCamera and sets aimPoint.
void castAimRay();
void updateEnemies(float f);
void applyPlayerAction(float f);
void updateBalls(float f);
// The block-settling clock; runs settleBlocks when a step is due.
void runSettlingClock(float f);
// Advances wavePhase and blends the key frames into waterHeight.
void animateWater(float f);

// Despawning: strictly farther than this from the player (world units).
const float DESPAWN_DISTANCE = 100.0f;
bool farFromPlayer(Vector3 position);
// Close the gap at index i, keeping the order of the later entries.
void removeFigure(int index);
void removeBall(int index);

// The block cell rule: the cell containing p, x and z wrapped into 0..49;
// outside the height range nothing happens. Sets the cell to value and marks
// every chunk dirty only when the cell changed. Returns whether it changed.
bool setBlockAtPoint(Vector3 p, unsigned char value);

// Pointer offset from the window centre as a fraction of the window size
// (-0.5 .. 0.5 inside the window); 0 for a window of no size.
float pointerOffsetX();
float pointerOffsetY();
// aspectRatio, or 1 while it is not a usable number (before the video mode).
float safeAspectRatio();
