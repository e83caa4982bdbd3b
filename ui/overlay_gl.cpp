// overlay_gl.cpp: drawOverlay, the 2D step after the scene: frame pacing, the
// pause state with its frozen frame, the frame-rate line, the dashboard, the
// pause menu and the pointer sprite.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <string.h>

#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/pointer_grab.h"
#include "app/settings.h"
#include "screenshot/screenshot.h"
#include "ui/dashboard_text.h"
#include "ui/overlay_gl.h"
#include "ui/pause_state.h"
#include "ui/draw2d_gl.h"
#include "ui/ui_layout.h"
#include "game/game.h"
#include "game/new_game.h"
#include "render/scene_layout.h"
#include "screenshot/png_file.h"
#include "world/generate.h"
#include "app/shell_sdl.h"

// Frame-rate box: a panel at (25, 25), 300 x 10, its text centred on x 175.
static const int FRAME_RATE_PANEL_X = 25, FRAME_RATE_PANEL_Y = 25;
static const int FRAME_RATE_PANEL_WIDTH = 300, FRAME_RATE_PANEL_HEIGHT = 10;
static const int FRAME_RATE_TEXT_Y = 20;

// Dashboard: banners 60 pixels high on screen that slide 68 pixels out of
// the window as the pause level falls; texts on two lines 20 pixels apart.
static const int BANNER_DRAWN_HEIGHT = 60;
static const int BANNER_SLIDE = 68;
static const int DASHBOARD_MARGIN = 20;
static const int DASHBOARD_FIRST_LINE_Y = 18, DASHBOARD_SECOND_LINE_Y = 38;

// Where the pointer's hot spot lies inside its 40 x 60 sprite.
static const int POINTER_HOT_X = 12, POINTER_HOT_Y = 10;

// Puts the raster position exactly on the window's lower-left corner,
// whatever the matrices held: from the centre of an identity projection (a
// position always inside the view volume) a zero-sized bitmap moves it by
// half the window without any clipping test.
static void rasterAtWindowOrigin() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2f(0.0f, 0.0f);
    glBitmap(0, 0, 0.0f, 0.0f, -(float)(int)screenWidth * 0.5f, -(float)(int)screenHeight * 0.5f,
             nullptr);
}

void updatePause(float step) {
    const int width = (int)screenWidth;
    const int height = (int)screenHeight;
    if (applyPauseEscape(pauseToggled(keyState[KEY_ESCAPE] == Pressed, pauseRequested))) {
        // The scene just drawn this frame, before any of the overlay.
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, frozenFrame);
    }
    if (pauseLevel != 0.0f) {
        // Nothing may alter the copied pixels on their way back.
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_FOG);
        glDisable(GL_LIGHTING);
        rasterAtWindowOrigin();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, frozenFrame);
    }
    advancePauseLevel(step);
}

void drawDashboard() {
    const int offset = (int)((1.0f - pauseLevel * 0.01f) * BANNER_SLIDE);
    const int height = (int)screenHeight;
    begin2D();
    drawQuad(0.0f, (float)-offset, screenWidth, (float)BANNER_DRAWN_HEIGHT, bannerCoords[0]);
    drawQuad(0.0f, screenHeight - BANNER_DRAWN_HEIGHT + offset, screenWidth,
             (float)BANNER_DRAWN_HEIGHT, bannerCoords[1]);
    end2D();

    char versionText[64] = "";
    formatVersionText(gameVersion, versionText, sizeof versionText);
    drawText(gameTitle, DASHBOARD_MARGIN, DASHBOARD_FIRST_LINE_Y - offset);
    drawText(versionText, DASHBOARD_MARGIN, DASHBOARD_SECOND_LINE_Y - offset);
    const int rightEdge = (int)(screenWidth - DASHBOARD_MARGIN);
    drawText(dateText, rightEdge - (int)(strlen(dateText) * GLYPH_ADVANCE),
             DASHBOARD_FIRST_LINE_Y - offset);
    drawText(timeText, rightEdge - (int)(strlen(timeText) * GLYPH_ADVANCE),
             DASHBOARD_SECOND_LINE_Y - offset);
    const int lowerBannerTop = height - 61 + offset; // one pixel above the drawn banner
    drawText(creditLines[0], DASHBOARD_MARGIN, lowerBannerTop + 3);
    drawText(creditLines[1], DASHBOARD_MARGIN, lowerBannerTop + 23);
    char seedText[32] = "";
    if (dashboardSeedText(plainLabels, worldSeed, seedText, sizeof seedText)) {
        drawText(seedText, rightEdge - (int)(strlen(seedText) * GLYPH_ADVANCE),
                 lowerBannerTop + 23);
    }
}

