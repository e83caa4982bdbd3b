// pause_state.cpp: pause request, pause level, frame-rate switch, the
// frozen-frame buffer and the overlay's small decisions. Core library: the GL
// read and draw live in overlay_gl.cpp.
#include "ui/pause_state.h"

#include <stdio.h>
#include <stdlib.h>

#include "app/frame.h"
#include "app/settings.h"
#include "ui/overlay.h"

bool pauseRequested = false;
unsigned char* frozenFrame = nullptr;
bool showFrameRate = false;

size_t frozenFrameBytes() {
    const int width = screenWidth > 0.0f ? (int)screenWidth : 0;
    const int height = screenHeight > 0.0f ? (int)screenHeight : 0;
    return (size_t)width * 4 * (size_t)height;
}

// The frame buffer is allocated once, at start-up, and kept: the window size
// never changes after the video mode is set.
bool resetPauseState() {
    pauseLevel = 0.0f;
    pauseRequested = false;
    const size_t bytes = frozenFrameBytes();
    free(frozenFrame);
    // Zeroed so that a frame replayed before any capture shows black, not
    // whatever the allocator had there. At least one byte, so the pointer is
    // never null when this call succeeds.
    frozenFrame = (unsigned char*)calloc(bytes > 0 ? bytes : 1, 1);
    return frozenFrame != nullptr;
}

bool applyPauseEscape(bool escapePressed) {
    if (!escapePressed) {
        return false;
    }
    if (pauseRequested) {
        pauseRequested = false;
        return false;
    }
    pauseRequested = true;
    return pauseLevel == 0.0f;
}

void advancePauseLevel(float step) {
    float level = pauseLevel + (pauseRequested ? PAUSE_LEVEL_STEP : -PAUSE_LEVEL_STEP) * step;
    if (level > PAUSE_LEVEL_MAX) {
        level = PAUSE_LEVEL_MAX;
    }
    if (level < 0.0f) {
        level = 0.0f;
    }
    if (level != level) {
        level = 0.0f;
    }
    pauseLevel = level;
}

bool slowMotionPanelShown(bool plainLabels, bool slowMotion) {
    return plainLabels && slowMotion;
}

bool dashboardSeedText(bool plainLabels, unsigned int seed, char* out, size_t size) {
    if (!plainLabels) {
        return false;
    }
    snprintf(out, size, "Seed %u", seed);
    return true;
}

ScreenshotKeyAction screenshotKeyAction(bool screenshotKey, bool f12Pressed, float pauseLevel) {
    if (!screenshotKey || !f12Pressed) {
        return ScreenshotKeyNone;
    }
    return pauseLevel != 0.0f ? ScreenshotKeySaveFrozen : ScreenshotKeySaveLive;
}

bool pointerRecentreDue(bool recenterPointer, bool wasPaused, float pauseLevel,
                        bool pointerInWindow, bool keyboardFocus, bool mouseLook) {
    return recenterPointer && wasPaused && pauseLevel == 0.0f && pointerInWindow &&
           keyboardFocus && !mouseLook;
}

char screenshotNotice[SCREENSHOT_NOTICE_SIZE] = "";
unsigned int screenshotNoticeSince = 0;
bool screenshotNoticeSet = false;

void noteScreenshot(int number, const char* problem, unsigned int nowMillis) {
    if (number > 0) {
        snprintf(screenshotNotice, sizeof screenshotNotice, "Saved screenshot%d.png", number);
    } else if (problem != nullptr && problem[0] != '\0') {
        snprintf(screenshotNotice, sizeof screenshotNotice, "Not saved: %s", problem);
    } else {
        snprintf(screenshotNotice, sizeof screenshotNotice, "%s", "Screenshot not saved");
    }
    screenshotNoticeSince = nowMillis;
    screenshotNoticeSet = true;
}

const char* screenshotNoticeText(bool plainLabels, unsigned int nowMillis) {
    // Unsigned difference: right across the millisecond clock's wrap.
    if (!plainLabels || !screenshotNoticeSet ||
        nowMillis - screenshotNoticeSince >= SCREENSHOT_NOTICE_MILLIS) {
        return nullptr;
    }
    return screenshotNotice;
}
