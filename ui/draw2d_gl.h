// draw2d_gl.h: 2D drawing in window pixels (origin top-left, y down) from the
// UI atlas: the atlas upload, the pixel projection and the primitives.
#pragma once

#include "ui/ui.h"

void loadUi();
void pixelProjection();
void begin2D();
void end2D();
void drawQuad(float x, float y, float w, float h, const QuadTexCoords& coords);
void drawText(const char* text, int x, int y);
void drawPanel(int x, int y, int w, int h, int style);
bool drawButton(int x, int y, int w, int h, bool centred, bool interactive, const char* label);
