// The scene in the real window: blocks, fog, light, water, balls, the rope and
// the action label, each where the camera maths or the atlas put them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "drawn_support_gl.h"
#include "app/settings.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "render/scene_layout.h"
#include "world/world.h"

using namespace drawn;

namespace {
const float HALF_PI = 1.570796325f;
const unsigned char BLACK[3] = {0, 0, 0};
} // namespace

TEST(SceneDrawn, BlocksFillTheirProjectedOutlines) {
    // Cell 47 shows one world-width over, at x = -3, when the body stands in
    // chunk -2 (the disc then holds chunk -1, slot 9).
    emptyWorld();
    blocks[47][17][25] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
    stage(-8.0f, 17.5f, 25.7f, 0.1f, HALF_PI + 0.1f);
    expectFillsOutline(drawScene("block_negative"), box(-3, 17, 25, -2, 18, 26), "block at x -3");

    // A falling block is drawn lowered by the settling step's progress.
    emptyWorld();
    fallingBlocks[27][16][27] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
    settleProgress = 0.4f;
    stage(22.0f, 17.5f, 26.0f, 0.15f, HALF_PI - 0.1f);
    expectFillsOutline(drawScene("falling_block"), box(27, 15.6f, 27, 28, 16.6f, 28), "falling");
}

TEST(SceneDrawn, LabelPanelAndGlyphsStandWhereTheAtlasPutsThem) {
    emptyWorld();
    stage(25.0f, 17.5f, 25.0f, 0.0f, 0.0f); // nothing of the cave within the far plane
    const int panelX = WIDTH - 250 - 25;
    for (int action = 0; action < ACTION_TYPE_COUNT; action++) {
        actionType = action;
        const char* name = actionTypeNames[action];
        Expected expected;
        expected.panel(panelX, 25, 250, 10, 0);
        expected.text(name, panelX + 125 - 5 * (int)std::strlen(name), 20);
        expectDrawn(drawScene("label_" + std::to_string(action)), expected, BLACK, name);
    }
}

// Linear fog from 0.1 to the far plane (20 at range 3), toward black.
TEST(SceneDrawn, FogTurnsDistantGeometryTowardBlack) {
    emptyWorld();
    blocks[28][16][25] = 1; // front face 3 ahead, below the eye
    blocks[40][18][25] = 1; // front face 15 ahead, above it
    markAllChunksDirty();
    rebuildDirtyChunks();
    stage(25.0f, 17.5f, 25.5f, 0.0f, HALF_PI);
    player.position.x = 30.0f; // the disc of drawn chunks then reaches x 40..45
    const Point nearFace = project(28.0f, 16.5f, 25.5f), farFace = project(40.0f, 18.5f, 25.5f);
    const Frame clear = drawScene("fog_off");
    useFog = true;
    const Frame fogged = drawScene("fog_on");
    EXPECT_GT(clear.brightness(nearFace.x, nearFace.y), 245);
    EXPECT_GT(clear.brightness(farFace.x, farFace.y), 245);
    EXPECT_NEAR(fogged.brightness(nearFace.x, nearFace.y), 255.0f * 17.0f / 19.9f, 10.0f);
    EXPECT_NEAR(fogged.brightness(farFace.x, farFace.y), 255.0f * 5.0f / 19.9f, 10.0f);
}

// The light sits at the eye (ambient 0.04 + 0.2, diffuse 0.8 N.L, no
// attenuation), lighting each vertex: a face's centre gets about the mean of
// its corners. Without light both faces are plain white.
TEST(SceneDrawn, LightSitsAtTheEye) {
    emptyWorld();
    blocks[28][17][25] = 1;
    stage(25.0f, 17.5f, 27.5f, 0.0f, HALF_PI - 0.45f);
    const Point front = project(28.0f, 17.5f, 25.5f); // face x = 28, normal -x
    const Point side = project(28.5f, 17.5f, 26.0f);  // face z = 26, normal +z
    for (bool light : {false, true}) {
        useLight = light; // the meshes carry normals only while the light is on
        markAllChunksDirty();
        rebuildDirtyChunks();
        const Frame frame = drawScene(light ? "light_on" : "light_off");
        auto expected = [&](float nx, float nz, float x0, float z0, float x1, float z1) {
            float sum = 0.0f;
            for (int c = 0; c < 4; c++) {
                const float lx = 25.0f - (c & 1 ? x1 : x0), ly = 0.5f - (c & 2 ? 1 : 0),
                            lz = 27.5f - (c & 1 ? z1 : z0);
                const float dot = (nx * lx + nz * lz) / std::sqrt(lx * lx + ly * ly + lz * lz);
                sum += std::min(1.0f, 0.24f + 0.8f * std::max(0.0f, dot));
            }
            return light ? 255.0f * sum / 4.0f : 255.0f;
        };
        EXPECT_NEAR(frame.brightness(front.x, front.y), expected(-1, 0, 28, 25, 28, 26), 15.0f);
        EXPECT_NEAR(frame.brightness(side.x, side.y), expected(0, 1, 28, 26, 29, 26), 15.0f);
    }
}

