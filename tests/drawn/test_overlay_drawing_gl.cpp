// The overlay in the real window: the frozen frame's round trip, and the
// banners and pause menu where the layout puts them.
#include "app/frame.h"
#include "app/input.h"
#include "drawn_support_gl.h"
#include "ui/overlay_gl.h"
#include "world/new_game.h"

using namespace drawn;

TEST(Overlay, FrozenFrameComesBackPixelForPixel) {
    resetPauseState();
    clearTo(0.1f, 0.2f, 0.3f); // and three corners apart: any shift or flip shows
    glEnable(GL_SCISSOR_TEST);
    const int rects[3][4] = {{0, 0, 1, 1}, {WIDTH - 3, HEIGHT - 2, 3, 2}, {100, 37, 250, 80}};
    for (const auto& r : rects) {
        glScissor(r[0], r[1], r[2], r[3]);
        clearTo(r[0] > 0, r[1] > 0, 1);
    }
    glDisable(GL_SCISSOR_TEST);
    const Frame scene = readFrame();
    keyState[KEY_ESCAPE] = Pressed;
    updatePause(1.0f); // captures; at level 0 nothing is replayed yet
    clearTo(0, 0, 0);
    glMatrixMode(GL_PROJECTION); // the replay must not depend on what a scene left
    glOrtho(-3, 7, -2, 9, -1, 1);
    glRasterPos2f(1.0f, 1.0f);
    keyState[KEY_ESCAPE] = Up;
    updatePause(1.0f);
    EXPECT_EQ(pauseLevel, 10.0f);
    EXPECT_TRUE(readFrame("frozen").rgb == scene.rgb);
}

// In a window taller than wide: the banners across its width, the seed at the
// right of the lower one with plain labels, and the four buttons centred with
// their labels, open (level 100) and half way (50).
TEST(Overlay, BannersAndPauseMenuStandWhereTheLayoutPutsThem) {
    const unsigned char magenta[3] = {255, 0, 255};
    const char* labels[4] = {"Resume game", "Exit", "Save screenshot", "Display frame rate"};
    mouseX = mouseY = -100;
    showFrameRate = false, plainLabels = true, worldSeed = -1234567;
    for (float level : {100.0f, 50.0f}) {
        pauseLevel = level;
        clearTo(1, 0, 1);
        drawDashboard();
        drawPauseMenu();
        const int offset = (int)((1.0f - level * 0.01f) * 68);
        const int top = HEIGHT / 2 - 125 + (int)((1.0f - level * 0.01f) * HEIGHT);
        Expected expected;
        expected.fill(0, 0, WIDTH, 60 - offset, DRAWN);
        expected.fill(0, HEIGHT - 60 + offset, WIDTH, 60, DRAWN);
        expected.text("Seed -1234567", WIDTH - 150, HEIGHT - 38 + offset);
        for (int k = 0; k < 4; k++) {
            expected.panel(WIDTH / 2 - 150, top + 50 * k - 7, 300, 15, 0);
            expected.text(labels[k], WIDTH / 2 - 5 * (int)strlen(labels[k]), top + 50 * k - 10);
        }
        expectDrawn(readFrame("pause_menu_" + std::to_string((int)level)), expected, magenta,
                    "menu");
    }
    plainLabels = false;
}
