// drawn_support_gl.h: what the drawn tests of the scene share: opening the real
// window through the game's own start-up code, reading a frame back, saving it
// for a person to look at, and projecting world points with the camera maths.
#pragma once

#include <GL/gl.h>
#include <lodepng.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/settings.h"
#include "app/shell_sdl.h"
#include "render/frustum.h"

namespace drawn {

// Top-down RGB frame, as the window shows it.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[((size_t)y * width + x) * 3]; }
    int brightness(int x, int y) const {
        const unsigned char* p = at(x, y);
        return (p[0] + p[1] + p[2]) / 3;
    }
};

// The window size and graphics keys a test wants, set in code instead of
// settings.ini, then the real start-up step.
inline void openWindow(int width, int height) {
    screenWidth = (float)width;
    screenHeight = (float)height;
    screenBpp = 0;
    fullscreen = false;
    showCursor = false;
    antialiasing = false;
    mipmapping = false;
    initVideo();
}

inline Frame readFrame() {
    Frame frame;
    frame.width = (int)screenWidth;
    frame.height = (int)screenHeight;
    std::vector<unsigned char> bottomUp((size_t)frame.width * frame.height * 3, 0);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    frame.rgb.resize(bottomUp.size());
    const size_t row = (size_t)frame.width * 3;
    for (int y = 0; y < frame.height; y++) {
        const unsigned char* src = &bottomUp[(size_t)(frame.height - 1 - y) * row];
        std::copy(src, src + row, &frame.rgb[(size_t)y * row]);
    }
    return frame;
}

// Saves the frame under $HOLLOWMARK_TEST_OUT (or /tmp) as NAME.png.
inline std::string saveFrame(const Frame& frame, const char* name) {
    const char* base = std::getenv("HOLLOWMARK_TEST_OUT");
    std::string dir = base != nullptr && base[0] != '\0' ? base : "/tmp";
    mkdir(dir.c_str(), 0755);
    const std::string path = dir + "/" + name + ".png";
    lodepng_encode24_file(path.c_str(), frame.rgb.data(), frame.width, frame.height);
    return path;
}

// A world point in window pixels (x right, y down) through the scene's own
// projection; false when it lies behind the eye.
struct ScreenPoint {
    float x, y;
};

inline bool project(const CameraPose& camera, float zNear, float zFar, float px, float py, float pz,
                    ScreenPoint& out) {
    float projection[16];
    float modelview[16];
    perspectiveMatrix(projection, 50.0f, screenWidth / screenHeight, zNear, zFar);
    cameraModelviewMatrix(modelview, camera);
    float eye[4];
    for (int r = 0; r < 4; r++) {
        eye[r] =
            modelview[r] * px + modelview[4 + r] * py + modelview[8 + r] * pz + modelview[12 + r];
    }
    float clip[4];
    for (int r = 0; r < 4; r++) {
        clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] + projection[8 + r] * eye[2] +
                  projection[12 + r] * eye[3];
    }
    if (clip[3] <= 0.0f) {
        return false;
    }
    out.x = (clip[0] / clip[3] + 1.0f) * 0.5f * screenWidth;
    out.y = screenHeight - (clip[1] / clip[3] + 1.0f) * 0.5f * screenHeight;
    return true;
}

} // namespace drawn
