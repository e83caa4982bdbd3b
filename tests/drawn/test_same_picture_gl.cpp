// test_same_picture_gl.cpp: the drawing may get faster, never different. Fixed
// scenes (the start of a world from a fixed seed, and the same with a crowd
// and the rope out), drawn under several sets of graphics keys, are compared
// with reference frames kept in tests/drawn/same_picture/. A frame may differ
// from its reference only in pixels along triangle edges, where a different
// but equally valid rounding puts an edge on the other side of a pixel
// centre: at most 0.1 % of the frame.
//
// The references were drawn by this test itself with the renderer as it was
// before the drawing was made faster (the commit that closed the seams in the
// ground), by running it with HOLLOWMARK_SAME_PICTURE_CAPTURE=1, which writes
// them instead of comparing. They are a record of that renderer, not of the
// code under test; write them again only for a change that is meant to alter
// the picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "drawn_support_gl.h"
#include "fixed_scenes_gl.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "render/frustum.h"
#include "render/scene_gl.h"
#include "render/textures_gl.h"
#include "ui/draw2d_gl.h"

namespace {

const int WIDTH = 320;
const int HEIGHT = 180;
const double EDGE_SHARE = 0.001; // of the frame's pixels

struct Keys {
    const char* name;
    bool textures, light, fog, water, mipmaps, merge;
};
const Keys KEY_SETS[] = {
    {"shipped", true, true, true, true, true, true},
    {"notextures", false, true, true, true, true, true},
    {"nolight", true, false, true, true, true, true},
    {"nofog", true, true, false, true, true, true},
    {"nowater", true, true, true, false, true, true},
    {"nomipmaps", true, true, true, true, false, true},
    {"nomerge", true, true, true, true, true, false},
    {"alloff", false, false, false, false, false, false},
};

class PictureEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        drawn::openWindow(WIDTH, HEIGHT);
        loadUi();
        viewRange = 6;
        fixed_scenes::startGame();
    }
};
::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new PictureEnvironment);

// The keys take effect as at start-up: the atlas is loaded again for the
// mipmap key, the meshes are built again for the light and merge keys.
void applyKeys(const Keys& keys) {
    useTextures = keys.textures;
    useLight = keys.light;
    useFog = keys.fog;
    useWater = keys.water;
    optimizeGeometry = keys.merge;
    if (mipmapping != keys.mipmaps || worldTexture == 0) {
        mipmapping = keys.mipmaps;
        GLuint old = worldTexture;
        glDeleteTextures(1, &old);
        setupWorldTexture();
    }
    markAllChunksDirty();
    rebuildDirtyChunks();
}

std::string referencePath(const std::string& name) {
    return std::string(HOLLOWMARK_SOURCE_DIR) + "/tests/drawn/same_picture/" + name + ".png";
}

// Draws the scene and holds it against its reference.
void expectSamePicture(const std::string& name) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderScene();
    const drawn::Frame frame = drawn::readFrame();
    drawn::saveFrame(frame, ("same_picture_" + name).c_str());
    const std::string path = referencePath(name);
    if (std::getenv("HOLLOWMARK_SAME_PICTURE_CAPTURE") != nullptr) {
        ASSERT_EQ(0u, lodepng_encode24_file(path.c_str(), frame.rgb.data(), WIDTH, HEIGHT));
        return;
    }
    unsigned char* reference = nullptr;
    unsigned width = 0, height = 0;
    ASSERT_EQ(0u, lodepng_decode24_file(&reference, &width, &height, path.c_str())) << path;
    ASSERT_EQ((unsigned)WIDTH, width);
    ASSERT_EQ((unsigned)HEIGHT, height);
    int differing = 0;
    for (size_t i = 0; i < frame.rgb.size(); i += 3) {
        if (frame.rgb[i] != reference[i] || frame.rgb[i + 1] != reference[i + 1] ||
            frame.rgb[i + 2] != reference[i + 2]) {
            differing++;
        }
    }
    std::free(reference);
    EXPECT_LE(differing, (int)(EDGE_SHARE * WIDTH * HEIGHT)) << name;
}

// Moves the last balls close to the eye with their centres just outside the
// four sides of the view, so that only part of each shows.
void strandBallsOnViewEdges() {
    const int STRANDED = 24;
    const float DISTANCE = 2.5f;
    const float OUTSIDE = 0.1f; // of the ball's 0.25 radius, at that distance
    const float halfHeight = std::tan(0.5f * 50.0f * 0.01745329f);
    const float halfWidth = halfHeight * (float)WIDTH / (float)HEIGHT;
    float m[16];
    cameraModelviewMatrix(m, viewCamera);
    const Vector3 eye = viewCamera.position;
    for (int k = 0; k < STRANDED; k++) {
        const int side = k % 4;
        const float along = -0.8f + 1.6f * (float)(k / 4) / 5.0f;
        float a = along * halfWidth, b = along * halfHeight;
        const float out = (side < 2 ? halfWidth : halfHeight) + OUTSIDE / DISTANCE;
        if (side < 2) {
            a = side == 0 ? -out : out;
        } else {
            b = side == 2 ? -out : out;
        }
        Ball& ball = balls[ballCount - 1 - k];
        ball.position = {eye.x + DISTANCE * (-m[2] + a * m[0] + b * m[1]),
                         eye.y + DISTANCE * (-m[6] + a * m[4] + b * m[5]),
                         eye.z + DISTANCE * (-m[10] + a * m[8] + b * m[9])};
    }
}

TEST(SamePicture, CalmStart) {
    for (const Keys& keys : {KEY_SETS[0], KEY_SETS[7]}) {
        applyKeys(keys);
        expectSamePicture(std::string("calm_") + keys.name);
    }
    // Turned round, over the water and the far ground.
    applyKeys(KEY_SETS[0]);
    const CameraPose start = viewCamera;
    for (int turn = 1; turn <= 2; turn++) {
        viewCamera.yaw = start.yaw + 2.0f * (float)turn;
        expectSamePicture("calm_turned" + std::to_string(turn));
    }
    viewCamera = start;
}

// The crowd, with the rope out to a point above and ahead, so that balls,
// enemies, the rope and the player all fill the view.
TEST(SamePicture, BusyUnderEveryKey) {
    fixed_scenes::addCrowd();
    const bool wasSwinging = player.swinging;
    const Vector3 anchor = player.ropeAnchor;
    player.swinging = true;
    player.ropeAnchor = {player.position.x + 6.0f, player.position.y + 8.0f,
                         player.position.z - 9.0f};
    for (const Keys& keys : KEY_SETS) {
        applyKeys(keys);
        expectSamePicture(std::string("busy_") + keys.name);
    }
    // Turned aside: balls, enemies and beads cut by the edges of the view.
    applyKeys(KEY_SETS[0]);
    const CameraPose start = viewCamera;
    viewCamera.yaw = start.yaw + 0.6f;
    viewCamera.pitch = start.pitch - 0.3f;
    strandBallsOnViewEdges();
    expectSamePicture("busy_turned");
    viewCamera = start;
    player.swinging = wasSwinging;
    player.ropeAnchor = anchor;
    fixed_scenes::removeCrowd();
}

} // namespace
