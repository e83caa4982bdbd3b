// drawn_support_gl.h: what the drawn tests share. Before the first test the
// program opens ONE window, taller than wide, through the game's own start-up;
// a test file opens none and sets up the game state it draws (the tests share
// its globals). Frames are held against the camera maths (project,
// expectSpans), the UI atlas (Expected, expectDrawn) or frames kept from an
// earlier renderer. readFrame(name) also saves $HOLLOWMARK_TEST_OUT/drawn_NAME.png.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
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
        screenWidth = (float)WIDTH, screenHeight = (float)HEIGHT, screenBpp = 0;
        fullscreen = showCursor = antialiasing = mipmapping = false, useTextures = true;
        initVideo(), loadUi();
        srand(20260612), newGame();
    }
};
inline ::testing::Environment* const window = ::testing::AddGlobalTestEnvironment(new Window);

struct Frame {
    int width = WIDTH, height = HEIGHT;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[((size_t)y * width + x) * 3]; }
    int brightness(float x, float y) const {
        return (at((int)x, (int)y)[0] + at((int)x, (int)y)[1] + at((int)x, (int)y)[2]) / 3;
    }
};

inline Frame readFrame(const std::string& name = "", int w = WIDTH, int h = HEIGHT, int y0 = 0) {
    std::vector<unsigned char> bottomUp((size_t)w * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, y0, w, h, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    Frame frame{w, h, {}};
    for (int y = h - 1; y >= 0; y--)
        frame.rgb.insert(frame.rgb.end(), &bottomUp[y * w * 3], &bottomUp[(y + 1) * w * 3]);
    const char* dir = std::getenv("HOLLOWMARK_TEST_OUT");
    if (!name.empty() && dir != nullptr && (mkdir(dir, 0755) == 0 || errno == EEXIST))
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
    std::fill(&floorHeight[0][0], &floorHeight[0][0] + WORLD_SIZE * WORLD_SIZE, MIN_SURFACE_HEIGHT);
    std::fill(&ceilingHeight[0][0], &ceilingHeight[0][0] + WORLD_SIZE * WORLD_SIZE,
              MAX_SURFACE_HEIGHT);
}

inline void gather(Figure& f, Vector3 p) {
    f.position = f.head = f.neck = f.hipCentre = p;
    for (int i = 0; i < 2; i++) {
        f.shoulderX[i] = f.handX[i] = f.hipX[i] = f.footX[i] = p.x;
        f.shoulderY[i] = f.handY[i] = f.hipY[i] = f.footY[i] = p.y;
        f.shoulderZ[i] = f.handZ[i] = f.hipZ[i] = f.footZ[i] = p.z;
    }
}

// The eye at x y z; the player's figure and aim marker `behind` it.
inline void stage(float x, float y, float z, float pitch, float yaw, float behind = 10.0f) {
    viewCamera.position = {x, y, z};
    viewCamera.pitch = pitch, viewCamera.yaw = yaw;
    gather(player, {x - behind * std::sin(yaw), y, z + behind * std::cos(yaw)});
    player.position = {x, y, z};
    aimPoint = player.head;
}

inline Frame drawScene(const std::string& name) {
    markAllChunksDirty(), rebuildDirtyChunks();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT), renderScene();
    return readFrame(name);
}

struct Point {
    float x, y;
};

// The renderer's camera: 50 degrees vertically, near plane 0.1, far plane by the view range.
inline Point project(float x, float y, float z) {
    float projection[16], modelview[16], eye[4], clip[4];
    perspectiveMatrix(projection, 50.0f, (float)WIDTH / HEIGHT, 0.1f, farPlaneDistance(viewRange));
    cameraModelviewMatrix(modelview, viewCamera);
    for (int r = 0; r < 4; r++)
        eye[r] = modelview[r] * x + modelview[4 + r] * y + modelview[8 + r] * z + modelview[12 + r];
    for (int r = 0; r < 4; r++)
        clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] + projection[8 + r] * eye[2] +
                  projection[12 + r] * eye[3];
    EXPECT_GT(clip[3], 0.0f) << "a point behind the eye";
    return {(clip[0] / clip[3] + 1.0f) * 0.5f * WIDTH, (1.0f - clip[1] / clip[3]) * 0.5f * HEIGHT};
}

inline void expectSpans(const Frame& frame, float x0, float y0, float z0, float x1, float y1,
                        float z1, const char* what) {
    float want[4] = {1e9f, 1e9f, -1e9f, -1e9f}; // left, top, right, bottom
    int got[4] = {WIDTH, HEIGHT, 0, 0};
    for (int k = 0; k < 8; k++) {
        const Point p = project(k & 1 ? x1 : x0, k & 2 ? y1 : y0, k & 4 ? z1 : z0);
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

inline const unsigned char UNKNOWN[4] = {}, DRAWN[4] = {};
struct Expected {
    std::vector<const unsigned char*> at = std::vector<const unsigned char*>(WIDTH * HEIGHT);
    void fill(int x, int y, int w, int h, const unsigned char* what) {
        for (int v = std::max(y, 0); v < std::min(y + h, HEIGHT); v++)
            for (int u = std::max(x, 0); u < std::min(x + w, WIDTH); u++)
                at[v * WIDTH + u] = what;
    }
    void piece(int atlasX, int atlasY, int x, int y) { // 20 x 20 at its own size
        static unsigned char* atlas = nullptr;
        static unsigned width = 0, height = 0;
        if (atlas == nullptr)
            lodepng_decode32_file(&atlas, &width, &height, "Media/dashboard.png");
        for (int v = 0; v < 20 && atlas && atlasY + v < (int)height; v++)
            for (int u = 0; u < 20 && atlasX + u < (int)width; u++) {
                const unsigned char* t = &atlas[((atlasY + v) * width + atlasX + u) * 4];
                if (t[3] != 0)
                    fill(x + u, y + v, 1, 1, t[3] == 255 ? t : UNKNOWN);
            }
    }
    // The frame surrounds the rectangle whose top is one pixel above y; its
    // corners and the whole pieces of its top and bottom edges keep their size.
    void panel(int x, int y, int w, int h, int style) {
        fill(x - 20, y - 21, w + 40, h + 40, UNKNOWN);
        for (int i = -1; i <= w / 20; i++) {
            const int column = 60 * style + 20 * (i < 0 ? 0 : i < w / 20 ? 1 : 2);
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
        const unsigned char *want = e.at[i] == nullptr || e.at[i] == DRAWN ? background : e.at[i],
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