// Water is drawn at 75 % opacity, and the label after it opaque again.
TEST(SceneDrawn, WaterIsDrawnAtThreeQuartersOpacity) {
    emptyWorld();
    useWater = true;
    viewRange = 1; // far plane 10: the floor 11.75 below the eye is clipped
    static float quad[12] = {0, 4, 0, 0, 4, 5, 5, 4, 5, 5, 4, 0}; // all of chunk (5, 5), facing up
    static float texCoords[8] = {0, 0, 0, 1, 1, 1, 1, 0};
    WaterMesh saved[CHUNK_TOTAL];
    std::memcpy(saved, waterMeshes, sizeof saved);
    for (WaterMesh& mesh : waterMeshes)
        mesh.vertexCount = 0;
    waterMeshes[55] = {4, quad, texCoords};
    stage(27.5f, 12.0f, 27.5f, HALF_PI, 0.0f); // looking straight down from 8 above it
    actionType = ActionSpawnEnemy;
    const Frame frame = drawScene("water");
    std::memcpy(waterMeshes, saved, sizeof saved);

    const Outline water = box(25, 4, 25, 30, 4, 30);
    int inside = 0, wrong = 0;
    for (int y = 60; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++) {
            if (water.covers(x + 0.5f, y + 0.5f, 1.5f))
                inside++, wrong += std::abs(frame.brightness(x, y) - 191) > 6; // 0.75 x 255
            else if (!water.covers(x + 0.5f, y + 0.5f, 0.0f))
                wrong += frame.brightness(x, y) > DARK;
        }
    EXPECT_GT(inside, 50000);
    EXPECT_EQ(wrong, 0);
    const int panelX = WIDTH - 275;
    Expected label;
    label.unknown(0, 60, WIDTH, HEIGHT - 60);
    label.panel(panelX, 25, 250, 10, 0);
    const char* name = actionTypeNames[ActionSpawnEnemy];
    label.text(name, panelX + 125 - 5 * (int)std::strlen(name), 20);
    expectDrawn(frame, label, BLACK, "label over water");
}

// Balls by kind, and the rope: 50 beads from hand 0, the last one a step
// short of the anchor.
TEST(SceneDrawn, BallsAndRopeBeads) {
    emptyWorld();
    viewRange = 6; // far plane 35: floor and ceiling stay beyond it
    stage(25.0f, 17.5f, 55.0f, 0.0f, 0.0f);
    // Across the window's diagonal, 30 ahead: beads every 0.6, radius 0.25.
    const float dx = 0.564f * 30.0f, dy = 0.826f * 30.0f;
    player.swinging = true;
    player.handX[0] = 25.0f - dx / 2, player.handY[0] = 17.5f - dy / 2, player.handZ[0] = 25.0f;
    player.ropeAnchor = {25.0f + dx / 2, 17.5f + dy / 2, 25.0f};
    ballCount = 3; // a small ball, a big one and one of a kind nothing draws
    balls[0] = {0, {28.0f, 12.5f, 25.0f}, {0, 0, 0}};
    balls[1] = {1, {31.0f, 10.5f, 25.0f}, {0, 0, 0}};
    balls[2] = {2, {33.0f, 14.5f, 25.0f}, {0, 0, 0}};
    const Frame frame = drawScene("balls_rope");
    auto at = [&](float x, float y) {
        const Point p = project(x, y, 25.0f);
        return frame.brightness(p.x, p.y);
    };
    for (int k = 0; k < 50; k++) {
        const float x = player.handX[0] + dx * k / 50, y = player.handY[0] + dy * k / 50;
        EXPECT_GT(at(x, y), LIT) << "bead " << k;
        EXPECT_LT(at(x + dx / 100, y + dy / 100), DARK) << "gap after bead " << k;
    }
    EXPECT_LT(at(player.ropeAnchor.x, player.ropeAnchor.y), DARK) << "no bead at the anchor";
    EXPECT_GT(at(28.0f, 12.5f), LIT);
    EXPECT_LT(at(28.6f, 12.5f), DARK); // kind 0: radius 0.25
    EXPECT_GT(at(31.8f, 10.5f), LIT);
    EXPECT_LT(at(32.3f, 10.5f), DARK); // kind 1: radius 1
    EXPECT_LT(at(33.0f, 14.5f), DARK); // kind 2: nothing
}
