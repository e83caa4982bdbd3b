// poll_input_sdl.cpp: turns SDL's key and mouse-button events into the input
// tables, once per frame, right after SDL_PumpEvents.
#include <SDL/SDL.h>

#include "app/input.h"
#include "app/settings.h"
#include "app/shell_sdl.h"

// The tables are indexed by SDL 1.2's own codes; the names the game uses
// must stay those codes.
static_assert(KEY_UP == SDLK_UP && KEY_DOWN == SDLK_DOWN && KEY_RIGHT == SDLK_RIGHT &&
                  KEY_LEFT == SDLK_LEFT && KEY_W == SDLK_w && KEY_S == SDLK_s && KEY_A == SDLK_a &&
                  KEY_D == SDLK_d && KEY_SPACE == SDLK_SPACE && KEY_Q == SDLK_q &&
                  KEY_E == SDLK_e && KEY_ESCAPE == SDLK_ESCAPE && KEY_F12 == SDLK_F12,
              "key codes differ from SDL 1.2's");
static_assert(MOUSE_LEFT == SDL_BUTTON_LEFT && MOUSE_MIDDLE == SDL_BUTTON_MIDDLE &&
                  MOUSE_RIGHT == SDL_BUTTON_RIGHT,
              "button numbers differ from SDL 1.2's");
static_assert(SDLK_LAST <= KEY_STATE_COUNT, "an SDL key code would not fit the key table");

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

void warpPointerToCentre() {
    const int x = (int)(screenWidth * 0.5f);
    const int y = (int)(screenHeight * 0.5f);
    SDL_WarpMouse((Uint16)x, (Uint16)y);
    // This frame's consumers see it too, not only the next poll.
    mouseX = x;
    mouseY = y;
}
