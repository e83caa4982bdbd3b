// input.h: polled input tables. pollInput (shell_sdl.h) fills them once per
// frame from SDL's queue; everything else only reads them. Core library: the
// tables and the rules that update them live here so that tests can feed
// events without a window.
#pragma once

enum InputState {
    Up = 0,
    Held = 1,
    Pressed = 2, // went down since the previous poll; seen for exactly one frame
};

const int KEY_STATE_COUNT = 500;   // indexed by SDL 1.2 key code
const int MOUSE_BUTTON_COUNT = 10; // indexed by SDL 1.2 button number; entry 0 unused

extern int keyState[KEY_STATE_COUNT];
extern int mouseButtonState[MOUSE_BUTTON_COUNT];
extern int mouseX, mouseY; // window pixels, origin top-left, y down
// Whether the window had the mouse focus when the overlay last looked;
// written by the overlay each frame, read by the next game update.
extern bool mouseInWindow;

// SDL 1.2 key codes and button numbers the game binds.
const int KEY_SPACE = 32;
const int KEY_ESCAPE = 27;
const int KEY_A = 97;
const int KEY_D = 100;
const int KEY_E = 101;
const int KEY_Q = 113;
const int KEY_S = 115;
const int KEY_W = 119;
const int KEY_UP = 273;
const int KEY_DOWN = 274;
const int KEY_RIGHT = 275;
const int KEY_LEFT = 276;
const int KEY_F12 = 293; // the screenshot key, when "screenshotkey" is set
const int MOUSE_LEFT = 1;
const int MOUSE_MIDDLE = 2;
const int MOUSE_RIGHT = 3;

// The rules of one poll, in the order pollInput applies them: promote last
// frame's Pressed keys to Held, apply every key-down, then every key-up; then
// the same for the mouse buttons. Codes outside the tables are ignored.
void promotePressedKeys();
void applyKeyDown(int code);
void applyKeyUp(int code);
void promotePressedButtons();
void applyButtonDown(int button);
void applyButtonUp(int button);
