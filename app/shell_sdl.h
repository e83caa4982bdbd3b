// shell_sdl.h: the shell's platform entry points: the one window and its
// OpenGL context, the input poll and the paced main loop.
//
// initVideo runs once, after both settings passes and before anything that
// draws; afterwards screenWidth, screenHeight, screenBpp and aspectRatio
// describe the real window for the rest of the run.
#pragma once

struct SDL_Surface;

extern SDL_Surface* screenSurface; // owned by SDL, never freed here
extern float startupFieldOfView;   // degrees; only for the start-up projection

// Opens the window and context and reads the real size back into the
// settings; shows the system cursor only when showCursor is set. Ends the
// process with EXIT_SDL_UNAVAILABLE or EXIT_NO_VIDEO_MODE, after one line on
// stderr, when it cannot.
void initVideo();
// The window, the GL attributes and the fixed GL state; ends the process the
// same way as initVideo on failure.
void openGlWindow();

// Drains SDL's key and button events into the input tables and reads the
// pointer, by the rules of input.h.
void pollInput();
// Puts the pointer at the window's centre, where the view does not turn.
void warpPointerToCentre();
// With mouse look: the focus and the pointer's motion, after pollInput
// (pointer_grab_sdl.cpp).
void pollPointer();
// Takes or lets go of the pointer as this frame's pause and focus require.
void syncPointerGrab();
void paceFrame(); // advanceFrameClock(SDL_GetTicks()), then SDL_Delay
void runFrame();  // one pass of the main loop
