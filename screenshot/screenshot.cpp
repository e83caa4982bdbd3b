// screenshot.cpp: a frame (the pause menu's "Save screenshot" gives the one
// frozen when the pause began) as the next free PNG in the working folder.
#include "screenshot/screenshot.h"

#include <stdio.h>

#include <vector>

#include "game/sound_events.h"
#include "screenshot/png_file.h"

int saveFrameAsScreenshot(const unsigned char* frame, int width, int height) {
    if (frame == nullptr || width <= 0 || height <= 0) {
        snprintf(screenshotProblem, sizeof screenshotProblem, "%s", "no picture");
        return 0;
    }
    recordUiSound(SoundShutter);
    std::vector<unsigned char> image((size_t)width * 4 * (size_t)height);
    flipFrameToImage(frame, width, height, image.data());
    std::vector<unsigned char> png;
    // Either call reports its own failure on standard error; the game goes on.
    if (!encodeScreenshotPng(image.data(), width, height, png)) {
        return 0;
    }
    return writeNumberedScreenshot(".", png.data(), png.size());
}
