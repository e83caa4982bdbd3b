// drawn_support_gl.h: one window, taller than wide, opened once through the game's start-up; each
// test sets the globals it draws. shot(name) also saves a PNG in $HOLLOWMARK_TEST_OUT.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>

#include "app/shell_sdl.h"
#include "game/new_game.h"
#include "meshing/chunks.h"
#include "render/frustum.h"
#include "render/scene_gl.h"
#include "render/scene_layout.h"
#include "render/textures_gl.h"
#include "ui/draw2d_gl.h"

const int WIDTH = 450, HEIGHT = 660, DARK = 30;
inline std::vector<unsigned char> atlas; // the UI atlas, RGBA
inline unsigned atlasWidth = 0;

struct Window : ::testing::Environment {
    void SetUp() override {
        screenWidth = WIDTH, screenHeight = HEIGHT, screenBpp = 0;
        fullscreen = showCursor = antialiasing = mipmapping = false, useTextures = true;
        initVideo(), loadUi(), setupWorldTexture(), setupNewWorld();
        unsigned height = 0;
        lodepng::decode(atlas, atlasWidth, height, "Media/dashboard.png");
    }
};
inline ::testing::Environment* const window = ::testing::AddGlobalTestEnvironment(new Window);

struct Frame {
    int width;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[((size_t)y * width + x) * 3]; }
    const unsigned char* at(Vector3 p) const { return at((int)p.x, (int)p.y); }
    int brightness(int x, int y) const { return (at(x, y)[0] + at(x, y)[1] + at(x, y)[2]) / 3; }
};

// The window's top left w x h, rows from the top, after drawing the scene.
inline Frame shot(const std::string& name, bool scene = true, int w = WIDTH, int h = HEIGHT) {
    if (scene)
        markAllChunksDirty(), rebuildDirtyChunks(),
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT), renderScene();
    Frame up{w, std::vector<unsigned char>((size_t)w * h * 3)}, frame = up;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, HEIGHT - h, w, h, GL_RGB, GL_UNSIGNED_BYTE, up.rgb.data());
    for (int y = 0; y < h; y++)
        std::copy_n(up.at(0, h - 1 - y), w * 3, &frame.rgb[(size_t)y * w * 3]);
    if (const char* dir = std::getenv("HOLLOWMARK_TEST_OUT"))
        mkdir(dir, 0755),
            lodepng::encode(std::string(dir) + "/drawn_" + name + ".png", frame.rgb, w, h, LCT_RGB);
    return frame;
}

// Floor and ceiling at their extremes, no blocks, nobody about, graphics keys off.
inline void emptyWorld() {
    resetGameState();
    useTextures = useLight = useFog = useWater = false, viewRange = 3;
    std::memset(blocks, 0, sizeof blocks), std::memset(fallingBlocks, 0, sizeof fallingBlocks);
    std::fill_n(&floorHeight[0][0], WORLD_SIZE * WORLD_SIZE, MIN_SURFACE_HEIGHT);
    std::fill_n(&ceilingHeight[0][0], WORLD_SIZE * WORLD_SIZE, MAX_SURFACE_HEIGHT);
}

inline void gather(Figure& f, Vector3 p) { // every pose point at p
    f.position = f.head = f.neck = f.hipCentre = p;
    for (int i = 0; i < 2; i++)
        f.shoulderX[i] = f.handX[i] = f.hipX[i] = f.footX[i] = p.x,
        f.shoulderY[i] = f.handY[i] = f.hipY[i] = f.footY[i] = p.y,
        f.shoulderZ[i] = f.handZ[i] = f.hipZ[i] = f.footZ[i] = p.z;
}

// The eye at x y z; the player's figure and aim marker 10 behind it, unseen.
inline void stage(float x, float y, float z, float pitch, float yaw) {
    viewCamera = {{x, y, z}, pitch, yaw, 0};
    gather(player, {x - 10 * std::sin(yaw), y, z + 10 * std::cos(yaw)});
    player.position = {x, y, z}, aimPoint = player.head;
}

// Where the renderer's camera (50 degrees high, near plane 0.1) puts a point:
// x and y in window pixels.
inline Vector3 project(float x, float y, float z) {
    float p[16], m[16], world[4] = {x, y, z, 1}, eye[4] = {}, clip[4] = {};
    perspectiveMatrix(p, 50.0f, (float)WIDTH / HEIGHT, 0.1f, farPlaneDistance(viewRange));
    cameraModelviewMatrix(m, viewCamera);
    for (int i = 0; i < 16; i++)
        eye[i % 4] += m[i] * world[i / 4];
    for (int i = 0; i < 16; i++)
        clip[i % 4] += p[i] * eye[i / 4];
    EXPECT_GT(clip[3], 0.0f) << "a point behind the eye";
    return {(clip[0] / clip[3] + 1) * 0.5f * WIDTH, (1 - clip[1] / clip[3]) * 0.5f * HEIGHT, 0};
}

// The lit pixels below the label span the box from a to b as projected.
inline void expectSpans(const Frame& frame, Vector3 a, Vector3 b, const std::string& what) {
    float want[4] = {1e9f, 1e9f, -1e9f, -1e9f}, got[4] = {1e9f, 1e9f, -1e9f, -1e9f}; // l t r b
    auto widen = [](float* box, Vector3 p) {
        box[0] = std::min(box[0], p.x), box[1] = std::min(box[1], p.y);
        box[2] = std::max(box[2], p.x), box[3] = std::max(box[3], p.y);
    };
    for (int k = 0; k < 8; k++)
        widen(want, project(k & 1 ? b.x : a.x, k & 2 ? b.y : a.y, k & 4 ? b.z : a.z));
    for (int i = 60 * WIDTH; i < WIDTH * HEIGHT; i++)
        if (frame.brightness(i % WIDTH, i / WIDTH) > DARK)
            widen(got, {i % WIDTH + 0.0f, i / WIDTH + 0.0f, 0}),
                widen(got, {i % WIDTH + 1.0f, i / WIDTH + 1.0f, 0});
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
        for (int i = 0; i < 400; i++) {
            const unsigned char* t = &atlas[((atlasY + i / 20) * atlasWidth + atlasX + i % 20) * 4];
            if (t[3] != 0)
                fill(x + i % 20, y + i / 20, 1, 1, t[3] == 255 ? t : UNKNOWN);
        }
    }
    // Round the rectangle whose top is one pixel above y; corners and the
    // whole pieces of the top and bottom edges keep their size.
    void panel(int x, int y, int w, int h) {
        fill(x - 20, y - 21, w + 40, h + 40, UNKNOWN);
        for (int i = -1; i <= w / 20; i++) {
            const int column = i < 0        ? 0
                               : i < w / 20 ? 20
                                            : 40,
                      left = i < w / 20 ? x + 20 * i : x + w;
            piece(column, 59, left, y - 21), piece(column, 99, left, y - 1 + h);
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
