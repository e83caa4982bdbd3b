// The scene and the overlay in the real window, where the camera maths and the atlas put them.
#include "app/frame.h"
#include "app/input.h"
#include "drawn_support_gl.h"
#include "fixed_scenes_gl.h"
#include "game/game.h"
#include "game/new_game.h"
#include "label_texts.h"
#include "physics/collision.h"
#include "ui/overlay_gl.h"
#include "ui/pause_state.h"
#include "world/generate.h"

// A block one world-width over (cell 47 shows at x = -3, from chunk -2), a falling block lowered by
// the settling step's progress, balls by kind and the rope's beads from hand 0 to a step short of
// the anchor, beside a ball of a kind nothing draws.
TEST(SceneDrawn, ThingsStandWhereTheCameraMathsPutsThem) {
    emptyWorld(), stage(-8, 17.5f, 25.7f, 0.1f, 1.6708f);
    blocks[47][17][25] = 1;
    expectSpans(shot("block_negative"), {-3, 17, 25}, {-2, 18, 26}, "block at x -3");
    emptyWorld(), stage(22, 17.5f, 26, 0.15f, 1.8408f);
    fallingBlocks[27][16][27] = 1, settleProgress = 0.4f;
    expectSpans(shot("falling_block"), {27, 15.6f, 27}, {28, 16.6f, 28}, "falling block");
    const Vector3 boxes[3][2] = {{{24.75f, 17.25f, 25}, {25.25f, 17.75f, 25}},
                                 {{24, 16.5f, 25}, {26, 18.5f, 25}},
                                 {{16.75f, 6.18f, 25}, {32.93f, 27.75f, 25}}};
    for (int kind = 0; kind < 3; kind++) { // kind 2: the rope
        emptyWorld(), stage(25, 17.5f, 55, 0, 0);
        viewRange = 6; // far plane 35: floor and ceiling stay beyond it
        ballCount = 2, balls[0] = {kind, {25, 17.5f, 25}, {}}, balls[1] = {2, {34, 17.5f, 25}, {}};
        player.swinging = kind == 2, player.ropeAnchor = {33, 6, 25};
        player.handX[0] = 17, player.handY[0] = 27.5f, player.handZ[0] = 25;
        const std::string name = "ball_kind_" + std::to_string(kind);
        expectSpans(shot(name), boxes[kind][0], boxes[kind][1], name);
    }
}

// A ball, an enemy, the player and the aim marker side by side: one orange
// without "tintfigures", with it four colours apart: yellow-green, red, orange, green.
TEST(SceneDrawn, TintsTellTheFourKindsApart) {
    emptyWorld(), stage(25, 17, 40, 0, 0);
    useTextures = true, ballCount = figureCount = 1, balls[0] = {0, {22, 17, 30}, {}};
    gather(figures[0], {24, 17, 30}), gather(player, {26, 17, 30}), aimPoint = {28, 17, 30};
    int rgb[2][4][3]; // the centre pixel of each, plain and tinted
    for (int tint = 0; tint < 2; tint++) {
        tintFigures = tint == 1;
        const Frame frame = shot(tint ? "tinted" : "untinted");
        for (int i = 0; i < 12; i++) // object, channel
            rgb[tint][i / 3][i % 3] = frame.at(project(22.0f + 2 * (i / 3), 17, 30))[i % 3];
    }
    tintFigures = false;
    auto distance = [&](int t, int j, int k) {
        return std::abs(rgb[t][j][0] - rgb[t][k][0]) + std::abs(rgb[t][j][1] - rgb[t][k][1]) +
               std::abs(rgb[t][j][2] - rgb[t][k][2]);
    };
    // Tinted from the grey tile, the player keeps the orange of its own tile,
    // and a ball is yellow-green (orange tinted would come out darker, olive).
    int player = 0;
    for (int c = 0; c < 3; c++)
        player += std::abs(rgb[0][2][c] - rgb[1][2][c]);
    EXPECT_LT(player, 40) << "the player, tinted";
    EXPECT_TRUE(rgb[1][0][1] > rgb[1][0][0] && rgb[1][0][0] > rgb[1][0][2] + 80) << "the ball";
    EXPECT_TRUE(rgb[1][1][0] > rgb[1][1][1] + 80 && rgb[1][1][0] > rgb[1][1][2] + 80)
        << "the enemy";
    EXPECT_TRUE(rgb[1][3][1] > rgb[1][3][0] + 80 && rgb[1][3][1] > rgb[1][3][2] + 40)
        << "the marker";
    for (int k = 0; k < 4; k++) {
        EXPECT_TRUE(rgb[0][k][0] > 150 && distance(0, k, 0) < 30) << "object " << k << ", orange";
        EXPECT_GT(rgb[1][k][0] + rgb[1][k][1] + rgb[1][k][2], 90) << "object " << k << " lit";
    }
}

