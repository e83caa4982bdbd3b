// ui_layout.cpp: atlas tables, panel piece layout, button and text metrics,
// pause menu placement, the screenshot notice's place. Core library.
#include "ui/ui_layout.h"

#include "render/scene_layout.h"

QuadTexCoords glyphCoords[95];
QuadTexCoords panelCoords[27];
QuadTexCoords pointerCoords[5];
QuadTexCoords bannerCoords[2];
QuadTexCoords crossCoords;

QuadTexCoords atlasRect(int x, int y, int w, int h) {
    const float left = (float)x / UI_CANVAS_WIDTH;
    const float right = (float)(x + w) / UI_CANVAS_WIDTH;
    const float top = (float)y / UI_CANVAS_HEIGHT;
    const float bottom = (float)(y + h) / UI_CANVAS_HEIGHT;
    // Bottom-left, bottom-right, top-right, top-left: the order drawQuad
    // gives its vertices in.
    QuadTexCoords coords = {{left, bottom, right, bottom, right, top, left, top}};
    return coords;
}

void fillAtlasTables() {
    for (int i = 0; i < 95; ++i) {
        glyphCoords[i] = atlasRect(GLYPH_SIZE * (i % GLYPHS_PER_ROW),
                                   GLYPH_SIZE * (i / GLYPHS_PER_ROW), GLYPH_SIZE, GLYPH_SIZE);
    }
    for (int style = 0; style < PANEL_STYLES; ++style) {
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 3; ++row) {
                panelCoords[panelCoordIndex(style, column, row)] = atlasRect(
                    PANEL_PIECE_SIZE * (3 * style + column),
                    PANEL_FIRST_ROW + PANEL_PIECE_SIZE * row, PANEL_PIECE_SIZE, PANEL_PIECE_SIZE);
            }
        }
    }
    for (int i = 0; i < POINTER_SPRITES; ++i) {
        pointerCoords[i] =
            atlasRect(POINTER_LEFT + POINTER_WIDTH * i, POINTER_TOP, POINTER_WIDTH, POINTER_HEIGHT);
    }
    crossCoords = atlasRect(CROSS_LEFT, CROSS_TOP, CROSS_SIZE, CROSS_SIZE);
}

void fillBannerCoords() {
    bannerCoords[0] = atlasRect(0, BANNER_TOP, BANNER_WIDTH, BANNER_HEIGHT);
    bannerCoords[1] = atlasRect(0, BANNER_TOP + BANNER_HEIGHT, BANNER_WIDTH, BANNER_HEIGHT);
}

int glyphIndexFor(char ch) {
    const int code = (unsigned char)ch;
    if (code < GLYPH_FIRST || code > GLYPH_LAST) {
        return -1;
    }
    return code - GLYPH_FIRST;
}

int centredTextX(int cx, int length) {
    return cx - (int)(length * GLYPH_ADVANCE * 0.5);
}

static void emit(PanelPieceSink sink, void* context, int column, int row, int x, int y, int w,
                 int h) {
    if (w <= 0 || h <= 0) {
        return;
    }
    const PanelPiece piece = {column, row, x, y, w, h};
    sink(piece, context);
}

void layoutPanel(int x, int y, int w, int h, PanelPieceSink sink, void* context) {
    const int s = PANEL_PIECE_SIZE;
    const int top = y - 1;
    const int nw = w / s, rw = w - s * nw;
    const int nh = h / s, rh = h - s * nh;

    emit(sink, context, 0, 0, x - s, top - s, s, s);
    emit(sink, context, 0, 2, x - s, top + h, s, s);
    emit(sink, context, 2, 0, x + w, top - s, s, s);
    emit(sink, context, 2, 2, x + w, top + h, s, s);

    for (int i = 0; i < nw; ++i) {
        emit(sink, context, 1, 2, x + s * i, top + h, s, s);
    }
    emit(sink, context, 1, 2, x + s * nw, top + h, rw, s);
    for (int i = 0; i < nw; ++i) {
        emit(sink, context, 1, 0, x + s * i, top - s, s, s);
    }
    emit(sink, context, 1, 0, x + s * nw, top - s, rw, s);

    for (int j = 0; j < nh; ++j) {
        emit(sink, context, 2, 1, x + w, top + s * j, s, s);
    }
    emit(sink, context, 2, 1, x + w, top + s * nh, s, rh);
    for (int j = 0; j < nh; ++j) {
        emit(sink, context, 0, 1, x - s, top + s * j, s, s);
    }
    emit(sink, context, 0, 1, x - s, top + s * nh, s, rh);

    for (int i = 0; i < nw; ++i) {
        for (int j = 0; j < nh; ++j) {
            emit(sink, context, 1, 1, x + s * i, top + s * j, s, s);
        }
    }
    for (int j = 0; j < nh; ++j) {
        emit(sink, context, 1, 1, x + s * nw, top + s * j, rw, s);
    }
    for (int i = 0; i < nw; ++i) {
        emit(sink, context, 1, 1, x + s * i, top + s * nh, s, rh);
    }
    emit(sink, context, 1, 1, x + s * nw, top + s * nh, rw, rh);
}

void placeButton(int& x, int& y, int w, int h, bool centred) {
    if (centred) {
        x -= w / 2;
        y -= h / 2;
    }
}

bool buttonHovered(int x, int y, int w, int h, int mx, int my) {
    const int reachLeft = 14, reachRight = 13; // into the 20-pixel frame
    return mx > x - reachLeft && my > y - reachLeft && mx < x + w + reachRight &&
           my < y + h + reachRight;
}

int pauseMenuTop(float level, float screenHeight) {
    const float menuHalfHeight = 125.0f; // half the column of four buttons, pixels
    const int low = (int)(screenHeight + (screenHeight * 0.5 - menuHalfHeight));
    const int high = (int)(screenHeight * 0.5 - menuHalfHeight);
    // The single-precision 0.01 widened to double, so that level 100 lands a
    // hair above `high` and truncates onto it.
    const double t = (double)level * (double)0.01f;
    return (int)((1.0 - t) * low + t * high);
}

// Rows of label-sized panels, one under the other (pixels).
static const int NOTICE_ROW_STEP = SLOW_MOTION_PANEL_Y - LABEL_PANEL_Y;

NoticePlace screenshotNoticePlace(float screenWidth, int textLength, bool belowSlowMotionPanel) {
    const int rows = belowSlowMotionPanel ? 2 : 1;
    const int textWidth = textLength * GLYPH_ADVANCE;
    const int width = textWidth > SLOW_MOTION_PANEL_WIDTH ? textWidth : SLOW_MOTION_PANEL_WIDTH;
    const int centre = labelPanelX(screenWidth) + LABEL_PANEL_WIDTH / 2;
    NoticePlace place = {};
    place.panelX = centre - width / 2;
    place.panelY = LABEL_PANEL_Y + rows * NOTICE_ROW_STEP;
    place.panelWidth = width;
    place.textX = centredTextX(centre, textLength);
    place.textY = LABEL_TEXT_Y + rows * NOTICE_ROW_STEP;
    return place;
}

int pauseMenuButtonCount(bool caveKept) {
    return caveKept ? PAUSE_MENU_NEW_CAVE_ROW + 1 : PAUSE_MENU_SAVE_CAVE_ROW;
}
