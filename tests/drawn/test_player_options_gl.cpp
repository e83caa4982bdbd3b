// test_player_options_gl.cpp: the tinted figures and the plain labels, drawn
// through the game's own start-up code and checked where they must appear.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/frame.h"
#include "drawn_support_gl.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "render/scene_gl.h"
#include "render/scene_layout.h"
#include "render/textures_gl.h"
#include "ui/draw2d_gl.h"
#include "ui/overlay_gl.h"
#include "ui/ui_layout.h"
#include "world/new_game.h"
#include "world/world.h"

namespace {

const int WIDTH = 800;
const int HEIGHT = 600;

class OptionsEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        drawn::openWindow(WIDTH, HEIGHT);
        useTextures = true;
        useLight = false;
        useFog = false;
        useWater = false;
        viewRange = 3;
        loadUi();
        srand(20261207);
        newGame();
        // Nothing but the objects under test in view.
        std::memset(blocks, 0, sizeof blocks);
        for (int x = 0; x < WORLD_SIZE; x++) {
            for (int z = 0; z < WORLD_SIZE; z++) {
                floorHeight[x][z] = MIN_SURFACE_HEIGHT;
                ceilingHeight[x][z] = MAX_SURFACE_HEIGHT;
            }
        }
        markAllChunksDirty();
        rebuildDirtyChunks();
    }
};
::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new OptionsEnvironment);

void putFigureAt(Figure& f, float x, float y, float z) {
    f.position = f.head = f.neck = f.hipCentre = {x, y, z};
    for (int i = 0; i < 2; i++) {
        f.shoulderX[i] = f.handX[i] = f.hipX[i] = f.footX[i] = x;
        f.shoulderY[i] = f.handY[i] = f.hipY[i] = f.footY[i] = y;
        f.shoulderZ[i] = f.handZ[i] = f.hipZ[i] = f.footZ[i] = z;
    }
}

drawn::Frame drawScene(const char* name) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderScene();
    drawn::Frame frame = drawn::readFrame();
    drawn::saveFrame(frame, name);
    return frame;
}

// Mean colour of the 5 x 5 pixels around the projection of a world point.
void colourAt(const drawn::Frame& frame, float x, float y, float z, float rgb[3]) {
    drawn::ScreenPoint s{};
    ASSERT_TRUE(drawn::project(viewCamera, 0.1f, farPlaneDistance(viewRange), x, y, z, s));
    rgb[0] = rgb[1] = rgb[2] = 0.0f;
    for (int d = 0; d < 25; d++) {
        const unsigned char* p = frame.at((int)s.x + d % 5 - 2, (int)s.y + d / 5 - 2);
        for (int c = 0; c < 3; c++) {
            rgb[c] += p[c] / 25.0f;
        }
    }
}

float colourDistance(const float a[3], const float b[3]) {
    return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
}

// A ball, an enemy, the player and the aim marker side by side, 10 units in
// front of the eye: one orange without the key, four colours apart with it.
TEST(PlayerOptionsDrawn, TintsTellTheFourKindsApart) {
    viewCamera = CameraPose{{25.0f, 17.0f, 40.0f}, 0.0f, 0.0f, 0.0f};
    player.position = {25.0f, 17.0f, 40.0f};
    const float xs[4] = {22.0f, 24.0f, 26.0f, 28.0f};
    ballCount = 1;
    balls[0] = {0, {xs[0], 17.0f, 30.0f}, {0, 0, 0}};
    figureCount = 1;
    putFigureAt(figures[0], xs[1], 17.0f, 30.0f);
    putFigureAt(player, xs[2], 17.0f, 30.0f);
    aimPoint = {xs[3], 17.0f, 30.0f};
    player.swinging = false;

    float plain[4][3], tinted[4][3];
    tintFigures = false;
    const drawn::Frame before = drawScene("options_untinted");
    tintFigures = true;
    const drawn::Frame after = drawScene("options_tinted");
    tintFigures = false;
    for (int k = 0; k < 4; k++) {
        colourAt(before, xs[k], 17.0f, 30.0f, plain[k]);
        colourAt(after, xs[k], 17.0f, 30.0f, tinted[k]);
        EXPECT_GT(plain[k][0], 150.0f) << "object " << k << " is drawn, orange";
        EXPECT_LT(colourDistance(plain[k], plain[0]), 30.0f) << "object " << k;
        EXPECT_GT(tinted[k][0] + tinted[k][1] + tinted[k][2], 90.0f) << "object " << k << " lit";
    }
    for (int a = 0; a < 4; a++) {
        for (int b = a + 1; b < 4; b++) {
            EXPECT_GT(colourDistance(tinted[a], tinted[b]), 60.0f) << "objects " << a << ", " << b;
        }
    }
    ballCount = 0;
    figureCount = 0;
}

// Counts the pixels in which two frames differ, and those of them outside
// the rectangle [x0, x1) x [y0, y1).
void differences(const drawn::Frame& a, const drawn::Frame& b, int x0, int y0, int x1, int y1,
                 int& inside, int& outside) {
    inside = outside = 0;
    for (int y = 0; y < a.height; y++) {
        for (int x = 0; x < a.width; x++) {
            if (std::memcmp(a.at(x, y), b.at(x, y), 3) != 0) {
                (x >= x0 && x < x1 && y >= y0 && y < y1 ? inside : outside)++;
            }
        }
    }
}

// The slow-motion panel right under the label; the seed right-aligned in the
// lower banner of the dashboard.
TEST(PlayerOptionsDrawn, PlainLabelsStandWhereTheyBelong) {
    viewCamera = CameraPose{{25.0f, 17.0f, 40.0f}, -1.2f, 0.0f, 0.0f}; // at the empty ceiling
    putFigureAt(player, 25.0f, 17.0f, 50.0f);
    aimPoint = player.position;
    actionType = ActionFly;
    plainLabels = true;
    slowMotion = false;
    const drawn::Frame plain = drawScene("options_label_plain");
    int inside = 0, outside = 0;
    slowMotion = true;
    const drawn::Frame slow = drawScene("options_label_slow");
    const int slowX = slowMotionPanelX(WIDTH);
    // The panel's frame pieces lie around its box, the top row a pixel higher.
    const int s = PANEL_PIECE_SIZE, panelTop = SLOW_MOTION_PANEL_Y - 1;
    differences(plain, slow, slowX - s, panelTop - s, slowX + SLOW_MOTION_PANEL_WIDTH + s,
                panelTop + LABEL_PANEL_HEIGHT + s, inside, outside);
    EXPECT_GT(inside, 1500);
    EXPECT_EQ(outside, 0);
    slowMotion = false;

    worldSeed = -1234567;
    pauseLevel = 100.0f;
    drawn::Frame dashboards[2];
    for (int on = 0; on < 2; on++) {
        plainLabels = on == 1;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawDashboard();
        dashboards[on] = drawn::readFrame();
    }
    drawn::saveFrame(dashboards[1], "options_dashboard_seed");
    pauseLevel = 0.0f;
    plainLabels = false;
    // "Seed -1234567": 13 glyph cells, the last ending 20 pixels from the edge.
    const int right = WIDTH - 20, top = HEIGHT - 61 + 23;
    differences(dashboards[0], dashboards[1], right - 13 * 10, top, right + 10, top + 20, inside,
                outside);
    EXPECT_GT(inside, 300);
    EXPECT_EQ(outside, 0);
}

} // namespace
