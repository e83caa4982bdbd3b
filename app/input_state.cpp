// input_state.cpp: the input tables and the rules one poll applies to them.
// Core library; pollInput feeds SDL's events through these functions.
#include "app/input.h"

int keyState[KEY_STATE_COUNT];
int mouseButtonState[MOUSE_BUTTON_COUNT];
int mouseX = 0;
int mouseY = 0;
bool mouseInWindow = false;

static void promote(int* table, int count) {
    for (int i = 0; i < count; ++i) {
        if (table[i] == Pressed) {
            table[i] = Held;
        }
    }
}

void promotePressedKeys() {
    promote(keyState, KEY_STATE_COUNT);
}
void promotePressedButtons() {
    promote(mouseButtonState, MOUSE_BUTTON_COUNT);
}

// Key codes and button numbers beyond the tables (SDL 1.2 has key codes up
// to 322, but a driver may report more) are dropped rather than written
// out of bounds.
void applyKeyDown(int code) {
    if (code >= 0 && code < KEY_STATE_COUNT) {
        keyState[code] = Pressed;
    }
}

void applyKeyUp(int code) {
    if (code >= 0 && code < KEY_STATE_COUNT) {
        keyState[code] = Up;
    }
}

// Button 0 does not exist in SDL 1.2; its entry is never written.
void applyButtonDown(int button) {
    if (button >= 1 && button < MOUSE_BUTTON_COUNT) {
        mouseButtonState[button] = Pressed;
    }
}

void applyButtonUp(int button) {
    if (button >= 1 && button < MOUSE_BUTTON_COUNT) {
        mouseButtonState[button] = Up;
    }
}
