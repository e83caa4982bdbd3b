// window_size.cpp: the size checks made before SDL sees a video mode request.
#include "app/window_size.h"

#include "app/settings.h"

int windowSide(float setting) {
    // Not a number is 0, the desktop's size, by the settings file's rule.
    return settingToInt(setting);
}

bool displayAvailable(const char* display, const char* videoDriver) {
    const bool hasDisplay = display != nullptr && display[0] != '\0';
    const bool driverAsked = videoDriver != nullptr && videoDriver[0] != '\0';
    return hasDisplay || driverAsked;
}

bool needsDesktopProbe(float width, float height) {
    return width == 0.0f || height == 0.0f;
}

bool windowSizeAllowed(int width, int height) {
    return width >= 0 && width <= MAX_WINDOW_SIDE && height >= 0 && height <= MAX_WINDOW_SIDE;
}
