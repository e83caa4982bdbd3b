// The scene and the overlay in the real window, where the camera maths and the
// atlas put them.
#include "app/frame.h"
#include "app/input.h"
#include "drawn_support_gl.h"
#include "ui/overlay_gl.h"
#include "world/new_game.h"

using namespace drawn;

// A thing shows where the camera maths puts it: a block one world-width over
// (cell 47 shows at x = -3, from chunk -2), a falling block lowered by the
// settling step's progress, balls by kind and the rope's beads from hand 0 to
// a step short of the anchor, beside a ball of a kind nothing draws.
TEST(SceneDrawn, ThingsStandWhereTheCameraMathsPutsThem) {
    emptyWorld();
    blocks[47][17][25] = 1;
    stage(-8, 17.5f, 25.7f, 0.1f, 1.6708f);
    expectSpans(drawScene("block_negative"), {-3, 17, 25}, {-2, 18, 26}, "block at x -3");
    emptyWorld();
    fallingBlocks[27][16][27] = 1, settleProgress = 0.4f;
    stage(22, 17.5f, 26, 0.15f, 1.8408f);
    expectSpans(drawScene("falling_block"), {27, 15.6f, 27}, {28, 16.6f, 28}, "falling block");
    const Vector3 boxes[3][2] = {{{24.75f, 17.25f, 25}, {25.25f, 17.75f, 25}},
                                 {{24, 16.5f, 25}, {26, 18.5f, 25}},
                                 {{16.75f, 6.18f, 25}, {32.93f, 27.75f, 25}}};
    for (int kind = 0; kind < 3; kind++) { // kind 2: the rope
        emptyWorld();
        stage(25, 17.5f, 55, 0, 0);
        viewRange = 6; // far plane 35: floor and ceiling stay beyond it
        ballCount = 2, balls[0] = {kind, {25, 17.5f, 25}, {}}, balls[1] = {2, {34, 17.5f, 25}, {}};
        player.swinging = kind == 2, player.ropeAnchor = {33, 6, 25};
        player.handX[0] = 17, player.handY[0] = 27.5f, player.handZ[0] = 25;
        const std::string name = "ball_kind_" + std::to_string(kind);
        expectSpans(drawScene(name), boxes[kind][0], boxes[kind][1], name);
    }
}

// The label's panel and words for every action type; with plain labels and
// slow motion, a smaller panel under it.
TEST(SceneDrawn, LabelStandsWhereTheAtlasPutsIt) {
    const unsigned char black[3] = {};
    emptyWorld();
    stage(25, 17.5f, 25, 0, 0); // the cave lies beyond the far plane
    for (int plain = 0; plain < 2; plain++)
        for (actionType = 0; actionType < ACTION_TYPE_COUNT; actionType++) {
            plainLabels = slowMotion = plain == 1;
            const char* name = labelText(actionType);
            Expected label;
            label.panel(WIDTH - 275, 25, 250, 10);
            label.text(name, WIDTH - 150 - 5 * (int)std::strlen(name), 20);
            if (plain)
                label.panel(WIDTH - 225, 75, 150, 10),
                    label.text("Slow motion on", WIDTH - 220, 70);
            const Frame frame = drawScene("label_" + std::to_string(actionType + 10 * plain));
            expectDrawn(frame, label, black, name);
        }
    plainLabels = slowMotion = false;
}

// A ball, an enemy, the player and the aim marker side by side: one orange
// without "tintfigures", four colours apart with it.
TEST(SceneDrawn, TintsTellTheFourKindsApart) {
    emptyWorld();
    useTextures = true;
    stage(25, 17, 40, 0, 0);
    ballCount = figureCount = 1;
    balls[0] = {0, {22, 17, 30}, {}};
    gather(figures[0], {24, 17, 30}), gather(player, {26, 17, 30});
    aimPoint = {28, 17, 30};
    const unsigned char* rgb[2][4]; // the centre pixel of each, plain and tinted
    Frame frames[2];
    for (int tint = 0; tint < 2; tint++) {
        tintFigures = tint == 1;
        frames[tint] = drawScene(tint ? "tinted" : "untinted");
        for (int k = 0; k < 4; k++)
            rgb[tint][k] =
                frames[tint].at(project(22.0f + 2 * k, 17, 30).x, project(22.0f + 2 * k, 17, 30).y);
    }
    tintFigures = false;
    auto distance = [](const unsigned char* a, const unsigned char* b) {
        return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
    };
    for (int k = 0; k < 4; k++) {
        EXPECT_GT(rgb[0][k][0], 150) << "object " << k << " is drawn, orange";
        EXPECT_LT(distance(rgb[0][k], rgb[0][0]), 30) << "object " << k;
        EXPECT_GT(rgb[1][k][0] + rgb[1][k][1] + rgb[1][k][2], 90) << "object " << k << " lit";
        for (int j = 0; j < k; j++)
            EXPECT_GT(distance(rgb[1][j], rgb[1][k]), 60) << "objects " << j << ", " << k;
    }
}

