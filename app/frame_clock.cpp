// frame_clock.cpp: frame-pacing arithmetic and the main loop's state. Core
// library; paceFrame supplies the real clock and the sleep.
#include "app/frame.h"

bool quitRequested = false;
float pauseLevel = 0.0f;
unsigned int frameClock = 0;
int frameMillis = 0;
float framesPerSecond = 0.0f;
float timeFactor = 2.0f;

int advanceFrameClock(unsigned int nowMillis) {
    // Unsigned subtraction: correct across the 32-bit tick counter's wrap
    // after 49 days. A frame longer than 2^31 ms cannot happen in practice.
    unsigned int elapsed = nowMillis - frameClock;
    int sleepMillis = 0;
    if (elapsed < (unsigned int)MIN_FRAME_MILLIS) {
        sleepMillis = MIN_FRAME_MILLIS - (int)elapsed;
        elapsed = MIN_FRAME_MILLIS;
    }
    if (elapsed > 0x7fffffffu) {
        elapsed = 0x7fffffffu;
    }
    frameMillis = (int)elapsed;
    frameClock += elapsed;
    framesPerSecond = 1000.0f / (float)frameMillis;
    return sleepMillis;
}

float timeFactorFor(float fps) {
    float factor = 60.0f / fps; // fps 0 gives infinity, clamped to 2
    if (!(factor >= 0.2f)) {
        factor = factor != factor ? 2.0f : 0.2f;
    }
    if (factor > 2.0f) {
        factor = 2.0f;
    }
    return factor;
}
