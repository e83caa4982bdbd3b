// window_size.h: which window sizes the shell will ask SDL for, and the exit
// statuses of a failed start. Core library: pure checks, no SDL.
#pragma once

// Exit statuses of the start-up failures; a normal quit returns 0.
const int EXIT_SDL_UNAVAILABLE = 1; // SDL_Init failed
const int EXIT_NO_VIDEO_MODE = 3;   // no window of the wanted size and depth

// SDL 1.2 crashes inside SDL_SetVideoMode on absurd sizes (40000 x 40000
// segfaults), so anything larger than this per side is refused beforehand.
const int MAX_WINDOW_SIDE = 16384; // pixels

// The configured size of one side as the int SDL is given: truncated toward
// zero, NaN as 0, out-of-range values saturated.
int windowSide(float setting);
// Whether the desktop-size probe must run: SDL substitutes the desktop size
// only for a side that is exactly 0.
bool needsDesktopProbe(float width, float height);
// Whether a side may be passed to the probe, where 0 stands for the desktop.
bool probeSideAllowed(int side);
// Whether a real window of this size may be requested.
bool windowSizeAllowed(int width, int height);
