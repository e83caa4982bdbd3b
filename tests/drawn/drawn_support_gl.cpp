// drawn_support_gl.cpp: the one window of the drawn tests and their shared steps.
#include "drawn_support_gl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "app/settings.h"
#include "app/shell_sdl.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "render/frustum.h"
#include "render/scene_gl.h"
#include "render/scene_layout.h"
#include "ui/draw2d_gl.h"
#include "render/textures_gl.h"
#include "world/world.h"

namespace drawn {
namespace {

struct Window : ::testing::Environment {
    void SetUp() override {
        screenWidth = (float)WIDTH;
        screenHeight = (float)HEIGHT;
        screenBpp = 0;
        fullscreen = showCursor = antialiasing = mipmapping = false;
        useTextures = true;
        initVideo();
        loadUi();
        srand(20260612);
        newGame();
    }
};
::testing::Environment* const window = ::testing::AddGlobalTestEnvironment(new Window);

float cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

} // namespace

Frame readFrame() {
    Frame frame;
    frame.width = WIDTH;
    frame.height = HEIGHT;
    std::vector<unsigned char> bottomUp((size_t)WIDTH * HEIGHT * 3);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const size_t row = (size_t)WIDTH * 3;
    for (int y = HEIGHT - 1; y >= 0; y--)
        frame.rgb.insert(frame.rgb.end(), &bottomUp[y * row], &bottomUp[y * row] + row);
    return frame;
}

void saveFrame(const Frame& frame, const std::string& name) {
    const char* base = std::getenv("HOLLOWMARK_TEST_OUT");
    const std::string dir = base != nullptr && base[0] != '\0' ? base : "/tmp";
    mkdir(dir.c_str(), 0755);
    lodepng_encode24_file((dir + "/drawn_" + name + ".png").c_str(), frame.rgb.data(), WIDTH, HEIGHT);
}

void clearTo(float r, float g, float b) {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

Box changedBox(const Frame& frame, const unsigned char rgb[3], int x0, int y0, int x1, int y1) {
    Box box;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (std::memcmp(frame.at(x, y), rgb, 3) != 0) {
                box.left = std::min(box.left, x), box.right = std::max(box.right, x);
                box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
                box.count++;
            }
    return box;
}

void emptyWorld() {
    resetGameState();
    useTextures = useLight = useFog = useWater = false;
    viewRange = 3;
    std::memset(blocks, 0, sizeof blocks);
    std::memset(fallingBlocks, 0, sizeof fallingBlocks);
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++) {
            floorHeight[x][z] = MIN_SURFACE_HEIGHT;
            ceilingHeight[x][z] = MAX_SURFACE_HEIGHT;
        }
    markAllChunksDirty();
    rebuildDirtyChunks();
}

void stage(float x, float y, float z, float pitch, float yaw) {
    viewCamera.position = player.position = {x, y, z};
    viewCamera.pitch = pitch;
    viewCamera.yaw = yaw;
    const Vector3 behind = {x - 10.0f * std::sin(yaw), y, z + 10.0f * std::cos(yaw)};
    player.head = player.neck = player.hipCentre = aimPoint = behind;
    for (int i = 0; i < 2; i++) {
        player.shoulderX[i] = player.handX[i] = player.hipX[i] = player.footX[i] = behind.x;
        player.shoulderY[i] = player.handY[i] = player.hipY[i] = player.footY[i] = behind.y;
        player.shoulderZ[i] = player.handZ[i] = player.hipZ[i] = player.footZ[i] = behind.z;
    }
}

Frame drawScene(const std::string& name) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderScene();
    Frame frame = readFrame();
    saveFrame(frame, name);
    return frame;
}

// The renderer's camera: 50 degrees vertically, near plane 0.1, far plane by
// the view range.
Point project(float x, float y, float z) {
    float projection[16], modelview[16], eye[4], clip[4];
    perspectiveMatrix(projection, 50.0f, (float)WIDTH / HEIGHT, 0.1f, farPlaneDistance(viewRange));
    cameraModelviewMatrix(modelview, viewCamera);
    for (int r = 0; r < 4; r++)
        eye[r] = modelview[r] * x + modelview[4 + r] * y + modelview[8 + r] * z + modelview[12 + r];
    for (int r = 0; r < 4; r++)
        clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] +
                  projection[8 + r] * eye[2] + projection[12 + r] * eye[3];
    EXPECT_GT(clip[3], 0.0f) << "point behind the eye";
    return {(clip[0] / clip[3] + 1.0f) * 0.5f * WIDTH, (1.0f - clip[1] / clip[3]) * 0.5f * HEIGHT};
}

Outline box(float x0, float y0, float z0, float x1, float y1, float z1) {
    Outline outline;
    for (int c = 0; c < 8; c++)
        outline.corner[c] = project(c & 1 ? x1 : x0, c & 2 ? y1 : y0, c & 4 ? z1 : z0);
    return outline;
}

