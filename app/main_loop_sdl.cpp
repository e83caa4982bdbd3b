// main_loop_sdl.cpp: one pass of the main loop and the frame pacing that bounds
// it to 62.5 frames per second.
#include <GL/gl.h>
#include <SDL/SDL.h>

#include "app/cave_keeper.h"
#include "app/frame.h"
#include "app/input.h"
#include "app/replay.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "render/scene_gl.h"
#include "ui/overlay_gl.h"
#include "app/shell_sdl.h"
#include "app/sound_sdl.h"

void paceFrame() {
    int sleepMillis = advanceFrameClock(SDL_GetTicks());
    if (sleepMillis > 0 && !replayFast) {
        SDL_Delay((Uint32)sleepMillis);
    }
}

// Key and button events were taken out by pollInput; everything left (motion,
// focus, quit) goes here, so the queue is empty at the end of every frame and
// a quit behind other events is still seen.
static void drainEventQueue() {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
        if (event.type == SDL_QUIT) {
            quitRequested = true;
        }
    }
}

void runFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_PumpEvents();
    pollInput();
    pollPointer();
    // A replay's own Escape presses are in its frames; the live one ends it.
    if (runMode == ReplayGame && keyState[KEY_ESCAPE] == Pressed) {
        quitRequested = true;
    }
    const bool wasPaused = pauseLevel != 0.0f;
    if (!wasPaused) {
        // The factor comes from the previous frame's measurement (or a
        // replay's frame, which also holds the input the update reads).
        timeFactor = timeFactorFor(framesPerSecond);
        if (beforeRecordedUpdate(timeFactor)) {
            updateGame(timeFactor);
            // The collision queries of the next update see the rebuilt
            // surfaces, and the scene shows this frame's changes.
            rebuildDirtyChunks();
            afterRecordedUpdate();
        }
        renderScene();
    }
    drawOverlay(); // begins with paceFrame
    if (!wasPaused && pauseLevel != 0.0f) {
        checkRecordingNow();
    }
    if (replayFinished()) {
        quitRequested = true;
    }
    playSounds();
    SDL_GL_SwapBuffers();
    drainEventQueue();
    keepCaveAfterFrame(SDL_GetTicks(), pauseLevel != 0.0f);
}
