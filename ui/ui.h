// ui.h: 2D drawing in window pixels (origin top-left, y down) from one atlas,
// Media/dashboard.png on a 1024 x 256 canvas.
#pragma once

// (u, v) of the corners bottom-left, bottom-right, top-right, top-left of a
// pixel rectangle of the canvas: u = x / 1024, v = y / 256.
struct QuadTexCoords {
    float uv[8];
};

enum PanelStyle { PanelNormal = 0, PanelHighlighted = 1, PanelThird = 2 };

extern QuadTexCoords glyphCoords[95];  // characters 32..126
extern QuadTexCoords panelCoords[27];  // [9 style + 3 column + row]
extern QuadTexCoords pointerCoords[5]; // only entry 0 is drawn
extern QuadTexCoords bannerCoords[2];

void loadUi();
void pixelProjection();
void begin2D();
void end2D();
void drawQuad(float x, float y, float w, float h, const QuadTexCoords& coords);
void drawText(const char* text, int x, int y);
void drawPanel(int x, int y, int w, int h, int style);
bool drawButton(int x, int y, int w, int h, bool centred, bool interactive, const char* label);
