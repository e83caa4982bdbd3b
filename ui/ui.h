// ui.h: the UI atlas, Media/dashboard.png on a 1024 x 256 canvas, as the
// texture coordinates of its regions (drawing is in draw2d_gl.h).
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
extern QuadTexCoords crossCoords; // the aim cross of mouse look
