// The window the start-up code opened, one pass of the main loop, and the
// image files on their way to GL.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "drawn_support_gl.h"
#include "app/frame.h"
#include "app/input.h"
#include "app/settings.h"
#include "app/shell_sdl.h"
#include "render/image_file_sdl.h"
#include "render/textures_gl.h"
#include "tests/regression_files.h"

using namespace drawn;

TEST(Window, HasTheConfiguredSizeAndBuffers) {
    EXPECT_EQ(screenSurface->w, WIDTH);
    EXPECT_EQ(screenSurface->h, HEIGHT);
    EXPECT_FLOAT_EQ(aspectRatio, (float)WIDTH / HEIGHT);
    int doubleBuffer = 0, depthBits = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depthBits);
    EXPECT_EQ(doubleBuffer, 1);
    EXPECT_GE(depthBits, 16);
    char *caption = nullptr, *icon = nullptr;
    SDL_WM_GetCaption(&caption, &icon);
    EXPECT_STREQ(caption, "The Hollowmark");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST(Window, FrameSeesEveryEventAndEmptiesTheQueue) {
    quitRequested = false;
    pauseLevel = 0.0f;
    for (int& k : keyState)
        k = Up;
    SDL_Event events[4] = {};
    events[0].type = SDL_MOUSEMOTION;
    events[1].type = SDL_KEYDOWN, events[1].key.state = SDL_PRESSED;
    events[1].key.keysym.sym = SDLK_w;
    events[2].type = SDL_QUIT; // behind other events
    events[3].type = SDL_USEREVENT;
    for (SDL_Event& event : events)
        ASSERT_EQ(SDL_PushEvent(&event), 0);
    runFrame();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(keyState[KEY_W], Pressed);
    SDL_Event left;
    SDL_PumpEvents();
    EXPECT_EQ(SDL_PeepEvents(&left, 1, SDL_PEEKEVENT, SDL_ALLEVENTS), 0);
    quitRequested = false;
}

// Every kind of PNG that may stand in for the world texture reaches GL with
// its pixels (16-bit channels by their high byte), repeating, with mipmaps
// only when asked.
TEST(Textures, EveryKindOfImageArrivesWithItsPixels) {
    char saved[4096] = "", folder[] = "/tmp/hollowmark_textures_XXXXXX";
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_NE(mkdtemp(folder), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    mkdir("Media", 0755);
    const int W = 6, H = 4; // not powers of two; an RGB row of 18 bytes needs padding
    const struct {
        LodePNGColorType type;
        unsigned depth;
        std::vector<int> channels; // of red, green, blue, alpha, as the file holds them
    } cases[] = {{LCT_RGB, 8, {0, 1, 2}},  {LCT_RGBA, 8, {0, 1, 2, 3}}, {LCT_GREY, 8, {0}},
                 {LCT_GREY_ALPHA, 8, {0, 3}}, {LCT_RGB, 16, {0, 1, 2}}, {LCT_PALETTE, 2, {0, 1, 2, 3}}};
    for (const auto& c : cases) {
        const bool grey = c.channels.size() < 3, alpha = c.type == LCT_RGBA || c.type == LCT_GREY_ALPHA;
        std::vector<unsigned char> rgba, raw, png;
        for (int i = 0; i < W * H; i++) {
            const int v = c.type == LCT_PALETTE ? (i % 4) * 50 : 40 * (i % W) + 7 * (i / W) + 3;
            const unsigned char px[4] = {(unsigned char)v, (unsigned char)(grey ? v : v + 60),
                                         (unsigned char)(grey ? v : v + 120),
                                         (unsigned char)(alpha ? v + 90 : 255)};
            rgba.insert(rgba.end(), px, px + 4);
            for (int ch : c.channels) {
                raw.push_back(px[ch]);
                if (c.depth == 16)
                    raw.push_back(0x5A);
            }
        }
        // The encoder picks a 2-bit palette itself for a picture of four colours.
        ASSERT_EQ(lodepng::encode(png, raw, W, H, c.type == LCT_PALETTE ? LCT_RGBA : c.type,
                                 c.type == LCT_PALETTE ? 8 : c.depth), 0u);
        ASSERT_EQ(png[24] * 10 + png[25], (int)c.depth * 10 + c.type) << "the file's depth and kind";
        ASSERT_EQ(lodepng::save_file(png, "Media/worldtexture.png"), 0u);
        for (bool mip : {false, true}) {
            mipmapping = mip;
            glBindTexture(GL_TEXTURE_2D, loadWorldTexture());
            GLint w = 0, h = 0, w1 = 0, wrap = 0, minFilter = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &w1);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
            EXPECT_EQ(wrap, GL_REPEAT);
            EXPECT_EQ(minFilter, mip ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
            EXPECT_EQ(w1 > 0 && w1 < w, mip) << "a level 1 only with mipmaps";
            if (mip)
                continue; // the chain's images are rescaled
            ASSERT_EQ(w * 100 + h, W * 100 + H);
            std::vector<unsigned char> got(rgba.size());
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, got.data());
            EXPECT_TRUE(got == rgba) << "colour type " << c.type << ", depth " << c.depth;
        }
    }
    mipmapping = false;
    unlink("Media/worldtexture.png");
    rmdir("Media");
    ASSERT_EQ(chdir(saved), 0);
    rmdir(folder);
}

// The image files the fuzzers found, kept in tests/fuzz_regressions/images:
// each is refused with a one-line reason, or within the limits and reaches
// the UI canvas.
TEST(Textures, KeptRegressionFilesAreRefusedOrReachTheCanvas) {
    const std::string folder = std::string(HOLLOWMARK_SOURCE_DIR) + "/tests/fuzz_regressions/images/";
    const std::vector<std::string> names = listRegressionFiles(folder);
    ASSERT_GE(names.size(), 5u);
    for (const std::string& name : names) {
        const char* why = nullptr;
        SDL_Surface* image = readPngFile((folder + name).c_str(), &why);
        if (image == nullptr) {
            ASSERT_NE(why, nullptr) << name;
            EXPECT_TRUE(why[0] != '\0' && std::strchr(why, '\n') == nullptr) << name;
            continue;
        }
        EXPECT_TRUE(image->w <= MAX_IMAGE_SIDE && image->h <= MAX_IMAGE_SIDE) << name;
        SDL_Surface* canvas = makeAtlasCanvas(image, 1024, 256, &why);
        EXPECT_NE(canvas, nullptr) << name << ": " << (why ? why : "");
        SDL_FreeSurface(canvas);
        SDL_FreeSurface(image);
    }
}
