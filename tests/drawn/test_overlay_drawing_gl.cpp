// The overlay in the real window, taller than wide: the banners across its
// width, the seed at the right of the lower one with plain labels, and the
// four buttons centred with their labels, open (level 100) and half way (50).
#include "app/frame.h"
#include "app/input.h"
#include "drawn_support_gl.h"
#include "ui/overlay_gl.h"
#include "world/new_game.h"

using namespace drawn;

TEST(Overlay, BannersSeedAndPauseMenuStandWhereTheLayoutPutsThem) {
    const unsigned char magenta[3] = {255, 0, 255};
    const char* labels[4] = {"Resume game", "Exit", "Save screenshot", "Display frame rate"};
    mouseX = mouseY = -100;
    showFrameRate = false, plainLabels = true, worldSeed = -1234567;
    for (float level : {100.0f, 50.0f}) {
        pauseLevel = level;
        glClearColor(1, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
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
    glClearColor(0, 0, 0, 1);
    plainLabels = false, pauseLevel = 0, mouseX = mouseY = 0;
}
