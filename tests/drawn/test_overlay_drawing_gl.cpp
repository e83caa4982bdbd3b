// The overlay in a real window: the frozen frame's round trip, where panels,
// text and banners land on screen, and the pause menu's buttons.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/settings.h"
#include "app/shell_sdl.h"
#include "ui/overlay_gl.h"
#include "ui/pause_state.h"
#include "ui/draw2d_gl.h"
#include "ui/ui_layout.h"
#include "world/new_game.h"

namespace {

const int W = 800, H = 600;

struct Rgb {
    unsigned char r, g, b;
};

// The window's pixels, top row first, so (x, y) reads like 2D drawing.
std::vector<Rgb> readWindow() {
    std::vector<unsigned char> raw((size_t)W * H * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    std::vector<Rgb> pixels((size_t)W * H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const unsigned char* p = &raw[((size_t)(H - 1 - y) * W + x) * 4];
            pixels[(size_t)y * W + x] = {p[0], p[1], p[2]};
        }
    }
    return pixels;
}

void savePicture(const std::vector<Rgb>& pixels, const char* name) {
    const char* folder = getenv("HOLLOWMARK_TEST_OUT");
    if (folder == nullptr) {
        return;
    }
    mkdir(folder, 0755);
    const std::string path = std::string(folder) + "/" + name;
    lodepng_encode24_file(path.c_str(), (const unsigned char*)pixels.data(), W, H);
}

// A background colour the artwork never shows exactly.
void clearTo(float r, float g, float b) {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool same(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// Bounding box of every pixel that differs from the background colour.
struct Box {
    int left = W, top = H, right = -1, bottom = -1; // right and bottom inclusive
    long count = 0;
};
Box changedBox(const std::vector<Rgb>& pixels, Rgb background) {
    Box box;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (!same(pixels[(size_t)y * W + x], background)) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
        }
    }
    return box;
}

const Rgb magenta = {255, 0, 255};

class Overlay : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        screenWidth = (float)W;
        screenHeight = (float)H;
        initVideo();
        loadUi();
        snprintf(gameTitle, sizeof gameTitle, "%s", "The Hollowmark");
        gameVersion = 0.9f;
    }
    void SetUp() override {
        for (int& k : keyState)
            k = Up;
        for (int& b : mouseButtonState)
            b = Up;
        mouseX = mouseY = -100;
        resetPauseState();
        showFrameRate = false;
        quitRequested = false;
    }
};

TEST_F(Overlay, WindowHasTheRequestedSize) {
    ASSERT_EQ((int)screenWidth, W);
    ASSERT_EQ((int)screenHeight, H);
}

// Runs first among the tests that call drawOverlay: its first frame draws no
// pointer, the later ones draw it at the pointer whenever the window has the
// mouse focus (a window mapped under the pointer normally has it).
TEST_F(Overlay, PointerSpriteFromTheSecondFrameOn) {
    SDL_PumpEvents();
    mouseX = 300;
    mouseY = 200;
    clearTo(1, 0, 1);
    drawOverlay();
    EXPECT_EQ(changedBox(readWindow(), magenta).count, 0);

    clearTo(1, 0, 1);
    drawOverlay();
    const std::vector<Rgb> pixels = readWindow();
    savePicture(pixels, "overlay_pointer.png");
    const Box box = changedBox(pixels, magenta);
    if (mouseInWindow) {
        ASSERT_GT(box.count, 0);
        EXPECT_GE(box.left, 300 - 12);
        EXPECT_LE(box.right, 300 - 12 + 39);
        EXPECT_GE(box.top, 200 - 10);
        EXPECT_LE(box.bottom, 200 - 10 + 59);
    } else {
        EXPECT_EQ(box.count, 0);
    }
    EXPECT_EQ(mouseInWindow, (SDL_GetAppState() & SDL_APPMOUSEFOCUS) != 0);
}

TEST_F(Overlay, FrozenFrameComesBackPixelForPixel) {
    // An asymmetric picture: any shift or flip of the copy shows.
    clearTo(0.1f, 0.2f, 0.3f);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1); // the window's bottom-left pixel
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(W - 3, H - 2, 3, 2); // top-right corner
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(100, 37, 250, 80);
    glClearColor(1, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    const std::vector<Rgb> scene = readWindow();

    keyState[KEY_ESCAPE] = Pressed;
    updatePause(1.0f); // captures and, now that the level is 0, does not replay yet
    EXPECT_TRUE(pauseRequested);
    EXPECT_EQ(pauseLevel, 5.0f);

    // Leave the matrices and raster state as a scene would: the replay must
    // not depend on them.
    clearTo(0, 0, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3, 7, -2, 9, -1, 1);
    glRasterPos2f(1.0f, 1.0f);
    keyState[KEY_ESCAPE] = Held;
    updatePause(1.0f);
    EXPECT_EQ(pauseLevel, 10.0f);
    const std::vector<Rgb> replayed = readWindow();
    long differing = 0;
    for (size_t i = 0; i < scene.size(); ++i) {
        differing += !same(scene[i], replayed[i]);
    }
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(same(replayed[(size_t)(H - 1) * W], Rgb{255, 0, 0}));
    EXPECT_TRUE(same(replayed[W - 1], Rgb{0, 255, 0}));
}

