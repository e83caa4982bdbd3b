// test_ground_seams_gl.cpp: the ground is one closed surface on screen. A flat
// floor of merged block faces spans many chunk borders; seen from a low
// angle, faces that meet must meet exactly, or the clear colour shows through
// along their edges as a dotted line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "drawn_support_gl.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "render/scene_gl.h"
#include "render/scene_layout.h"
#include "render/textures_gl.h"
#include "ui/draw2d_gl.h"
#include "world/new_game.h"
#include "world/world.h"

namespace {

const int WIDTH = 1280;
const int HEIGHT = 720;
const float NEAR_PLANE = 0.1f;
const float FLOOR_Y = 1.0f; // top of the blocks on level 0
const int RANGE = 6;
const int DARK = 30; // the clear colour is black; the bare floor is white

class SeamEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        drawn::openWindow(WIDTH, HEIGHT);
        loadUi();
        srand(20261207);
        newGame();
    }
};
::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new SeamEnvironment);

// A floor of blocks on level 0 over the lowest ground, pitted here and there
// so that merged faces of many sizes meet inside chunks and across their
// borders; the ceiling out of the way, nobody about. Every pixel below the
// horizon and short of the far plane is block top, pit wall or pit bottom.
void pittedBlockFloor() {
    useTextures = false;
    useLight = false;
    useFog = false;
    useWater = false;
    optimizeGeometry = true;
    viewRange = RANGE;
    std::memset(blocks, 0, sizeof blocks);
    std::memset(fallingBlocks, 0, sizeof fallingBlocks);
    for (int x = 0; x < WORLD_SIZE; x++) {
        for (int z = 0; z < WORLD_SIZE; z++) {
            floorHeight[x][z] = MIN_SURFACE_HEIGHT;
            ceilingHeight[x][z] = MAX_SURFACE_HEIGHT;
            blocks[x][0][z] = (x * 5 + z * 3) % 7 == 0 ? 0 : 1;
        }
    }
    markAllChunksDirty();
    rebuildDirtyChunks();
    figureCount = 0;
    ballCount = 0;
    settleProgress = 0.0f;
    actionType = ActionRaiseGround;
    player.swinging = false;
}

struct Point {
    float x, y;
};

float cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Distance of p inside the convex quadrilateral q (given counter-clockwise on
// screen, y down); negative when outside.
float insideDepth(const Point q[4], Point p) {
    float depth = 1e30f;
    for (int i = 0; i < 4; i++) {
        const Point a = q[i], b = q[(i + 1) % 4];
        const float length = std::hypot(b.x - a.x, b.y - a.y);
        depth = std::min(depth, cross(a, b, p) / length);
    }
    return depth;
}

struct Pose {
    float x, z, height, pitch, yaw;
};

// Low views across the floor from several places and headings, some far from
// the world's origin where positions carry fewer fraction bits.
const Pose POSES[] = {
    {25.3f, 25.7f, 0.9f, 0.22f, 0.35f},  {47.6f, 3.2f, 0.6f, 0.17f, -0.8f},
    {12.1f, 38.9f, 1.4f, 0.28f, 2.3f},   {2.4f, 2.6f, 0.7f, 0.2f, 3.9f},
    {-31.7f, 44.4f, 1.1f, 0.25f, -2.2f}, {38.8f, -17.3f, 0.8f, 0.19f, 1.2f},
    {24.9f, 10.1f, 0.5f, 0.15f, 0.02f},  {9.95f, 9.95f, 1.0f, 0.24f, 0.785f},
    {33.3f, 21.8f, 0.9f, 0.21f, -0.4f},  {18.2f, 47.1f, 1.2f, 0.26f, 1.7f},
    {41.5f, 36.6f, 0.7f, 0.18f, -1.4f},  {6.6f, 28.4f, 1.0f, 0.23f, 2.9f},
};

TEST(GroundSeams, FloorAcrossChunkBordersHasNoGaps) {
    pittedBlockFloor();
    int poseIndex = 0;
    for (const Pose& pose : POSES) {
        viewCamera = CameraPose{};
        viewCamera.position = {pose.x, FLOOR_Y + pose.height, pose.z};
        viewCamera.pitch = pose.pitch;
        viewCamera.yaw = pose.yaw;
        player.position = viewCamera.position;
        // The figure and aim marker stand far behind the eye, out of view.
        const float bx = pose.x - 40.0f * std::sin(pose.yaw);
        const float bz = pose.z + 40.0f * std::cos(pose.yaw);
        player.head = player.neck = player.hipCentre = {bx, FLOOR_Y, bz};
        for (int i = 0; i < 2; i++) {
            player.shoulderX[i] = player.handX[i] = player.hipX[i] = player.footX[i] = bx;
            player.shoulderY[i] = player.handY[i] = player.hipY[i] = player.footY[i] = FLOOR_Y;
            player.shoulderZ[i] = player.handZ[i] = player.hipZ[i] = player.footZ[i] = bz;
        }
        aimPoint = player.head;

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderScene();
        const drawn::Frame frame = drawn::readFrame();
        char name[64];
        std::snprintf(name, sizeof name, "ground_seams_%d", poseIndex++);
        drawn::saveFrame(frame, name);

        // A floor rectangle in front of the eye, 1.5 to 18 units ahead and
        // 14 units to either side: it crosses several borders both ways and
        // lies well inside the drawn disc and the far plane.
        const float fx = std::sin(pose.yaw), fz = -std::cos(pose.yaw); // forward
        const float rx = std::cos(pose.yaw), rz = std::sin(pose.yaw);  // right
        const float ahead[4] = {1.5f, 1.5f, 18.0f, 18.0f};
        const float side[4] = {-14.0f, 14.0f, 14.0f, -14.0f};
        Point quad[4];
        for (int c = 0; c < 4; c++) {
            drawn::ScreenPoint s{};
            ASSERT_TRUE(drawn::project(viewCamera, NEAR_PLANE, farPlaneDistance(RANGE),
                                       pose.x + ahead[c] * fx + side[c] * rx, FLOOR_Y,
                                       pose.z + ahead[c] * fz + side[c] * rz, s));
            quad[c] = {s.x, s.y};
        }
        // Clockwise on the ground seen from above is counter-clockwise on a
        // y-down screen; order the corners so inside is positive.
        if (cross(quad[0], quad[1], quad[2]) < 0.0f) {
            std::swap(quad[1], quad[3]);
        }
        int floorPixels = 0, gaps = 0;
        for (int y = 0; y < frame.height; y++) {
            for (int x = 0; x < frame.width; x++) {
                if (x >= labelPanelX(WIDTH) - 25 && y < 60) {
                    continue; // the action label's corner
                }
                if (insideDepth(quad, {x + 0.5f, y + 0.5f}) <= 1.0f) {
                    continue;
                }
                floorPixels++;
                if (frame.brightness(x, y) < DARK) {
                    gaps++;
                }
            }
        }
        EXPECT_GT(floorPixels, WIDTH * HEIGHT / 8) << "pose " << poseIndex - 1;
        EXPECT_EQ(gaps, 0) << "pose " << poseIndex - 1 << ": background shows through the floor";
    }
}

} // namespace
