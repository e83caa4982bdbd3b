// overlay_gl.h: the per-frame 2D step after the scene, drawn with GL: pacing,
// the pause state with its frozen frame, the frame-rate line, the dashboard,
// the pause menu and the pointer.
#pragma once

#include "ui/overlay.h"

void drawOverlay();
// Captures the frame when a pause begins and replays it while paused.
void updatePause(float step);
void drawDashboard();
// With plainlabels, for three seconds after a save: where it went, or why not.
void drawScreenshotNotice();
void drawPointer();
void drawPauseMenu();
