// test_shell_window_gl.cpp: the real window, GL context and main-loop frame,
// opened through the game's own start-up code on a virtual X server.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/frame.h"
#include "app/input.h"
#include "app/settings.h"
#include "app/shell_sdl.h"

#ifndef GL_MULTISAMPLE
#define GL_MULTISAMPLE 0x809D
#endif
#ifndef GL_SAMPLE_BUFFERS
#define GL_SAMPLE_BUFFERS 0x80A8
#endif

namespace {

// Each test opens its own window from the given settings and closes SDL
// again at the end, so the tests do not depend on one another.
void openWindow(float width, float height) {
    screenWidth = width;
    screenHeight = height;
    screenBpp = 0;
    fullscreen = false;
    showCursor = false;
    antialiasing = false;
    aspectRatio = width / height;
    initVideo();
}

struct WindowGuard {
    ~WindowGuard() { SDL_Quit(); }
};

TEST(ShellWindow, ConfiguredSizeAndFixedGlState) {
    WindowGuard guard;
    openWindow(320.0f, 240.0f);
    ASSERT_NE(screenSurface, nullptr);
    EXPECT_EQ(screenWidth, 320.0f);
    EXPECT_EQ(screenHeight, 240.0f);
    EXPECT_GT(screenBpp, 0);
    EXPECT_EQ(screenBpp, (int)screenSurface->format->BitsPerPixel);
    EXPECT_FLOAT_EQ(aspectRatio, 4.0f / 3.0f);
    EXPECT_TRUE(screenSurface->flags & SDL_OPENGL);
    EXPECT_FALSE(screenSurface->flags & SDL_FULLSCREEN);
    EXPECT_FLOAT_EQ(startupFieldOfView, 45.0f);

    char* caption = nullptr;
    char* iconCaption = nullptr;
    SDL_WM_GetCaption(&caption, &iconCaption);
    ASSERT_NE(caption, nullptr);
    EXPECT_STREQ(caption, "The Hollowmark");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    int doubleBuffer = 0;
    int depthBits = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depthBits);
    EXPECT_EQ(doubleBuffer, 1);
    EXPECT_GE(depthBits, 16);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    // GL_MULTISAMPLE is on by default in GL; without antialiasing there is
    // simply no multisample buffer for it to act on.
    GLint sampleBuffers = -1;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    EXPECT_EQ(sampleBuffers, 0);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_SMOOTH));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_GREATER);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    GLfloat alphaRef = -1.0f;
    glGetFloatv(GL_ALPHA_TEST_REF, &alphaRef);
    EXPECT_EQ(alphaRef, 0.0f);
    GLfloat clearColour[4] = {-1.0f, -1.0f, -1.0f, -1.0f};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    EXPECT_EQ(clearColour[0], 0.0f);
    EXPECT_EQ(clearColour[1], 0.0f);
    EXPECT_EQ(clearColour[2], 0.0f);
    EXPECT_EQ(clearColour[3], 1.0f);
    GLfloat clearDepth = 0.0f;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth);
    EXPECT_EQ(clearDepth, 1.0f); // 1000 requested, clamped by GL

    // The start-up projection: a 45 degree perspective, near 1, far 1000.
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const float f = 1.0f / std::tan(22.5f * 3.14159265f / 180.0f);
    EXPECT_NEAR(projection[0], f / (4.0f / 3.0f), 1e-5);
    EXPECT_NEAR(projection[5], f, 1e-5);
    EXPECT_NEAR(projection[10], -1001.0f / 999.0f, 1e-5);
    EXPECT_NEAR(projection[11], -1.0f, 1e-6);
    EXPECT_NEAR(projection[14], -2000.0f / 999.0f, 1e-5);
    EXPECT_NEAR(projection[15], 0.0f, 1e-6);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(ShellWindow, ZeroSizesTakeTheDesktopSize) {
    WindowGuard guard;
    // The virtual X server is 1024 x 768 (see CMakeLists.txt).
    openWindow(0.0f, 0.0f);
    EXPECT_EQ(screenWidth, 1024.0f);
    EXPECT_EQ(screenHeight, 768.0f);
    EXPECT_FLOAT_EQ(aspectRatio, 1024.0f / 768.0f);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    // The start-up projection already uses the probed ratio.
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 1024.0f / 768.0f, 1e-5);
}

