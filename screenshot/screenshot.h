// screenshot.h: writes a frame to the next free "screenshot%d.png".
#pragma once

// A frame read from GL (RGBA, bottom row first; the pause menu passes the
// frozen frame): the next free number, never overwriting, the file complete
// or absent.
void saveFrameAsScreenshot(const unsigned char* frame, int width, int height);
