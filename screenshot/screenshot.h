// screenshot.h: writes the frozen frame to the next free "screenshot%d.png".
#pragma once

// Both return the n of the "screenshot<n>.png" written, or 0 when nothing was
// saved (screenshotProblem in png_file.h then says why in a few words).
int saveScreenshot();
// The same for any frame read from GL (RGBA, bottom row first): the next free
// number, never overwriting, the file complete or absent.
int saveFrameAsScreenshot(const unsigned char* frame, int width, int height);
