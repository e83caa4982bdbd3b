// window_size.cpp: the size checks made before SDL sees a video mode request.
#include "app/window_size.h"

#include <cmath>

#include "app/settings.h"

int windowSide(float setting) {
    // Not a number is no size at all: handed on as a negative side, so it is
    // refused rather than taken for 0 (the desktop's size).
    if (std::isnan(setting)) {
        return -1;
    }
    return settingToInt(setting);
}

bool needsDesktopProbe(float width, float height) {
    return width == 0.0f || height == 0.0f;
}

bool windowSizeAllowed(int width, int height) {
    return width >= 0 && width <= MAX_WINDOW_SIDE && height >= 0 && height <= MAX_WINDOW_SIDE;
}
