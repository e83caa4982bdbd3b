// control_settings.cpp: the keys for how the player steers and sees: mouse
// look, its sensitivity and inversion, the field of view and pausing on a
// lost focus. Core library. Each missing key keeps the plain control.
#include <cmath>
#include <cstdio>

#include "app/settings.h"

bool mouseLook = false;
float mouseSensitivity = 1.0f;
bool invertMouse = false;
float sceneFov = PLAIN_FIELD_OF_VIEW;
bool pauseOnFocusLoss = false;

// The value of key, where 0 (or a missing key) means plainValue and anything
// else is held within [low, high]: a value beyond becomes the nearest limit
// and one that is not a number plainValue, each with one line on stderr.
static float limitedSetting(const char* key, float plainValue, float low, float high) {
    const float value = settingValue(key);
    if (value == 0.0f) {
        return plainValue;
    }
    float used = value;
    if (std::isnan(value)) {
        used = plainValue;
    } else if (value < low) {
        used = low;
    } else if (value > high) {
        used = high;
    }
    if (used != value) {
        fprintf(stderr, "hollowmark: settings.ini: %s %g is not within %g to %g; using %g\n", key,
                value, low, high, used);
    }
    return used;
}

void readControlSettings() {
    mouseLook = settingToBool(settingValue("mouselook"));
    mouseSensitivity =
        limitedSetting("mousesensitivity", 1.0f, MIN_MOUSE_SENSITIVITY, MAX_MOUSE_SENSITIVITY);
    invertMouse = settingToBool(settingValue("invertmouse"));
    sceneFov = limitedSetting("fov", PLAIN_FIELD_OF_VIEW, MIN_FIELD_OF_VIEW, MAX_FIELD_OF_VIEW);
    pauseOnFocusLoss = settingToBool(settingValue("pauseonfocusloss"));
}
