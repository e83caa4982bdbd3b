// ui_atlas.h: where each picture lies in Media/dashboard.png. The artwork
// generator draws them here and the game's atlas tables read them from here,
// so the two cannot drift apart. Pixels, x to the right, y down from the
// image's top row; the game copies the image onto a 1024 x 256 canvas at its
// top-left corner, so the places hold on the canvas too.
#pragma once

const int DASHBOARD_IMAGE_WIDTH = 640;  // pixels
const int DASHBOARD_IMAGE_HEIGHT = 256; // pixels

// Glyphs of the characters 32..126, 32 cells of 20 x 20 pixels to a row,
// rows 0..59.
const int GLYPH_FIRST = 32;   // first character with a glyph (space)
const int GLYPH_LAST = 126;   // last character with a glyph ('~')
const int GLYPH_SIZE = 20;    // a glyph cell is 20 x 20 pixels, on screen and in the atlas
const int GLYPHS_PER_ROW = 32;

// Three panel styles, each a 3 x 3 block of 20-pixel pieces side by side,
// starting one pixel above row 60.
const int PANEL_STYLES = 3;
const int PANEL_PIECE_SIZE = 20;
const int PANEL_FIRST_ROW = 59;

// Five pointer sprites in a row from (440, 60).
const int POINTER_LEFT = 440, POINTER_TOP = 60;
const int POINTER_WIDTH = 40, POINTER_HEIGHT = 60;
const int POINTER_SPRITES = 5;

// Two banners, one below the other from row 120.
const int BANNER_TOP = 120;
const int BANNER_WIDTH = 640, BANNER_HEIGHT = 68;

// The aim cross, 21 x 21 pixels, in the second pointer cell, which the game
// never draws as a pointer; odd, so that its middle pixel (10, 10) can stand
// on the window's centre.
const int CROSS_LEFT = 480, CROSS_TOP = 60, CROSS_SIZE = 21;