// With the back to a pillar the pulled-in camera sits just behind the player,
// whose figure would cover much of the window: drawn faded, its pixels lie as
// far from the scene behind it toward the opaque figure as its opacity says.
// Without the key it is opaque.
TEST(SceneDrawn, FigureFadedBeforeAPulledInCamera) {
    emptyWorld();
    useTextures = cameraCollision = thirdPersonView = mouseInWindow = true;
    for (int y = 0; y < 12; y++)
        blocks[27][y][25] = blocks[27][y][26] = 1;
    markAllChunksDirty(), rebuildDirtyChunks();
    player.position = {25.5f, 1.5f, 25.5f}, player.yaw = 0; // the camera trails toward +x
    mouseX = WIDTH / 2, mouseY = HEIGHT / 2;
    for (int i = 0; i < 60; i++)
        updateGame(1.0f);
    const float opacity = playerOpacity();
    const Frame faded = shot("pillar_faded");
    cameraCollision = false;
    EXPECT_EQ(playerOpacity(), 1.0f);
    const Frame opaque = shot("pillar_opaque");
    gather(player, {25.5f, -50, 25.5f}), thirdPersonView = false;
    const Frame absent = shot("pillar_absent");
    double toOpaque = 0, toFaded = 0;
    int covered = 0;
    for (int i = 0; i < WIDTH * HEIGHT * 3; i += 3) {
        const int apart = std::abs(opaque.rgb[i] - absent.rgb[i]) +
                          std::abs(opaque.rgb[i + 1] - absent.rgb[i + 1]) +
                          std::abs(opaque.rgb[i + 2] - absent.rgb[i + 2]);
        covered += apart >= 90;
        for (int c = 0; apart >= 90 && c < 3; c++)
            toOpaque += std::abs(opaque.rgb[i + c] - absent.rgb[i + c]),
                toFaded += std::abs(faded.rgb[i + c] - absent.rgb[i + c]);
    }
    EXPECT_GT(covered, WIDTH * HEIGHT / 6) << "the opaque figure fills much of the view";
    EXPECT_LT(opacity, 0.5f);
    EXPECT_NEAR(toFaded / toOpaque, opacity, 0.08) << covered << " pixels";
}

// The cells before and behind the surface that the ray through window point (x, y) meets first:
// one unit face of a block or patch of the terrain.
static std::array<int, 6> faceSeen(float x, float y) {
    const float t = std::tan(25.0f * 0.01745329f);
    const Vector3 e = viewCamera.position,
                  d = fixed_scenes::ahead(60, (2 * x / WIDTH - 1) * t * WIDTH / HEIGHT,
                                          (1 - 2 * y / HEIGHT) * t);
    float hit[3] = {d.x, d.y, d.z};
    clipSegmentToWorld(e.x, e.y, e.z, hit[0], hit[1], hit[2]);
    const float step[3] = {(d.x - e.x) / 6000, (d.y - e.y) / 6000, (d.z - e.z) / 6000};
    std::array<int, 6> cells;
    for (int k = 0; k < 6; k++)
        cells[k] = (int)std::floor(hit[k % 3] + (k < 3 ? -step[k % 3] : step[k % 3]));
    return cells;
}

// Merged block faces meet exactly, in a chunk or across a border, or the clear colour shows
// through along their edges; the seam fillers close such gaps and keep the merged quads' light.
// A floor and a ceiling of blocks pitted so that faces of many sizes meet, lit, seen low from
// places some far from the origin (fewer fraction bits), the first on a chunk corner along the
// diagonal. Up to 18 ahead: no dark pixel (the quads alone leave some), and pixels the quads
// alone draw change by at most 1 but on the slivers, where the points round the pixel meet more
// than one face.
TEST(GroundSeams, ClosedInTheLightOfTheQuads) {
    emptyWorld();
    optimizeGeometry = useLight = true, viewRange = 6;
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            blocks[x][0][z] = blocks[x][20][z] = (x * 5 + z * 3) % 7 != 0;
    int quadGaps = 0;
    for (int n = 0; n < 24; n++) { // 16 over the floor, then 8 under the ceiling
        const int k = n % 16, up = n >= 16, side = up ? -1 : 1;
        const float x = 9.95f + 23.3f * (k % 4) - 14.1f * (k / 4),
                    z = 9.95f - 13.9f * (k % 5) + 9.1f * (k / 5);
        const float yaw = 0.785f + 2.6f * k, surface = up ? 20.0f : 1.0f;
        stage(x, surface + side * (1 - 0.11f * (k % 5)), z, side * (0.24f - 0.03f * (k % 4)), yaw);
        const int line = (int)project(x + 18 * std::sin(yaw), surface, z - 18 * std::cos(yaw)).y;
        const Frame closed = shot("ground_seams_" + std::to_string(n));
        int fillers[CHUNK_TOTAL], off = 0, gaps[2] = {};
        for (int c = 0; c < CHUNK_TOTAL; c++)
            fillers[c] = blockSeamFillers[c].vertexCount, blockSeamFillers[c].vertexCount = 0;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT), renderScene();
        const Frame quads = shot("ground_seams_quads_" + std::to_string(n), false);
        for (int c = 0; c < CHUNK_TOTAL; c++)
            blockSeamFillers[c].vertexCount = fillers[c];
        for (int i = WIDTH * (up ? 60 : line + 2); i < WIDTH * (up ? line - 2 : HEIGHT); i++) {
            const int u = i % WIDTH, v = i / WIDTH;
            gaps[0] += closed.brightness(u, v) < DARK, gaps[1] += quads.brightness(u, v) < DARK;
            int change = 0;
            for (int c = 0; c < 3; c++)
                change = std::max(change, std::abs(closed.at(u, v)[c] - quads.at(u, v)[c]));
            bool edge = quads.brightness(u, v) < DARK;
            for (int j = 0; j < 9 && change > 1 && !edge; j++)
                edge = faceSeen(u + j % 3 - 0.5f, v + j / 3 - 0.5f) != faceSeen(u + 0.5f, v + 0.5f);
            off += change > 1 && !edge;
        }
        EXPECT_TRUE(line > 60 && line < HEIGHT - 60 && off == 0 && gaps[0] == 0)
            << "pose " << n << ": " << off << " changed off the edges, " << gaps[0] << " gaps, "
            << gaps[1] << " with the quads alone";
        quadGaps += gaps[1];
    }
    EXPECT_GT(quadGaps, 0); // the scenes show what the fillers are for
    useLight = false;
}