// Inside the outline when inside one of the six projected faces; with a
// margin, when all four points that far to either side are.
bool Outline::covers(float x, float y, float margin) const {
    static const int faces[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4},
                                    {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};
    if (margin > 0.0f)
        return covers(x - margin, y, 0) && covers(x + margin, y, 0) && covers(x, y - margin, 0) &&
               covers(x, y + margin, 0);
    for (const auto& f : faces) {
        int positive = 0, negative = 0;
        for (int k = 0; k < 4; k++) {
            const float s = cross(corner[f[k]], corner[f[(k + 1) % 4]], {x, y});
            positive += s >= 0.0f, negative += s <= 0.0f;
        }
        if (positive == 4 || negative == 4)
            return true;
    }
    return false;
}

bool inLabelCorner(int x, int y) {
    return x >= labelPanelX(WIDTH) - 25 && y < 60;
}

void expectFillsOutline(const Frame& frame, const Outline& outline, const char* what) {
    int lit = 0, wrongInside = 0, wrongOutside = 0;
    for (int y = 0; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++) {
            if (inLabelCorner(x, y))
                continue;
            const float px = x + 0.5f, py = y + 0.5f;
            if (outline.covers(px, py, 1.5f))
                (frame.brightness(x, y) > LIT ? lit : wrongInside)++;
            else if (!outline.covers(px - 1.5f, py, 0) && !outline.covers(px + 1.5f, py, 0) &&
                     !outline.covers(px, py - 1.5f, 0) && !outline.covers(px, py + 1.5f, 0))
                wrongOutside += frame.brightness(x, y) > DARK;
        }
    EXPECT_GT(lit, 2000) << what;
    EXPECT_EQ(wrongInside, 0) << what;
    EXPECT_EQ(wrongOutside, 0) << what;
}

const unsigned char* atlasTexel(int x, int y) {
    static unsigned char* rgba = nullptr;
    static unsigned width = 0, height = 0;
    static const unsigned char transparent[4] = {0, 0, 0, 0};
    if (rgba == nullptr) {
        EXPECT_EQ(lodepng_decode32_file(&rgba, &width, &height, "Media/dashboard.png"), 0u);
    }
    if (rgba == nullptr || x < 0 || y < 0 || x >= (int)width || y >= (int)height)
        return transparent;
    return &rgba[((size_t)y * width + x) * 4];
}

const unsigned char UNKNOWN[4] = {};

void Expected::unknown(int x, int y, int w, int h) {
    for (int v = std::max(y, 0); v < std::min(y + h, HEIGHT); v++)
        for (int u = std::max(x, 0); u < std::min(x + w, WIDTH); u++)
            texel[(size_t)v * WIDTH + u] = UNKNOWN;
}

void Expected::piece(int atlasX, int atlasY, int x, int y) {
    for (int v = 0; v < 20; v++)
        for (int u = 0; u < 20; u++) {
            const unsigned char* t = atlasTexel(atlasX + u, atlasY + v);
            if (x + u >= 0 && x + u < WIDTH && y + v >= 0 && y + v < HEIGHT && t[3] != 0)
                texel[(size_t)(y + v) * WIDTH + x + u] = t[3] == 255 ? t : UNKNOWN;
        }
}

// The frame surrounds the rectangle whose top edge is one pixel above y; the
// corners and the whole pieces of the top and bottom edges keep their size.
void Expected::panel(int x, int y, int w, int h, int style) {
    const int top = y - 1, column = 60 * style;
    unknown(x - 20, top - 20, w + 40, h + 40);
    for (int i = -1; i <= w / 20; i++) {
        const int c = i < 0 ? 0 : i < w / 20 ? 1 : 2, at = i < w / 20 ? x + 20 * i : x + w;
        piece(column + 20 * c, 59, at, top - 20);
        piece(column + 20 * c, 99, at, top + h);
    }
}

// Glyph cells of 20 x 20, ten pixels apart, from x - 5.
void Expected::text(const char* s, int x, int y) {
    for (int k = 0; s[k] != '\0'; k++) {
        const int g = (unsigned char)s[k] - 32;
        piece(20 * (g % 32), 20 * (g / 32), x - 5 + 10 * k, y);
    }
}

void expectDrawn(const Frame& frame, const Expected& expected, const unsigned char background[3],
                 const char* what) {
    int checked = 0, wrong = 0, stray = 0;
    for (int y = 0; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++) {
            const unsigned char* want = expected.texel[(size_t)y * WIDTH + x];
            const unsigned char* got = frame.at(x, y);
            bool same = true;
            for (int c = 0; c < 3; c++)
                same = same && std::abs(got[c] - (want ? want : background)[c]) <= 8;
            if (want == nullptr)
                stray += !same;
            else if (want != UNKNOWN)
                checked++, wrong += !same;
        }
    EXPECT_GT(checked, 1000) << what;
    EXPECT_EQ(wrong, 0) << what;
    EXPECT_EQ(stray, 0) << what;
}

} // namespace drawn
