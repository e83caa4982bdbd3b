// frame.h: main-loop and frame-pacing state and its arithmetic, fed tick
// counts so that it runs without a clock (paceFrame and runFrame, in
// shell_sdl.h, give it the real one).
#pragma once

extern bool quitRequested;  // an SDL_QUIT event or the pause menu's "Exit"
extern float pauseLevel;    // 0..100; any value but 0 freezes the game
extern unsigned int frameClock; // milliseconds, advanced by whole frame lengths
extern int frameMillis;     // length of the last frame, at least 16
extern float framesPerSecond; // 1000 / frameMillis; 0 before the first frame
extern float timeFactor;    // step scale of the game update, 0.2..2

const int MIN_FRAME_MILLIS = 16;

// One pacing step at tick count nowMillis: updates frameClock, frameMillis
// and framesPerSecond and returns how long to sleep (0 when the frame was
// long enough). Differences are taken on the wrapping tick counter, so its
// wrap is harmless; a real clock slightly behind the pacing clock (an early
// wake-up) sleeps the difference too, one far behind restarts the pacing.
int advanceFrameClock(unsigned int nowMillis);
// 60 / fps clamped to [0.2, 2]; an fps of 0 (the first frame) gives 2.
float timeFactorFor(float fps);

