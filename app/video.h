// video.h: the one window and its OpenGL context. Platform code.
//
// initVideo runs once, after both settings passes and before anything that
// draws; afterwards screenWidth, screenHeight, screenBpp and aspectRatio
// describe the real window for the rest of the run.
#pragma once

#include <SDL/SDL.h>

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
