// pause_menu_gl.cpp: the column of buttons that slides up while paused: four,
// and "Save cave" and "New cave" below them while the cave is kept.
#include <time.h>

#include "app/cave_keeper.h"
#include "app/frame.h"
#include "app/settings.h"
#include "game/sound_events.h"
#include "screenshot/png_file.h"
#include "screenshot/screenshot.h"
#include "ui/pause_state.h"
#include "ui/overlay_gl.h"
#include "ui/draw2d_gl.h"
#include "ui/ui_layout.h"

void drawPauseMenu() {
    const int cx = (int)(screenWidth * 0.5);
    const int top = pauseMenuTop(pauseLevel, screenHeight);
    const int w = PAUSE_MENU_BUTTON_WIDTH, h = PAUSE_MENU_BUTTON_HEIGHT,
              gap = PAUSE_MENU_BUTTON_GAP;

    if (drawButton(cx, top, w, h, true, true, "Resume game")) {
        pauseRequested = false;
        recordUiSound(SoundButton);
    }
    if (drawButton(cx, top + gap, w, h, true, true, "Exit")) {
        quitRequested = true;
    }
    if (drawButton(cx, top + 2 * gap, w, h, true, true, "Save screenshot")) {
        // The shutter is its sound, recorded where the picture is saved.
        noteScreenshot(saveFrameAsScreenshot(frozenFrame, (int)screenWidth, (int)screenHeight),
                       screenshotProblem, frameClock);
    }
    // The label is chosen before the click is seen, so it changes a frame later.
    const char* frameRateLabel = showFrameRate ? "Don't display frame rate" : "Display frame rate";
    if (drawButton(cx, top + 3 * gap, w, h, true, true, frameRateLabel)) {
        showFrameRate = !showFrameRate;
        recordUiSound(SoundButton);
    }
    if (pauseMenuButtonCount(caveKept) > PAUSE_MENU_SAVE_CAVE_ROW) {
        if (drawButton(cx, top + PAUSE_MENU_SAVE_CAVE_ROW * gap, w, h, true, true, "Save cave")) {
            saveCaveSoon();
        }
        if (drawButton(cx, top + PAUSE_MENU_NEW_CAVE_ROW * gap, w, h, true, true, "New cave")) {
            startNewCave((long long)time(nullptr));
        }
    }
}
