// The overlay in the real window: the frozen frame's round trip, and the
// banners and pause menu laid out from the atlas and working where they stand.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "drawn_support_gl.h"
#include "app/frame.h"
#include "app/input.h"
#include "ui/overlay_gl.h"

using namespace drawn;

TEST(Overlay, FrozenFrameComesBackPixelForPixel) {
    resetPauseState();
    for (int& k : keyState)
        k = Up;
    // An asymmetric picture: any shift or flip of the copy shows.
    clearTo(0.1f, 0.2f, 0.3f);
    glEnable(GL_SCISSOR_TEST);
    const int rects[3][4] = {{0, 0, 1, 1}, {WIDTH - 3, HEIGHT - 2, 3, 2}, {100, 37, 250, 80}};
    for (int i = 0; i < 3; i++) {
        glScissor(rects[i][0], rects[i][1], rects[i][2], rects[i][3]);
        glClearColor(i != 1, i != 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    const Frame scene = readFrame();
    keyState[KEY_ESCAPE] = Pressed;
    updatePause(1.0f); // captures; at level 0 it does not replay yet
    EXPECT_EQ(pauseLevel, 5.0f);
    // Matrices and raster position left as a scene would: the replay must not
    // depend on them.
    clearTo(0, 0, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3, 7, -2, 9, -1, 1);
    glRasterPos2f(1.0f, 1.0f);
    keyState[KEY_ESCAPE] = Held;
    updatePause(1.0f);
    EXPECT_TRUE(readFrame().rgb == scene.rgb);
    keyState[KEY_ESCAPE] = Up;
}

// In a window taller than wide: the banners span its width, the four buttons
// stand centred with their labels, open (level 100) and half way (50).
TEST(Overlay, BannersAndPauseMenuStandWhereTheLayoutPutsThem) {
    const unsigned char magenta[3] = {255, 0, 255};
    const char* labels[4] = {"Resume game", "Exit", "Save screenshot", "Display frame rate"};
    showFrameRate = false;
    mouseX = mouseY = -100;
    for (float level : {100.0f, 50.0f}) {
        pauseLevel = level;
        clearTo(1, 0, 1);
        drawDashboard();
        drawPauseMenu();
        const Frame frame = readFrame();
        saveFrame(frame, "pause_menu_" + std::to_string((int)level));
        const int offset = (int)((1.0f - level * 0.01f) * 68);
        const int top = (int)(HEIGHT / 2 - 125 + (1.0f - level * 0.01f) * HEIGHT);
        Expected expected;
        expected.unknown(0, 0, WIDTH, 60 - offset);
        expected.unknown(0, HEIGHT - 60 + offset, WIDTH, 60);
        for (int k = 0; k < 4; k++) {
            const int y = top + 50 * k, n = (int)strlen(labels[k]);
            expected.panel(WIDTH / 2 - 150, y - 7, 300, 15, 0);
            expected.text(labels[k], WIDTH / 2 - 5 * n, y - 10);
        }
        expectDrawn(frame, expected, magenta, labels[0]);
        // The banners are opaque over the window's whole width.
        const Box upper = changedBox(frame, magenta, 0, 0, WIDTH, 60 - offset);
        const Box lower = changedBox(frame, magenta, 0, HEIGHT - 60 + offset, WIDTH, HEIGHT);
        EXPECT_EQ(upper.count + lower.count, (long)WIDTH * (120 - 2 * offset)) << level;
    }
}

TEST(Overlay, PauseMenuButtonsWorkWhereTheyAreDrawn) {
    char saved[4096] = "", folder[] = "/tmp/hollowmark_menu_XXXXXX";
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_NE(mkdtemp(folder), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    pauseRequested = true;
    pauseLevel = 100.0f;
    quitRequested = showFrameRate = false;
    mouseButtonState[MOUSE_LEFT] = Pressed;
    const int top = HEIGHT / 2 - 125;
    auto clickAt = [&](int x, int y) {
        mouseX = x, mouseY = y;
        drawPauseMenu();
    };
    clickAt(WIDTH / 2 + 150 + 13, top + 100 + 7 + 13); // just outside "Save screenshot"
    clickAt(WIDTH / 2 - 150 - 13, top + 100 - 7 - 13); // just inside
    struct stat info;
    EXPECT_EQ(stat("screenshot1.png", &info), 0);
    EXPECT_NE(stat("screenshot2.png", &info), 0);
    clickAt(WIDTH / 2, top + 150);
    EXPECT_TRUE(showFrameRate);
    clickAt(WIDTH / 2, top + 50);
    EXPECT_TRUE(quitRequested);
    clickAt(WIDTH / 2, top);
    EXPECT_FALSE(pauseRequested);
    mouseButtonState[MOUSE_LEFT] = Up;
    quitRequested = showFrameRate = false;
    pauseLevel = 0.0f;
    unlink("screenshot1.png");
    ASSERT_EQ(chdir(saved), 0);
    rmdir(folder);
}
