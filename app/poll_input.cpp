// poll_input.cpp: turns SDL's key and mouse-button events into the input
// tables, once per frame, right after SDL_PumpEvents.
#include <SDL/SDL.h>

#include "app/input.h"

// Takes every event of the given mask out of the queue, one at a time.
template <typename Apply> static void drainEvents(Uint32 mask, Apply apply) {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, mask) > 0) {
        apply(event);
    }
}

void pollInput() {
    // All downs before all ups: a key that goes down and up within one
    // frame ends the frame Up, and its press is never seen.
    promotePressedKeys();
    drainEvents(SDL_KEYDOWNMASK, [](const SDL_Event& e) { applyKeyDown((int)e.key.keysym.sym); });
    drainEvents(SDL_KEYUPMASK, [](const SDL_Event& e) { applyKeyUp((int)e.key.keysym.sym); });
    promotePressedButtons();
    drainEvents(SDL_MOUSEBUTTONDOWNMASK,
                [](const SDL_Event& e) { applyButtonDown((int)e.button.button); });
    drainEvents(SDL_MOUSEBUTTONUPMASK,
                [](const SDL_Event& e) { applyButtonUp((int)e.button.button); });
    SDL_GetMouseState(&mouseX, &mouseY);
}
