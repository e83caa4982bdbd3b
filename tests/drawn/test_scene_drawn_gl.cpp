// The scene in the real window: blocks, the action label, balls, the rope and
// the tinted figures, where the camera maths and the atlas put them.
#include "drawn_support_gl.h"

using namespace drawn;

const float HALF_PI = 1.570796325f;

TEST(SceneDrawn, BlocksStandWhereTheCameraMathsPutsThem) {
    // Cell 47 shows one world-width over, at x = -3, from chunk -2.
    emptyWorld();
    blocks[47][17][25] = 1;
    stage(-8.0f, 17.5f, 25.7f, 0.1f, HALF_PI + 0.1f);
    expectSpans(drawScene("block_negative"), -3, 17, 25, -2, 18, 26, "block at x -3");
    // A falling block is lowered by the settling step's progress.
    emptyWorld();
    fallingBlocks[27][16][27] = 1;
    settleProgress = 0.4f;
    stage(22.0f, 17.5f, 26.0f, 0.15f, HALF_PI + 0.27f);
    expectSpans(drawScene("falling_block"), 27, 15.6f, 27, 28, 16.6f, 28, "falling");
}

// The label's panel and glyphs over black, for every action type; with plain
// labels, their words and, in slow motion, a smaller panel under the label.
TEST(SceneDrawn, LabelStandsWhereTheAtlasPutsIt) {
    const unsigned char black[3] = {0, 0, 0};
    emptyWorld();
    stage(25.0f, 17.5f, 25.0f, 0.0f, 0.0f); // the cave lies beyond the far plane
    for (int plain = 0; plain < 2; plain++)
        for (actionType = 0; actionType < ACTION_TYPE_COUNT; actionType++) {
            plainLabels = slowMotion = plain == 1;
            const char* name = labelText(actionType);
            Expected label;
            label.panel(WIDTH - 275, 25, 250, 10, 0);
            label.text(name, WIDTH - 150 - 5 * (int)std::strlen(name), 20);
            if (plain) {
                label.panel(WIDTH - 225, 75, 150, 10, 0);
                label.text("Slow motion on", WIDTH - 220, 70);
            }
            expectDrawn(drawScene("label_" + std::to_string(actionType + 10 * plain)), label, black,
                        name);
        }
    plainLabels = slowMotion = false;
}

// Balls by kind, and the rope: 50 beads from hand 0, the last a step short of
// the anchor.
TEST(SceneDrawn, BallsAndRopeBeads) {
    emptyWorld();
    viewRange = 6; // far plane 35: floor and ceiling stay beyond it
    stage(25.0f, 17.5f, 55.0f, 0.0f, 0.0f);
    const float dx = 0.564f * 30.0f, dy = -0.826f * 30.0f; // across the window's diagonal, 30 ahead
    player.swinging = true;
    player.handX[0] = 25.0f - dx / 2, player.handY[0] = 17.5f - dy / 2, player.handZ[0] = 25.0f;
    player.ropeAnchor = {25.0f + dx / 2, 17.5f + dy / 2, 25.0f};
    ballCount = 3; // a small ball, a big one and one of a kind nothing draws
    balls[0] = {0, {22.0f, 12.5f, 25.0f}, {}}, balls[1] = {1, {19.0f, 10.5f, 25.0f}, {}};
    balls[2] = {2, {17.0f, 14.5f, 25.0f}, {}};
    const Frame frame = drawScene("balls_rope");
    auto at = [&](float x, float y) {
        return frame.brightness(project(x, y, 25).x, project(x, y, 25).y);
    };
    for (int k = 0; k < 50; k++) { // beads 0.6 apart of radius 0.25
        const float x = player.handX[0] + dx * k / 50, y = player.handY[0] + dy * k / 50;
        EXPECT_GT(at(x, y), LIT) << "bead " << k;
        EXPECT_LT(at(x + dx / 100, y + dy / 100), DARK) << "gap after bead " << k;
    }
    EXPECT_LT(at(player.ropeAnchor.x, player.ropeAnchor.y), DARK) << "a bead at the anchor";
    EXPECT_TRUE(at(22.0f, 12.5f) > LIT && at(22.6f, 12.5f) < DARK) << "kind 0: radius 0.25";
    EXPECT_TRUE(at(19.8f, 10.5f) > LIT && at(20.3f, 10.5f) < DARK) << "kind 1: radius 1";
    EXPECT_LT(at(17.0f, 14.5f), DARK) << "kind 2: nothing";
}

// A ball, an enemy, the player and the aim marker side by side, 10 units in
// front of the eye: one orange without "tintfigures", four colours apart with it.
TEST(SceneDrawn, TintsTellTheFourKindsApart) {
    emptyWorld();
    useTextures = true;
    stage(25.0f, 17.0f, 40.0f, 0.0f, 0.0f);
    const float xs[4] = {22.0f, 24.0f, 26.0f, 28.0f};
    ballCount = figureCount = 1;
    balls[0] = {0, {xs[0], 17.0f, 30.0f}, {0, 0, 0}};
    gather(figures[0], {xs[1], 17.0f, 30.0f}), gather(player, {xs[2], 17.0f, 30.0f});
    aimPoint = {xs[3], 17.0f, 30.0f};
    float rgb[2][4][3] = {}; // mean of the 5 x 5 pixels round each, plain and tinted
    for (int tint = 0; tint < 2; tint++) {
        tintFigures = tint == 1;
        const Frame frame = drawScene(tint ? "tinted" : "untinted");
        for (int i = 0; i < 4 * 25 * 3; i++) { // object, pixel, channel
            const int k = i / 75, d = i / 3 % 25, c = i % 3;
            const Point p = project(xs[k], 17.0f, 30.0f);
            rgb[tint][k][c] += frame.at((int)p.x + d % 5 - 2, (int)p.y + d / 5 - 2)[c] / 25.0f;
        }
    }
    tintFigures = false;
    auto distance = [](const float* a, const float* b) {
        return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
    };
    for (int k = 0; k < 4; k++) {
        EXPECT_GT(rgb[0][k][0], 150.0f) << "object " << k << " is drawn, orange";
        EXPECT_LT(distance(rgb[0][k], rgb[0][0]), 30.0f) << "object " << k;
        EXPECT_GT(rgb[1][k][0] + rgb[1][k][1] + rgb[1][k][2], 90.0f) << "object " << k << " lit";
        for (int j = 0; j < k; j++)
            EXPECT_GT(distance(rgb[1][j], rgb[1][k]), 60.0f) << "objects " << j << ", " << k;
    }
}
