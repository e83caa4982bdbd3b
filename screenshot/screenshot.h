// screenshot.h: writes the frozen frame to the next free "screenshot%d.png".
#pragma once

void saveScreenshot();
// The same for any frame read from GL (RGBA, bottom row first): the next free
// number, never overwriting, the file complete or absent.
void saveFrameAsScreenshot(const unsigned char* frame, int width, int height);
