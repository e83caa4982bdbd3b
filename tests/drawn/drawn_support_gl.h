// drawn_support_gl.h: one window, taller than wide, opened once through the
// game's start-up; the tests set the game's globals they draw. Frames are held
// against the camera maths (project, expectSpans) and the UI atlas (Expected).
// readFrame(name) also saves $HOLLOWMARK_TEST_OUT/drawn_NAME.png.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "app/shell_sdl.h"
#include "meshing/chunks.h"
#include "render/frustum.h"
#include "render/scene_gl.h"
#include "render/scene_layout.h"
#include "render/textures_gl.h"
#include "ui/draw2d_gl.h"

namespace drawn {

const int WIDTH = 450, HEIGHT = 660, LIT = 150, DARK = 30;

struct Window : ::testing::Environment {
    void SetUp() override {
        screenWidth = WIDTH, screenHeight = HEIGHT, screenBpp = 0;
        fullscreen = showCursor = antialiasing = mipmapping = false, useTextures = true;
        initVideo(), loadUi(), newGame();
    }
};
inline ::testing::Environment* const window = ::testing::AddGlobalTestEnvironment(new Window);

struct Frame {
    int width;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[((size_t)y * width + x) * 3]; }
    int brightness(int x, int y) const { return (at(x, y)[0] + at(x, y)[1] + at(x, y)[2]) / 3; }
};

// The window's top left w x h, rows from the top.
inline Frame readFrame(const std::string& name, int w = WIDTH, int h = HEIGHT) {
    Frame frame{w, std::vector<unsigned char>((size_t)w * h * 3)};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int y = 0; y < h; y++)
        glReadPixels(0, HEIGHT - 1 - y, w, 1, GL_RGB, GL_UNSIGNED_BYTE,
                     &frame.rgb[(size_t)y * w * 3]);
    if (const char* dir = std::getenv("HOLLOWMARK_TEST_OUT"))
        mkdir(dir, 0755),
            lodepng_encode24_file((std::string(dir) + "/drawn_" + name + ".png").c_str(),
                                  frame.rgb.data(), w, h);
    return frame;
}

// Floor and ceiling at their extremes, no blocks, nobody about, graphics keys off.
inline void emptyWorld() {
    resetGameState();
    useTextures = useLight = useFog = useWater = false;
    viewRange = 3;
    std::memset(blocks, 0, sizeof blocks);
    std::memset(fallingBlocks, 0, sizeof fallingBlocks);
    std::fill_n(&floorHeight[0][0], WORLD_SIZE * WORLD_SIZE, MIN_SURFACE_HEIGHT);
    std::fill_n(&ceilingHeight[0][0], WORLD_SIZE * WORLD_SIZE, MAX_SURFACE_HEIGHT);
}

inline void gather(Figure& f, Vector3 p) { // every pose point at p
    f.position = f.head = f.neck = f.hipCentre = p;
    for (float* c : {f.shoulderX, f.handX, f.hipX, f.footX})
        c[0] = c[1] = p.x;
    for (float* c : {f.shoulderY, f.handY, f.hipY, f.footY})
        c[0] = c[1] = p.y;
    for (float* c : {f.shoulderZ, f.handZ, f.hipZ, f.footZ})
        c[0] = c[1] = p.z;
}

// The eye at x y z; the player's figure and aim marker 10 behind it, unseen.
inline void stage(float x, float y, float z, float pitch, float yaw) {
    viewCamera = {{x, y, z}, pitch, yaw, 0};
    gather(player, {x - 10 * std::sin(yaw), y, z + 10 * std::cos(yaw)});
    player.position = {x, y, z};
    aimPoint = player.head;
}

inline Frame drawScene(const std::string& name, int w = WIDTH, int h = HEIGHT) {
    markAllChunksDirty(), rebuildDirtyChunks();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT), renderScene();
    return readFrame(name, w, h);
}

struct Point {
    float x, y;
};

// The renderer's camera: 50 degrees high, near plane 0.1, far plane by the view range.
inline Point project(float x, float y, float z) {
    float p[16], m[16], world[4] = {x, y, z, 1}, eye[4] = {}, clip[4] = {};
    perspectiveMatrix(p, 50.0f, (float)WIDTH / HEIGHT, 0.1f, farPlaneDistance(viewRange));
    cameraModelviewMatrix(m, viewCamera);
    for (int i = 0; i < 16; i++)
        eye[i % 4] += m[i] * world[i / 4];
    for (int i = 0; i < 16; i++)
        clip[i % 4] += p[i] * eye[i / 4];
    EXPECT_GT(clip[3], 0.0f) << "a point behind the eye";
    return {(clip[0] / clip[3] + 1) * 0.5f * WIDTH, (1 - clip[1] / clip[3]) * 0.5f * HEIGHT};
}

