// pause_state.h: the pause level's arithmetic and the Escape rule, apart from
// the GL capture and replay that go with them. Core library.
#pragma once

const float PAUSE_LEVEL_MAX = 100.0f;
const float PAUSE_LEVEL_STEP = 5.0f; // per frame (times the step), so 20 frames each way

// Applies one frame's Escape state to pauseRequested. Returns true when the
// caller must capture the frame now: the pause was just requested while the
// level is still exactly 0. Escape during the closing slide reverses it
// without a new capture, so the image taken at the start stays.
bool applyPauseEscape(bool escapePressed);
// Moves pauseLevel 5 x step toward 100 while a pause is requested, toward 0
// otherwise, clamped to 0..100; a level that is not a number becomes 0.
void advancePauseLevel(float step);
