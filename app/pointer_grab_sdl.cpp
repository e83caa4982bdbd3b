// pointer_grab_sdl.cpp: hands SDL's focus and pointer motion to the rules of
// pointer_grab.h and carries out the grab they ask for.
#include <SDL/SDL.h>

#include "app/frame.h"
#include "app/pointer_grab.h"
#include "app/settings.h"
#include "app/shell_sdl.h"

void pollPointer() {
    beginPointerPoll((SDL_GetAppState() & SDL_APPINPUTFOCUS) != 0);
    // While the pointer is held and hidden SDL reports its motion relative,
    // keeping it inside the window by warping it back.
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_MOUSEMOTIONMASK) > 0) {
        addPointerMotion(event.motion.xrel, event.motion.yrel);
    }
    centrePointerForMouseLook(pauseLevel == 0.0f);
}

void syncPointerGrab() {
    switch (updatePointerGrab(pauseLevel == 0.0f)) {
    case GrabTake:
        SDL_ShowCursor(SDL_DISABLE);
        SDL_WM_GrabInput(SDL_GRAB_ON);
        break;
    case GrabReleaseAtCentre:
        SDL_WM_GrabInput(SDL_GRAB_OFF);
        SDL_ShowCursor(showCursor ? SDL_ENABLE : SDL_DISABLE);
        warpPointerToCentre();
        break;
    case GrabRelease:
        SDL_WM_GrabInput(SDL_GRAB_OFF);
        SDL_ShowCursor(showCursor ? SDL_ENABLE : SDL_DISABLE);
        break;
    case GrabUnchanged:
        break;
    }
}
