// overlay.h: the per-frame 2D step after the scene: pacing, the pause state,
// the frame-rate line, the dashboard, the pause menu and the pointer.
#pragma once

extern bool pauseRequested;        // toggled by Escape, cleared by "Resume game"
extern unsigned char* frozenFrame; // screenWidth x screenHeight RGBA, bottom row first
extern bool showFrameRate;
extern char dateText[64];
extern char timeText[32];
extern char creditLines[2][64];

void drawOverlay();
void updatePause(float step);
void resetPauseState();
void setupDashboardBanners();
void updateClockText();
void drawDashboard();
void drawPointer();
void drawPauseMenu();
