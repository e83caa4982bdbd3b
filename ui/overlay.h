// overlay.h: the state behind the 2D overlay (pause, frozen frame, frame-rate
// switch, dashboard texts) and its set-up; the drawing is in overlay_gl.h.
#pragma once

extern bool pauseRequested;        // toggled by Escape, cleared by "Resume game"
extern unsigned char* frozenFrame; // screenWidth x screenHeight RGBA, bottom row first
extern bool showFrameRate;
extern char dateText[64];
extern char timeText[32];
extern char creditLines[2][64];

void setupDashboardBanners();
void updateClockText();