// F12 with "screenshotkey": the scene as it stands. Before any of the overlay
// is drawn the back buffer holds just the scene; while paused, the frozen
// frame is that scene.
static void saveScreenshotOnKey() {
    const ScreenshotKeyAction action =
        screenshotKeyAction(screenshotKey, keyState[KEY_F12] == Pressed, pauseLevel);
    if (action == ScreenshotKeySaveFrozen) {
        noteScreenshot(saveFrameAsScreenshot(frozenFrame, (int)screenWidth, (int)screenHeight),
                       screenshotProblem, frameClock);
    } else if (action == ScreenshotKeySaveLive) {
        const int width = (int)screenWidth;
        const int height = (int)screenHeight;
        std::vector<unsigned char> frame((size_t)(width > 0 ? width : 0) * 4 *
                                         (size_t)(height > 0 ? height : 0));
        if (!frame.empty()) {
            glPixelStorei(GL_PACK_ALIGNMENT, 4);
            glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
        }
        noteScreenshot(saveFrameAsScreenshot(frame.data(), width, height), screenshotProblem,
                       frameClock);
    }
}

// Drawn over the frozen frame too, and never into a screenshot: both kinds of
// save take the scene before the overlay.
void drawScreenshotNotice() {
    const char* text = screenshotNoticeText(plainLabels, frameClock);
    if (text == nullptr) {
        return;
    }
    const NoticePlace place = screenshotNoticePlace(screenWidth, (int)strlen(text),
                                                    slowMotionPanelShown(plainLabels, slowMotion));
    drawPanel(place.panelX, place.panelY, place.panelWidth, LABEL_PANEL_HEIGHT, PanelNormal);
    drawText(text, place.textX, place.textY);
}

void drawPointer() {
    begin2D();
    drawQuad((float)(mouseX - POINTER_HOT_X), (float)(mouseY - POINTER_HOT_Y), (float)POINTER_WIDTH,
             (float)POINTER_HEIGHT, pointerCoords[0]);
    end2D();
}

// With mouse look the actions aim through the centre, and the cross shows it.
static void drawAimCross() {
    begin2D();
    drawQuad((float)(mouseX - CROSS_SIZE / 2), (float)(mouseY - CROSS_SIZE / 2), (float)CROSS_SIZE,
             (float)CROSS_SIZE, crossCoords);
    end2D();
}

void drawOverlay() {
    static bool firstFrameDone = false;

    paceFrame();
    updateClockText();
    saveScreenshotOnKey();
    const bool wasPaused = pauseLevel != 0.0f;
    updatePause(1.0f);
    syncPointerGrab();

    if (showFrameRate) {
        char text[128] = "";
        formatFrameRateText(framesPerSecond, text, sizeof text);
        drawPanel(FRAME_RATE_PANEL_X, FRAME_RATE_PANEL_Y, FRAME_RATE_PANEL_WIDTH,
                  FRAME_RATE_PANEL_HEIGHT, PanelNormal);
        const int centre = FRAME_RATE_PANEL_X + FRAME_RATE_PANEL_WIDTH / 2;
        drawText(text, centredTextX(centre, (int)strlen(text)), FRAME_RATE_TEXT_Y);
    }
    drawScreenshotNotice();
    if (pauseLevel != 0.0f) {
        drawDashboard();
        drawPauseMenu();
    }
    mouseInWindow = (SDL_GetAppState() & SDL_APPMOUSEFOCUS) != 0;
    // Once the menu has closed (by Escape or "Resume game") the pointer goes
    // where the view does not turn, so the game resumes looking where it was
    // paused. Not before: the sliding buttons would pass under it.
    if (pointerRecentreDue(recenterPointer, wasPaused, pauseLevel, mouseInWindow, keyboardFocus,
                           mouseLook)) {
        warpPointerToCentre();
    }
    if (aimCrossShown(pauseLevel == 0.0f)) {
        drawAimCross();
    } else if (firstFrameDone && mouseInWindow) {
        drawPointer();
    }
    firstFrameDone = true;
}
