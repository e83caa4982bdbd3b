// draw2d_gl.cpp: the UI atlas and the 2D primitives (quad, text, framed panel,
// button) in window pixels, origin top-left, y down. Every primitive switches
// the GL state it needs on and off around itself.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/input.h"
#include "app/settings.h"
#include "render/image_file_sdl.h"
#include "render/textures_gl.h"
#include "ui/overlay.h"
#include "ui/pause_state.h"
#include "ui/draw2d_gl.h"
#include "ui/ui_layout.h"

static const char* const dashboardImagePath = "Media/dashboard.png";
// Exit status when the UI atlas cannot be used: the menus would be invisible
// and the game could not be left from inside.
static const int EXIT_NO_UI_ATLAS = 4;

[[noreturn]] static void failUiAtlas(const char* reason) {
    fprintf(stderr, "hollowmark: cannot load %s: %s\n", dashboardImagePath, reason);
    exit(EXIT_NO_UI_ATLAS);
}

// The atlas regions reach to this size of the image; a smaller one would
// leave menus and text invisible (pixels).
static const int UI_IMAGE_MIN_WIDTH = DASHBOARD_IMAGE_WIDTH;
static const int UI_IMAGE_MIN_HEIGHT = DASHBOARD_IMAGE_HEIGHT;

void loadUi() {
    const char* why = nullptr;
    SDL_Surface* image = readPngFile(dashboardImagePath, &why);
    if (image == nullptr) {
        failUiAtlas(why);
    }
    if (image->w < UI_IMAGE_MIN_WIDTH || image->h < UI_IMAGE_MIN_HEIGHT) {
        char reason[128];
        snprintf(reason, sizeof reason, "the image is %d x %d pixels; the interface needs %d x %d",
                 image->w, image->h, UI_IMAGE_MIN_WIDTH, UI_IMAGE_MIN_HEIGHT);
        SDL_FreeSurface(image);
        failUiAtlas(reason);
    }
    SDL_Surface* canvas = makeAtlasCanvas(image, UI_CANVAS_WIDTH, UI_CANVAS_HEIGHT, &why);
    SDL_FreeSurface(image);
    if (canvas == nullptr) {
        failUiAtlas(why);
    }
    uiTexture = createUiTexture(canvas);
    SDL_FreeSurface(canvas);
    fillAtlasTables();

    if (!resetPauseState()) {
        fprintf(stderr, "hollowmark: cannot allocate %zu bytes for the paused frame\n",
                frozenFrameBytes());
        exit(EXIT_NO_UI_ATLAS); // the same status: without it the pause menu cannot show
    }
    setupDashboardBanners();
}

void pixelProjection() {
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, screenWidth, screenHeight, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void begin2D() {
    pixelProjection();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    // The same functions the video set-up chose; set here too so that the
    // overlay never depends on what the scene left behind.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindTexture(GL_TEXTURE_2D, uiTexture);
}

void end2D() {
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}

void drawQuad(float x, float y, float w, float h, const QuadTexCoords& coords) {
    const float vertices[8] = {x, y + h, x + w, y + h, x + w, y, x, y};
    glVertexPointer(2, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, coords.uv);
    glDrawArrays(GL_QUADS, 0, 4);
}

void drawText(const char* text, int x, int y) {
    begin2D();
    // The glyph cell starts half an advance left of x.
    const int cellOffset = GLYPH_ADVANCE / 2;
    for (int k = 0; text[k] != '\0'; ++k) {
        const int glyph = glyphIndexFor(text[k]);
        if (glyph >= 0) {
            drawQuad((float)(x - cellOffset + GLYPH_ADVANCE * k), (float)y, (float)GLYPH_SIZE,
                     (float)GLYPH_SIZE, glyphCoords[glyph]);
        }
    }
    end2D();
}

static void drawPanelPiece(const PanelPiece& piece, void* context) {
    const int style = *(const int*)context;
    drawQuad((float)piece.x, (float)piece.y, (float)piece.w, (float)piece.h,
             panelCoords[panelCoordIndex(style, piece.column, piece.row)]);
}

void drawPanel(int x, int y, int w, int h, int style) {
    // Styles outside the laid-out three would index past the table.
    int safeStyle = style >= 0 && style < 3 ? style : 0;
    begin2D();
    layoutPanel(x, y, w, h, drawPanelPiece, &safeStyle);
    end2D();
}

bool drawButton(int x, int y, int w, int h, bool centred, bool interactive, const char* label) {
    placeButton(x, y, w, h, centred);
    const bool hovered = interactive && buttonHovered(x, y, w, h, mouseX, mouseY);
    const bool clicked = hovered && mouseButtonState[MOUSE_LEFT] == Pressed;
    drawPanel(x, y, w, h, hovered ? PanelHighlighted : PanelNormal);
    const int length = (int)strlen(label);
    drawText(label, centredTextX(x + w / 2, length), y + h / 2 - GLYPH_SIZE / 2);
    return clicked;
}
