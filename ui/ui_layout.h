// ui_layout.h: the pure arithmetic behind the 2D primitives: where each
// picture sits in the UI atlas, where the pieces of a framed panel go, which
// pixels make a button sensitive, where text starts, where the pause menu
// stands. Core library: no SDL, no GL, so tests can check it without a window.
#pragma once

#include "ui/ui.h"
#include "ui/ui_atlas.h"

// The atlas canvas the dashboard image is copied onto, in pixels.
const int UI_CANVAS_WIDTH = 1024;
const int UI_CANVAS_HEIGHT = 256;

const int GLYPH_ADVANCE = 10; // pixels from one character to the next: neighbouring cells overlap

// Texture coordinates of the canvas rectangle (x, y, w, h), y counted down
// from the canvas top.
QuadTexCoords atlasRect(int x, int y, int w, int h);

// Fills glyphCoords, panelCoords and pointerCoords (bannerCoords belong to
// the dashboard, see setupDashboardBanners).
void fillAtlasTables();
void fillBannerCoords();

// Index into glyphCoords for a character, or -1 when the font has no glyph
// for it (anything outside 32..126, including bytes of multi-byte text).
int glyphIndexFor(char ch);
// Left edge of the first glyph cell's anchor for text of `length`
// characters centred on column cx: cx - 5 length.
int centredTextX(int cx, int length);

// One textured quad of a framed panel: the atlas piece at (column, row) of
// the style's 3 x 3 block, drawn at x, y with size w x h.
struct PanelPiece {
    int column, row; // 0 left/top, 1 middle, 2 right/bottom
    int x, y, w, h;
};
typedef void (*PanelPieceSink)(const PanelPiece& piece, void* context);
// Emits the pieces of a frame around the inner rectangle with left edge x,
// top edge y - 1 and size w x h: corners, edges, fill, in drawing order.
// Pieces of zero width or height cover no pixel and are left out.
void layoutPanel(int x, int y, int w, int h, PanelPieceSink sink, void* context);
inline int panelCoordIndex(int style, int column, int row) {
    return 9 * style + 3 * column + row;
}

// A button's rectangle after centring (x, y become the top-left corner).
void placeButton(int& x, int& y, int w, int h, bool centred);
// Whether the pointer at (mx, my) is over the button whose top-left corner is
// (x, y): the sensitive area reaches 13 to 14 pixels into the frame.
bool buttonHovered(int x, int y, int w, int h, int mx, int my);

// Centre y of the pause menu's first button at a pause level (0..100) in a
// window screenHeight pixels high; the others follow 50 pixels apart.
int pauseMenuTop(float level, float screenHeight);
const int PAUSE_MENU_BUTTON_GAP = 50; // pixels between button centres
const int PAUSE_MENU_BUTTON_WIDTH = 300;
const int PAUSE_MENU_BUTTON_HEIGHT = 15;

// The screenshot notice's panel: centred under the action label, in the row
// of the slow-motion panel or, while that one shows, the row below it; as
// wide as the slow-motion panel or as its text needs. Window pixels; the
// panel's arguments as drawPanel takes them, the text's as drawText does.
struct NoticePlace {
    int panelX, panelY, panelWidth;
    int textX, textY;
};
NoticePlace screenshotNoticePlace(float screenWidth, int textLength, bool belowSlowMotionPanel);

// While the cave is kept, "Save cave" and "New cave" follow the four
// buttons, so those stay where they always are.
const int PAUSE_MENU_SAVE_CAVE_ROW = 4;
const int PAUSE_MENU_NEW_CAVE_ROW = 5;
int pauseMenuButtonCount(bool caveKept);
