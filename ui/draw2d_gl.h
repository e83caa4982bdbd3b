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
// A framed button with its label centred, at (x, y) its top-left corner or,
// when centred, its centre (pixels). Highlighted while an interactive
// button has the pointer over it; returns true in the frame the left button
// is pressed there (false for a button that is not interactive).
bool drawButton(int x, int y, int w, int h, bool centred, bool interactive, const char* label);
