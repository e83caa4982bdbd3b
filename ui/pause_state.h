// pause_state.h: the pause level's arithmetic and the Escape rule, apart from
// the GL capture and replay that go with them, and the small decisions the
// overlay, the scene and the shell act on (panels, seed, F12, pointer, the
// screenshot notice). Core library: every decision is a function of plain
// values, so the drawing files only draw and call.
#pragma once

#include <stddef.h>

const float PAUSE_LEVEL_MAX = 100.0f;
const float PAUSE_LEVEL_STEP = 5.0f; // per frame (times the step), so 20 frames each way

// Sets pauseLevel to 0, pauseRequested to false and allocates frozenFrame
// for screenWidth x screenHeight (zeroed). Returns false, and leaves
// frozenFrame null, when the memory cannot be had; the shell then ends the
// start with status 4, as for an unusable interface atlas.
bool resetPauseState();
// The bytes resetPauseState asks for: screenWidth x 4 x screenHeight.
size_t frozenFrameBytes();

// Applies one frame's Escape state to pauseRequested. Returns true when the
// caller must capture the frame now: the pause was just requested while the
// level is still exactly 0. Escape during the closing slide reverses it
// without a new capture, so the image taken at the start stays.
bool applyPauseEscape(bool escapePressed);
// Moves pauseLevel 5 x step toward 100 while a pause is requested, toward 0
// otherwise, clamped to 0..100; a level that is not a number becomes 0.
void advancePauseLevel(float step);

// With "plainlabels", while slow motion is on, a panel under the action label
// says so; without the key nothing shows.
bool slowMotionPanelShown(bool plainLabels, bool slowMotion);
// With "plainlabels" the dashboard's lower banner shows the cave's seed:
// writes "Seed <n>" into out and returns true; without the key returns false
// and leaves out alone.
bool dashboardSeedText(bool plainLabels, unsigned int seed, char* out, size_t size);

// What F12 does this frame: nothing without "screenshotkey" or unless F12 is
// Pressed; while paused (any level but 0) the frozen frame is saved, since
// that is the scene on screen; otherwise the scene just drawn is read.
enum ScreenshotKeyAction { ScreenshotKeyNone, ScreenshotKeySaveFrozen, ScreenshotKeySaveLive };
ScreenshotKeyAction screenshotKeyAction(bool screenshotKey, bool f12Pressed, float pauseLevel);

// With "recenterpointer", the frame in which the pause menu has closed (the
// level was not 0 before this frame's pause step and is 0 after it), the
// pointer goes back to the window's centre, but only while it is inside the
// window: outside it belongs to another program. Never without the keyboard
// focus (the pointer is another window's), nor with "mouselook", whose grab
// holds the pointer instead.
bool pointerRecentreDue(bool recenterPointer, bool wasPaused, float pauseLevel,
                        bool pointerInWindow, bool keyboardFocus, bool mouseLook);

// The screenshot notice: with "plainlabels", for SCREENSHOT_NOTICE_MILLIS
// after a save, a panel under the action label names the file written or
// says that nothing was saved and why.
const unsigned int SCREENSHOT_NOTICE_MILLIS = 3000; // frameClock milliseconds
const int SCREENSHOT_NOTICE_SIZE = 64;              // bytes of text, with its zero
extern char screenshotNotice[SCREENSHOT_NOTICE_SIZE];
extern unsigned int screenshotNoticeSince; // frameClock when the save was made
extern bool screenshotNoticeSet;           // false until the first save of the run
// Records a save made at nowMillis: number the n of the "screenshot<n>.png"
// written, or 0 when nothing was saved, with problem a short reason (may be
// null or empty).
void noteScreenshot(int number, const char* problem, unsigned int nowMillis);
// The notice's text at nowMillis, or null when none is due: without
// "plainlabels", before any save, and from SCREENSHOT_NOTICE_MILLIS after the
// save on (measured on the wrapping millisecond clock).
const char* screenshotNoticeText(bool plainLabels, unsigned int nowMillis);
