// frame_clock.cpp: frame-pacing arithmetic and the main loop's state. Core
// library; paceFrame supplies the real clock and the sleep.
#include "app/frame.h"

bool quitRequested = false;
float pauseLevel = 0.0f;
unsigned int frameClock = 0;
int frameMillis = 0;
float framesPerSecond = 0.0f;
float timeFactor = 2.0f;

// The signed distance from a to b on the wrapping 32-bit tick counter.
static int tickDifference(unsigned int from, unsigned int to) {
    unsigned int forward = to - from;
    return forward <= 0x7fffffffu ? (int)forward : -(int)(~forward) - 1;
}

int advanceFrameClock(unsigned int nowMillis) {
    // Measured on the wrapping counter, so the wrap after 49 days is an
    // ordinary frame.
    int elapsed = tickDifference(frameClock, nowMillis);
    // A sleep that wakes a millisecond early leaves the real clock just
    // behind the pacing clock; the next frame sleeps that much longer. A
    // clock far behind means the tick counter started again: pace from now.
    if (elapsed < -MIN_FRAME_MILLIS) {
        frameClock = nowMillis;
        elapsed = 0;
    }
    int sleepMillis = 0;
    if (elapsed < MIN_FRAME_MILLIS) {
        sleepMillis = MIN_FRAME_MILLIS - elapsed;
        elapsed = MIN_FRAME_MILLIS;
    }
    frameMillis = elapsed;
    frameClock += (unsigned int)elapsed;
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