// Merged block faces meet exactly, in a chunk or across a border, or the clear
// colour shows through along their edges. A floor of blocks pitted so that
// faces of many sizes meet, seen low from places some far from the origin
// (fewer fraction bits): no dark pixel below the floor's line 18 ahead, which
// lies inside the drawn chunks.
TEST(GroundSeams, FloorAcrossChunkBordersHasNoGaps) {
    emptyWorld();
    optimizeGeometry = true, viewRange = 6;
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            blocks[x][0][z] = (x * 5 + z * 3) % 7 != 0;
    const float poses[][5] = {
        // x, z, height over the floor, pitch, yaw
        {25.3f, 25.7f, 0.9f, 0.22f, 0.35f},  {47.6f, 3.2f, 0.6f, 0.17f, -0.8f},
        {12.1f, 38.9f, 1.4f, 0.28f, 2.3f},   {2.4f, 2.6f, 0.7f, 0.2f, 3.9f},
        {-31.7f, 44.4f, 1.1f, 0.25f, -2.2f}, {38.8f, -17.3f, 0.8f, 0.19f, 1.2f},
        {24.9f, 10.1f, 0.5f, 0.15f, 0.02f},  {9.95f, 9.95f, 1.0f, 0.24f, 0.785f},
        {33.3f, 21.8f, 0.9f, 0.21f, -0.4f},  {18.2f, 47.1f, 1.2f, 0.26f, 1.7f},
        {41.5f, 36.6f, 0.7f, 0.18f, -1.4f},  {6.6f, 28.4f, 1.0f, 0.23f, 2.9f},
    };
    for (int n = 0; n < 12; n++) {
        const float* pose = poses[n];
        stage(pose[0], 1 + pose[2], pose[1], pose[3], pose[4]);
        const Frame frame = drawScene("ground_seams_" + std::to_string(n));
        const int line =
            (int)project(pose[0] + 18 * std::sin(pose[4]), 1, pose[1] - 18 * std::cos(pose[4])).y +
            2;
        int gaps = 0;
        for (int i = line * WIDTH; i < WIDTH * HEIGHT; i++)
            gaps += frame.brightness(i % WIDTH, i / WIDTH) < DARK;
        EXPECT_LT(line, HEIGHT / 2) << "pose " << n;
        EXPECT_EQ(gaps, 0) << "pose " << n << ": the background shows through the floor";
    }
}

// Banners across the width of a window taller than wide, the seed at the right
// of the lower one with plain labels, and the four buttons centred with their
// labels, the menu open (level 100) and half way (50).
TEST(Overlay, BannersSeedAndPauseMenuStandWhereTheLayoutPutsThem) {
    const unsigned char magenta[3] = {255, 0, 255};
    const char* labels[4] = {"Resume game", "Exit", "Save screenshot", "Display frame rate"};
    mouseX = mouseY = -100;
    showFrameRate = false, plainLabels = true, worldSeed = -1234567;
    for (float level : {100.0f, 50.0f}) {
        pauseLevel = level;
        glClearColor(1, 0, 1, 1), glClear(GL_COLOR_BUFFER_BIT);
        drawDashboard(), drawPauseMenu();
        const float hidden = 1 - level * 0.01f;
        const int offset = (int)(hidden * 68), top = HEIGHT / 2 - 125 + (int)(hidden * HEIGHT);
        Expected expected;
        expected.fill(0, 0, WIDTH, 60 - offset, DRAWN);
        expected.fill(0, HEIGHT - 60 + offset, WIDTH, 60, DRAWN);
        expected.text("Seed -1234567", WIDTH - 150, HEIGHT - 38 + offset);
        for (int k = 0; k < 4; k++) {
            expected.panel(WIDTH / 2 - 150, top + 50 * k - 7, 300, 15);
            expected.text(labels[k], WIDTH / 2 - 5 * (int)strlen(labels[k]), top + 50 * k - 10);
        }
        const Frame frame = readFrame("pause_menu_" + std::to_string((int)level));
        expectDrawn(frame, expected, magenta, "menu");
    }
    glClearColor(0, 0, 0, 1);
    plainLabels = false, pauseLevel = 0, mouseX = mouseY = 0;
}
