// window_size.h: which window sizes the shell will ask SDL for, and the exit
// statuses of a failed start. Core library: pure checks, no SDL.
#pragma once

// Exit statuses of the start-up failures; a normal quit returns 0.
const int EXIT_SDL_UNAVAILABLE = 1; // SDL_Init failed
const int EXIT_NO_VIDEO_MODE = 3;   // no window of the wanted size and depth

// A larger side is refused before SDL sees it, with a message that names
// this limit: SDL 1.2 only answers an absurd size (40000 x 40000) with an
// error of its own, and common GL drivers draw no viewport wider than 16384.
const int MAX_WINDOW_SIDE = 16384; // pixels

// The configured size of one side as the int SDL is given: truncated toward
// zero, out-of-range values saturated, NaN as 0 (the desktop's size, as for
// any value that is not a number).
int windowSide(float setting);
// Whether the desktop-size probe must run: only for a setting that is exactly
// 0. A setting below 1 that is not 0 (0.5), or one that is not a number,
// skips the probe and goes to SDL as 0, and SDL gives the real window the
// desktop's size for that side.
bool needsDesktopProbe(float width, float height);
// Whether SDL may be started, given the DISPLAY and SDL_VIDEODRIVER
// environment values (null when unset): with no X display and no driver
// asked for by name, SDL 1.2 would fall back to a text-terminal driver, so
// the shell ends with EXIT_SDL_UNAVAILABLE instead. An empty value counts as
// unset.
bool displayAvailable(const char* display, const char* videoDriver);
// Whether a window of this size may be asked for, by the probe or for the real
// window: each side 0 (the desktop's) to MAX_WINDOW_SIDE; never negative.
bool windowSizeAllowed(int width, int height);
