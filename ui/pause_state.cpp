// pause_state.cpp: pause request, pause level, frame-rate switch and the
// frozen-frame buffer. Core library: the GL read and draw live in overlay_gl.cpp.
#include "ui/pause_state.h"

#include <stdio.h>
#include <stdlib.h>

#include "app/frame.h"
#include "app/settings.h"
#include "ui/overlay.h"

bool pauseRequested = false;
unsigned char* frozenFrame = nullptr;
bool showFrameRate = false;

// The frame buffer is allocated once, at start-up, and kept: the window size
// never changes after the video mode is set.
void resetPauseState() {
    pauseLevel = 0.0f;
    pauseRequested = false;
    const int width = screenWidth > 0.0f ? (int)screenWidth : 0;
    const int height = screenHeight > 0.0f ? (int)screenHeight : 0;
    const size_t bytes = (size_t)width * 4 * (size_t)height;
    free(frozenFrame);
    // Zeroed so that a frame replayed before any capture shows black, not
    // whatever the allocator had there. At least one byte, so the pointer is
    // never null after this call.
    frozenFrame = (unsigned char*)calloc(bytes > 0 ? bytes : 1, 1);
    if (frozenFrame == nullptr) {
        fprintf(stderr, "hollowmark: cannot allocate %zu bytes for the paused frame\n", bytes);
        exit(4); // the same status as an unusable UI atlas: the UI cannot start
    }
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
