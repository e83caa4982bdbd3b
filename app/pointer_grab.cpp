// pointer_grab.cpp: the pointer's holder, focus and motion under mouse look.
// Core library.
#include "app/pointer_grab.h"

#include "app/input.h"
#include "app/settings.h"

bool keyboardFocus = true; // SDL starts a window as focused
bool focusJustLost = false;
bool pointerGrabbed = false;
int pointerMotionX = 0, pointerMotionY = 0;

// Set by a grab change, cleared by the poll after it.
static bool grabJustChanged = false;
static bool dropThisPoll = false;

void beginPointerPoll(bool focused) {
    focusJustLost = keyboardFocus && !focused;
    keyboardFocus = focused;
    dropThisPoll = grabJustChanged;
    grabJustChanged = false;
}

void addPointerMotion(int dx, int dy) {
    if (pointerGrabbed && !dropThisPoll) {
        pointerMotionX += dx;
        pointerMotionY += dy;
    }
}

void takePointerMotion(int& dx, int& dy) {
    dx = pointerMotionX;
    dy = pointerMotionY;
    pointerMotionX = 0;
    pointerMotionY = 0;
}

void centrePointerForMouseLook(bool playing) {
    if (mouseLook && playing) {
        mouseX = (int)(screenWidth * 0.5f);
        mouseY = (int)(screenHeight * 0.5f);
    }
}

bool aimCrossShown(bool playing) {
    return mouseLook && playing;
}

bool pauseToggled(bool escapePressed, bool pauseRequested) {
    if (pauseOnFocusLoss && focusJustLost) {
        return !pauseRequested;
    }
    return escapePressed;
}

PointerGrabChange updatePointerGrab(bool playing) {
    const bool wanted = mouseLook && playing && keyboardFocus;
    if (wanted == pointerGrabbed) {
        return GrabUnchanged;
    }
    pointerGrabbed = wanted;
    pointerMotionX = 0;
    pointerMotionY = 0;
    grabJustChanged = true;
    if (wanted) {
        return GrabTake;
    }
    return keyboardFocus ? GrabReleaseAtCentre : GrabRelease;
}