TEST(ShellWindow, OnlyTheHeightGivenAndCursorShown) {
    WindowGuard guard;
    screenWidth = 0.0f;
    screenHeight = 300.0f;
    screenBpp = 0;
    fullscreen = false;
    showCursor = true;
    antialiasing = false;
    initVideo();
    EXPECT_EQ(screenWidth, 1024.0f);
    EXPECT_EQ(screenHeight, 300.0f);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST(ShellWindow, AntialiasingAsksForFourSamplesAndSmoothing) {
    WindowGuard guard;
    screenWidth = 200.0f;
    screenHeight = 100.0f;
    screenBpp = 0;
    fullscreen = false;
    showCursor = false;
    antialiasing = true;
    initVideo();
    antialiasing = false;
    int buffers = 0;
    int samples = 0;
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLEBUFFERS, &buffers);
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &samples);
    EXPECT_EQ(buffers, 1);
    EXPECT_GE(samples, 4);
    EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_SMOOTH));
    GLint hint = 0;
    glGetIntegerv(GL_LINE_SMOOTH_HINT, &hint);
    EXPECT_EQ(hint, GL_NICEST);
    glGetIntegerv(GL_POLYGON_SMOOTH_HINT, &hint);
    EXPECT_EQ(hint, GL_NICEST);
}

SDL_Event keyEvent(Uint8 type, SDLKey key) {
    SDL_Event event;
    memset(&event, 0, sizeof event);
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event plainEvent(Uint8 type) {
    SDL_Event event;
    memset(&event, 0, sizeof event);
    event.type = type;
    return event;
}

int queuedEvents() {
    SDL_Event event;
    SDL_PumpEvents();
    return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

TEST(ShellWindow, FrameSeesEveryEventAndEmptiesTheQueue) {
    WindowGuard guard;
    openWindow(160.0f, 120.0f);
    quitRequested = false;
    pauseLevel = 0.0f;
    frameClock = SDL_GetTicks();
    framesPerSecond = 0.0f;
    for (int& state : keyState) {
        state = Up;
    }

    // A quit behind other events, and a key press among them.
    SDL_Event motion = plainEvent(SDL_MOUSEMOTION);
    SDL_Event down = keyEvent(SDL_KEYDOWN, SDLK_w);
    SDL_Event quit = plainEvent(SDL_QUIT);
    SDL_Event user = plainEvent(SDL_USEREVENT);
    ASSERT_EQ(SDL_PushEvent(&motion), 0);
    ASSERT_EQ(SDL_PushEvent(&down), 0);
    ASSERT_EQ(SDL_PushEvent(&quit), 0);
    ASSERT_EQ(SDL_PushEvent(&user), 0);
    runFrame();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(keyState[KEY_W], Pressed);
    EXPECT_EQ(queuedEvents(), 0);
    // The first frame has no measurement yet: the largest factor.
    EXPECT_FLOAT_EQ(timeFactor, 2.0f);
    EXPECT_GE(frameMillis, MIN_FRAME_MILLIS);

    // The next frame promotes the key, and its factor comes from the
    // previous frame's measured rate.
    const float measured = framesPerSecond;
    quitRequested = false;
    runFrame();
    EXPECT_FALSE(quitRequested);
    EXPECT_EQ(keyState[KEY_W], Held);
    EXPECT_FLOAT_EQ(timeFactor, std::min(2.0f, std::max(0.2f, 60.0f / measured)));
}

TEST(ShellWindow, FramesAreNeverShorterThanSixteenMillis) {
    WindowGuard guard;
    openWindow(160.0f, 120.0f);
    pauseLevel = 0.0f;
    frameClock = SDL_GetTicks(); // SDL's tick count starts again with every SDL_Init
    runFrame();
    const int frames = 10;
    const unsigned int startClock = frameClock;
    for (int i = 0; i < frames; ++i) {
        runFrame();
        EXPECT_GE(frameMillis, MIN_FRAME_MILLIS);
        EXPECT_GE(timeFactor, 0.96f);
        EXPECT_LE(timeFactor, 2.0f);
        // The pacing clock never runs ahead of the real one: every frame
        // waited until its 16 ms were over. SDL_Delay against the
        // millisecond tick count can end one tick early (seen here), which
        // the next frame makes up. An oversleep is paid back by the next
        // frame too, so the real time per frame can be shorter; the pacing
        // clock's own steps cannot.
        EXPECT_GE(SDL_GetTicks() + 1, frameClock);
    }
    EXPECT_GE(frameClock - startClock, (unsigned int)(MIN_FRAME_MILLIS * frames));
}

TEST(ShellWindow, PausedFrameStillPollsButKeepsTheFactor) {
    WindowGuard guard;
    openWindow(160.0f, 120.0f);
    for (int& state : keyState) {
        state = Up;
    }
    pauseLevel = 40.0f;
    timeFactor = 1.25f;
    framesPerSecond = 62.5f;
    SDL_Event down = keyEvent(SDL_KEYDOWN, SDLK_ESCAPE);
    ASSERT_EQ(SDL_PushEvent(&down), 0);
    runFrame();
    EXPECT_EQ(keyState[KEY_ESCAPE], Pressed);
    EXPECT_EQ(timeFactor, 1.25f);
    pauseLevel = 0.0f;
    runFrame();
    EXPECT_NE(timeFactor, 1.25f);
}

} // namespace