TEST_F(Overlay, FrameRatePanelAndTextStayInTheirBox) {
    clearTo(1, 0, 1);
    drawPanel(25, 25, 300, 10, PanelNormal);
    std::vector<Rgb> pixels = readWindow();
    savePicture(pixels, "overlay_panel.png");
    Box box = changedBox(pixels, magenta);
    // The frame surrounds x 25..325, y 24..34 by 20 pixels: 5..344 x 4..53.
    ASSERT_GT(box.count, 0);
    EXPECT_GE(box.left, 5);
    EXPECT_LE(box.right, 344);
    EXPECT_GE(box.top, 4);
    EXPECT_LE(box.bottom, 53);
    // The fill covers the inner rectangle.
    EXPECT_FALSE(same(pixels[(size_t)29 * W + 175], magenta));

    clearTo(1, 0, 1);
    drawText("frames per second: 62.500000", centredTextX(175, 28), 20);
    pixels = readWindow();
    box = changedBox(pixels, magenta);
    ASSERT_GT(box.count, 0);
    EXPECT_GE(box.left, 175 - 140 - 5);
    EXPECT_LE(box.right, 175 + 140 + 5 - 1);
    EXPECT_GE(box.top, 20);
    EXPECT_LE(box.bottom, 39);
}

TEST_F(Overlay, TextOutsideTheFontDrawsNothing) {
    clearTo(1, 0, 1);
    drawText("\x01\x7f\xc3\xa9\xff\t", 300, 300);
    EXPECT_EQ(changedBox(readWindow(), magenta).count, 0);
    // A glyph in the middle of unknown bytes keeps its own place.
    drawText("\x01"
             "A\xff",
             300, 300);
    const Box box = changedBox(readWindow(), magenta);
    ASSERT_GT(box.count, 0);
    EXPECT_GE(box.left, 305);
    EXPECT_LE(box.right, 324);
}

TEST_F(Overlay, DashboardBannersSlideWithTheLevel) {
    pauseLevel = 100.0f;
    clearTo(1, 0, 1);
    drawDashboard();
    std::vector<Rgb> pixels = readWindow();
    savePicture(pixels, "overlay_dashboard_open.png");
    // Open: the banners fill rows 0..59 and 540..599 and nothing between.
    long inBanners = 0, between = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; x += 7) {
            const bool changed = !same(pixels[(size_t)y * W + x], magenta);
            if (y < 60 || y >= 540) {
                inBanners += changed;
            } else {
                between += changed;
            }
        }
    }
    EXPECT_GT(inBanners, 120L * (W / 7) / 2); // most of the banner area is drawn
    EXPECT_EQ(between, 0);

    pauseLevel = 50.0f; // offset (int)(0.5 x 68) = 34
    clearTo(1, 0, 1);
    drawDashboard();
    pixels = readWindow();
    savePicture(pixels, "overlay_dashboard_half.png");
    const Box box = changedBox(pixels, magenta);
    for (int x = 0; x < W; x += 10) {
        EXPECT_TRUE(same(pixels[(size_t)26 * W + x], magenta))
            << "x " << x; // upper banner ends at row 25
        EXPECT_TRUE(same(pixels[(size_t)573 * W + x], magenta))
            << "x " << x; // lower one starts at row 574
    }
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.bottom, H - 1);
}

TEST_F(Overlay, ButtonReactsOnlyInsideItsSensitiveArea) {
    mouseButtonState[MOUSE_LEFT] = Pressed;
    mouseY = 275;
    mouseX = 250 - 14;
    EXPECT_FALSE(drawButton(400, 275, 300, 15, true, true, "Save screenshot"));
    mouseX = 250 - 13;
    EXPECT_TRUE(drawButton(400, 275, 300, 15, true, true, "Save screenshot"));
    EXPECT_FALSE(drawButton(400, 275, 300, 15, true, false, "Save screenshot")); // not interactive
    mouseButtonState[MOUSE_LEFT] = Held;
    EXPECT_FALSE(
        drawButton(400, 275, 300, 15, true, true, "Save screenshot")); // held, not a new click

    // Hovering shows the highlighted frame: the picture differs.
    mouseButtonState[MOUSE_LEFT] = Up;
    clearTo(1, 0, 1);
    drawButton(400, 275, 300, 15, true, true, "Exit");
    const std::vector<Rgb> hovered = readWindow();
    mouseX = 10;
    clearTo(1, 0, 1);
    drawButton(400, 275, 300, 15, true, true, "Exit");
    const std::vector<Rgb> plain = readWindow();
    savePicture(hovered, "overlay_button_hovered.png");
    long differing = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        differing += !same(plain[i], hovered[i]);
    }
    EXPECT_GT(differing, 100);
}

TEST_F(Overlay, PauseMenuButtonsDoTheirWork) {
    char saved[4096] = "";
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    char folder[] = "/tmp/hollowmark_menu_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    ASSERT_EQ(chdir(folder), 0);

    pauseRequested = true;
    pauseLevel = 100.0f;
    mouseX = 400;
    mouseButtonState[MOUSE_LEFT] = Pressed;

    mouseY = 275; // "Save screenshot"
    drawPauseMenu();
    drawPauseMenu();
    struct stat info;
    EXPECT_EQ(stat("screenshot1.png", &info), 0);
    EXPECT_EQ(stat("screenshot2.png", &info), 0);
    EXPECT_NE(stat("screenshot3.png", &info), 0);

    mouseY = 325; // frame-rate switch
    drawPauseMenu();
    EXPECT_TRUE(showFrameRate);
    drawPauseMenu();
    EXPECT_FALSE(showFrameRate);

    mouseY = 225; // "Exit"
    drawPauseMenu();
    EXPECT_TRUE(quitRequested);

    mouseY = 175; // "Resume game"
    drawPauseMenu();
    EXPECT_FALSE(pauseRequested);

    // While sliding (level 50) the first button stands at 475 and still works.
    pauseRequested = true;
    pauseLevel = 50.0f;
    mouseY = 475;
    drawPauseMenu();
    EXPECT_FALSE(pauseRequested);

    unlink("screenshot1.png");
    unlink("screenshot2.png");
    ASSERT_EQ(chdir(saved), 0);
    rmdir(folder);
}

} // namespace