// The lit pixels below the label span the box from a to b as projected.
inline void expectSpans(const Frame& frame, Vector3 a, Vector3 b, const std::string& what) {
    float want[4] = {1e9f, 1e9f, -1e9f, -1e9f}; // left, top, right, bottom
    int got[4] = {WIDTH, HEIGHT, 0, 0};
    for (int k = 0; k < 8; k++) {
        const Point p = project(k & 1 ? b.x : a.x, k & 2 ? b.y : a.y, k & 4 ? b.z : a.z);
        want[0] = std::min(want[0], p.x), want[1] = std::min(want[1], p.y);
        want[2] = std::max(want[2], p.x), want[3] = std::max(want[3], p.y);
    }
    for (int y = 60; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++)
            if (frame.brightness(x, y) > DARK)
                got[0] = std::min(got[0], x), got[1] = std::min(got[1], y),
                got[2] = std::max(got[2], x + 1), got[3] = std::max(got[3], y + 1);
    for (int i = 0; i < 4; i++)
        EXPECT_NEAR(got[i], want[i], 1.5f) << what << ", side " << i;
}

// Per pixel: nullptr for the background, an atlas texel, UNKNOWN (blended,
// not checked) or DRAWN (anything but the background).
inline const unsigned char UNKNOWN[4] = {}, DRAWN[4] = {};
struct Expected {
    std::vector<const unsigned char*> at = std::vector<const unsigned char*>(WIDTH * HEIGHT);
    void fill(int x, int y, int w, int h, const unsigned char* what) {
        for (int v = std::max(y, 0); v < std::min(y + h, HEIGHT); v++)
            for (int u = std::max(x, 0); u < std::min(x + w, WIDTH); u++)
                at[v * WIDTH + u] = what;
    }
    void piece(int atlasX, int atlasY, int x, int y) { // 20 x 20, at its own size
        static unsigned char* atlas = nullptr;
        static unsigned width = 0, height = 0;
        if (atlas == nullptr)
            lodepng_decode32_file(&atlas, &width, &height, "Media/dashboard.png");
        for (int i = 0; i < 400; i++) {
            const unsigned char* t = &atlas[((atlasY + i / 20) * width + atlasX + i % 20) * 4];
            if (t[3] != 0)
                fill(x + i % 20, y + i / 20, 1, 1, t[3] == 255 ? t : UNKNOWN);
        }
    }
    // Round the rectangle whose top is one pixel above y; corners and the
    // whole pieces of the top and bottom edges keep their size.
    void panel(int x, int y, int w, int h) {
        fill(x - 20, y - 21, w + 40, h + 40, UNKNOWN);
        for (int i = -1; i <= w / 20; i++) {
            const int column = 20 * (i < 0 ? 0 : i < w / 20 ? 1 : 2);
            piece(column, 59, i < w / 20 ? x + 20 * i : x + w, y - 21);
            piece(column, 99, i < w / 20 ? x + 20 * i : x + w, y - 1 + h);
        }
    }
    void text(const char* s, int x, int y) { // cells ten pixels apart from x - 5
        for (int k = 0; s[k] != '\0'; k++)
            piece(20 * ((s[k] - 32) % 32), 20 * ((s[k] - 32) / 32), x - 5 + 10 * k, y);
    }
};

inline void expectDrawn(const Frame& frame, const Expected& e, const unsigned char background[3],
                        const std::string& what) {
    int checked = 0, wrong = 0;
    for (int i = 0; i < WIDTH * HEIGHT; i++) {
        const unsigned char *want = e.at[i] && e.at[i] != DRAWN ? e.at[i] : background,
                            *got = &frame.rgb[3 * i];
        const bool same = std::abs(got[0] - want[0]) <= 8 && std::abs(got[1] - want[1]) <= 8 &&
                          std::abs(got[2] - want[2]) <= 8;
        checked += e.at[i] != nullptr && e.at[i] != UNKNOWN && e.at[i] != DRAWN;
        wrong += e.at[i] == DRAWN ? same : e.at[i] != UNKNOWN && !same;
    }
    EXPECT_GT(checked, 1000) << what;
    EXPECT_EQ(wrong, 0) << what;
}

} // namespace drawn
