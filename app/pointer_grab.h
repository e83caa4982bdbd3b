// pointer_grab.h: with mouse look, who holds the pointer and what its motion
// amounts to. Core library: the rules are here; pointer_grab_sdl.cpp only
// hands them SDL's focus and motion and carries out the grab.
//
// The pointer is held (grabbed, hidden, its motion turning the view) exactly
// while the game is playing (not paused), "mouselook" is set and the window
// has the keyboard focus: never while the menu is up, never for a window in
// the background.
#pragma once

extern bool keyboardFocus;  // the window had the keyboard focus at this frame's poll
extern bool focusJustLost;  // ... and had it at the poll before
extern bool pointerGrabbed; // the game holds the pointer
// Pixels the held pointer moved (x right, y down) and the view has not yet
// turned by; only motion while held counts.
extern int pointerMotionX, pointerMotionY;

// Start of a frame's poll, with the focus SDL reports now. Motion added in
// the first poll after the grab changed is dropped: it is the pointer being
// taken or let go, not the player's hand.
void beginPointerPoll(bool focused);
void addPointerMotion(int dx, int dy);
// Hands over the motion gathered since the last call and clears it.
void takePointerMotion(int& dx, int& dy);

// With mouse look and the game playing, the pointer the game reads stands at
// the window's centre (pixels as the cross is drawn): the actions aim through
// it and the camera keeps its shoulder. Otherwise mouseX and mouseY are left
// as polled.
void centrePointerForMouseLook(bool playing);

// Whether the cross at the centre is drawn instead of the pointer sprite:
// with mouse look, while playing.
bool aimCrossShown(bool playing);

// Whether this frame's Escape (or a lost focus) toggles the pause. With
// "pauseonfocusloss" a focus lost while no pause is requested toggles, as
// Escape would; a pause already requested stays, whatever Escape says.
bool pauseToggled(bool escapePressed, bool pauseRequested);

enum PointerGrabChange {
    GrabUnchanged,
    GrabTake,            // hold the pointer and hide it
    GrabRelease,         // let it go where it is (the window lost the focus)
    GrabReleaseAtCentre, // let it go at the centre, where the cross was
};
// Brings pointerGrabbed in line with the rule above for this frame and says
// what the platform must do. Any change drops the motion gathered so far.
PointerGrabChange updatePointerGrab(bool playing);
