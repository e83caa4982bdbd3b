// screenshot.h: writes a frame to the next free "screenshot%d.png".
#pragma once

// A frame read from GL (RGBA, bottom row first; the pause menu passes the
// frozen frame): the next free number, never overwriting, the file complete
// or absent. Returns the n of the "screenshot<n>.png" written, or 0 when
// nothing was saved (screenshotProblem in png_file.h then says why in a few
// words).
int saveFrameAsScreenshot(const unsigned char* frame, int width, int height);