// The action label's panel and words for every action type, and with plain
// labels and slow motion a smaller panel under it, and the screenshot notice
// under that, as wide as its text. The banners across a window
// taller than wide, the seed at the right of the lower one with plain labels,
// and the pause menu's four buttons centred, open (level 100) and half way.
TEST(Overlay, StandsWhereTheAtlasPutsIt) {
    const unsigned char black[3] = {}, magenta[3] = {255, 0, 255};
    emptyWorld(), stage(25, 17.5f, 25, 0, 0); // the cave lies beyond the far plane
    markAllChunksDirty(), rebuildDirtyChunks(), noteScreenshot(12, nullptr, frameClock);
    for (int k = 0; k < 2 * ACTION_TYPE_COUNT; k++) { // slow motion on: its panel only when plain
        actionType = k % ACTION_TYPE_COUNT, plainLabels = k >= ACTION_TYPE_COUNT, slowMotion = true;
        const char* name = LABEL_TEXTS[plainLabels][actionType];
        Expected label;
        label.panel(WIDTH - 275, 25, 250, 10);
        label.text(name, WIDTH - 150 - 5 * (int)std::strlen(name), 20);
        if (plainLabels)
            label.panel(WIDTH - 225, 75, 150, 10), label.text("Slow motion on", WIDTH - 220, 70),
                label.panel(WIDTH - 260, 125, 220, 10),
                label.text("Saved screenshot12.png", WIDTH - 260, 120);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT), renderScene(), drawScreenshotNotice();
        expectDrawn(shot("label_" + std::to_string(k), false), label, black, name);
    }
    const char* buttons[4] = {"Resume game", "Exit", "Save screenshot", "Display frame rate"};
    mouseX = mouseY = -100, showFrameRate = false, worldSeed = 4000000003u;
    glClearColor(1, 0, 1, 1);
    Frame seeded{};
    for (float level : {100.0f, 50.0f, 0.0f}) { // at 0: open, without plain labels
        pauseLevel = level > 0 ? level : 100.0f, plainLabels = level > 0;
        glClear(GL_COLOR_BUFFER_BIT), drawDashboard(), drawPauseMenu();
        const float hidden = 1 - level * 0.01f;
        const int offset = (int)(hidden * 68), top = HEIGHT / 2 - 125 + (int)(hidden * HEIGHT);
        Expected menu;
        menu.fill(0, 0, WIDTH, 60 - offset, DRAWN),
            menu.fill(0, HEIGHT - 60 + offset, WIDTH, 60, DRAWN);
        menu.text("Seed 4000000003", WIDTH - 170, HEIGHT - 38 + offset);
        for (int k = 0; k < 4; k++)
            menu.panel(WIDTH / 2 - 150, top + 50 * k - 7, 300, 15),
                menu.text(buttons[k], WIDTH / 2 - 5 * (int)strlen(buttons[k]), top + 50 * k - 10);
        const Frame frame = shot("pause_menu_" + std::to_string((int)level), false);
        if (level == 0.0f) { // no seed: the lower banner differs from the seeded one (no clock)
            int differing = 0;
            for (int i = WIDTH * HEIGHT / 2; i < WIDTH * HEIGHT; i++)
                differing += frame.brightness(i % WIDTH, i / WIDTH) !=
                             seeded.brightness(i % WIDTH, i / WIDTH);
            EXPECT_GT(differing, 100) << "the seed shown without plain labels";
            continue;
        }
        seeded = level == 100.0f ? frame : seeded;
        expectDrawn(frame, menu, magenta, "menu");
    }
    glClearColor(0, 0, 0, 1);
    plainLabels = slowMotion = false, pauseLevel = 0, mouseX = mouseY = 0;
}
